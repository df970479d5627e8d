// What the executor reads from the editor core.
#include "editor/commands/executor.h"
#include "editor/core/editor.h"

namespace voren {

bool ring_is_empty(const Editor& ed) {
    return ed.ring.files.empty();
}

std::optional<std::string> current_file_path(const Editor& ed) {
    const File* file = current_file(ed);
    if (file == nullptr) return std::nullopt;
    return file->path;
}

std::string program_directory(const Editor& ed) {
    return ed.program_directory;
}

} // namespace voren
