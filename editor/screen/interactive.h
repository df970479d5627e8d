#pragma once
// The screen layer in an interactive editor: the start-up that opens the
// terminal, and the turn hooks (redisplay, wait for the user, run the key).
#include "editor/core/startup.h"
#include "editor/screen/keys.h"
#include "platform/field.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace voren {

struct Editor;

// Start-up of the terminal screen: opens the terminal, lays out the first screen
// and installs the hooks. Returns screen_started, screen_cannot_start or
// screen_too_small.
int start_terminal_screen(Editor& ed, const StartOptions& options);
// The ScreenLayer that voren_main takes.
ScreenLayer terminal_screen_layer();

// Connects an open window (terminal or headless) to the editor: window size,
// hooks. Tests use it with a headless window.
void attach_window(Editor& ed, std::shared_ptr<platform::FieldWindow> window);

// The turn hooks installed by attach_window.
void redisplay_screens(Editor& ed);
void wait_for_user_input(Editor& ed);
void run_input_key(Editor& ed);
// A yes/no question on the message line; y or n answers, Enter and Escape mean no.
bool ask_user_yes_no(Editor& ed, const std::string& question);

// The table entry a key from the terminal selects. F keys beyond the F count
// (F13 .. F24 as terminals send them) are the PF entries of that number.
std::optional<KeyId> table_key(const KeyTables& keys, const platform::Key& key);
// The field function bound to a key, or None.
platform::FieldFunction bound_function(const KeyTables& keys, const platform::Key& key);
// What ends an input turn (Enter and keys with a definition) and the field
// functions, from the tables (which must outlive the policy).
platform::InputPolicy input_policy(const KeyTables& keys);

// A place in the current file: line index and 0-based column.
struct FilePosition {
    int32_t line = 0;
    int column = 0;
};
// Where the cursor stood on a file line when the last input turn ended.
std::optional<FilePosition> cursor_file_position(const Editor& ed);
bool cursor_on_command_line(const Editor& ed);

// Shows the screens and reads one key without editing anything (a prompt such
// as SELECTIVE CHANGE's). A resize re-lays-out and goes on waiting. Without a
// window the answer is a ScriptEnd key.
platform::Key wait_for_key(Editor& ed);

} // namespace voren
