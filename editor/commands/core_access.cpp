// What the executor reads from the editor core. TEMPORARY bodies until the
// file ring and start-up state land in editor/core: the integrator replaces
// each body with a read of the core's fields.
#include "editor/commands/executor.h"
#include "editor/core/editor.h"

namespace voren {

// TEMPORARY: no file ring exists yet, so it is always empty.
bool ring_is_empty(const Editor&) {
    return true;
}

// TEMPORARY: no file ring exists yet, so no file is current.
std::optional<std::string> current_file_path(const Editor&) {
    return std::nullopt;
}

// TEMPORARY: start-up does not record the program directory yet.
std::string program_directory(const Editor&) {
    return "";
}

} // namespace voren
