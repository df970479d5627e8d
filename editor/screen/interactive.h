#pragma once
// The screen layer in an interactive editor: the start-up that opens the
// terminal, and the turn hooks (redisplay, wait for the user, run the key).
#include "editor/core/startup.h"

#include <memory>
#include <string>

namespace voren {

struct Editor;
namespace platform {
struct FieldWindow;
}

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

} // namespace voren
