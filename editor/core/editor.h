#pragma once
// The whole state of one editor instance. There are no globals: every function
// of the editor takes the Editor it works on, so tests build fresh ones at will.
#include "editor/core/core_settings.h"
#include "editor/core/ring.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "editor/commands/executor_state.h"
#include "editor/screen/keys.h"
#include "editor/screen/screen_state.h"

namespace voren {

struct Editor {
    // Process-wide state of start-up and the main loop (editor/core).
    bool batch_mode = false;
    bool ispf_mode = false;      // -pdf
    bool kedit = false;          // -kedit
    bool in_profile = false;     // while the profile macro runs
    bool tree_mode = false;      // program named "tree"
    bool file_list_mode = false; // program named "fli"
    std::string identity = "VOREN";
    std::vector<std::string> arguments; // argv as given
    std::string start_directory;
    std::string program_directory;
    std::string profile_directory; // where the profile was found (macro search)

    Ring ring;
    std::vector<Screen> screens{Screen{}};
    int screen_index = 0;
    CoreSettings settings;
    std::vector<std::string> last_files; // most recent first

    // Commands waiting to run, one per turn, from the front.
    std::deque<std::string> pending_commands;
    bool emergency_running = false;

    // Services of the layers above the core; empty in batch mode and tests.
    // A question to the user (yes/no); without an answer the reply is "no".
    std::function<bool(Editor&, const std::string& question)> ask_user;
    // One line from the interpreter's data-stack queue, when it holds one.
    std::function<bool(Editor&, std::string& line)> take_stack_line;
    // Interactive turn pieces: redisplay, wait for the user and apply the
    // changed fields, run what the key that ended input asks for.
    std::function<void(Editor&)> redisplay;
    std::function<void(Editor&)> wait_for_user;
    std::function<void(Editor&)> run_key;
    // Prefix commands typed in the prefix area, run after the changed fields
    // are taken and before the turn's command (empty until prefix commands exist).
    std::function<void(Editor&)> run_prefix_commands;
    std::function<void(Editor&)> close_screen;
    // Runs after every successful file load (the macro layer runs the
    // "reprofile" macro from here when one is registered).
    std::function<void(Editor&)> after_file_loaded;

    // Command executor state (editor/commands): messages, trace ring, history,
    // synonyms, the return code of the last command.
    int return_code = 0;
    ExecutorState cmd;

    // Screen layer (editor/screen): window, split screens, colours, PF lines.
    ScreenState display;

    // Key definitions (editor/screen/keys.h): what each key that ends an input
    // turn runs.
    KeyTables keys;
};

} // namespace voren
