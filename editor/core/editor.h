#pragma once
// The whole state of one editor instance. There are no globals: every function
// of the editor takes the Editor it works on, so tests build fresh ones at will.
#include <string>

#include "editor/commands/executor_state.h"

namespace voren {

struct Editor {
    // Process-wide state of start-up and the main loop (editor/core).
    bool batch_mode = false;

    // Command executor state (editor/commands): messages, trace ring, history,
    // synonyms, the return code of the last command.
    int return_code = 0;
    ExecutorState cmd;
};

} // namespace voren
