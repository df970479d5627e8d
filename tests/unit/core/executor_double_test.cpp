// A stand-in for the command executor, so that the core can be tested on its
// own: it records the messages the core shows and the commands it runs.
#include "editor/commands/executor.h"
#include "editor/core/editor.h"
#include "tests/unit/core/core_test_support.h"

namespace voren {

TestLog& test_log() {
    static TestLog log;
    return log;
}

int execute_string(Editor& ed, std::string_view text) {
    return xfcom2(ed, text);
}

int xfcom2(Editor&, std::string_view text) {
    test_log().commands.emplace_back(text);
    return test_log().command_result;
}

void show_message(Editor&, int number, MessageMode) {
    test_log().messages.push_back("#" + std::to_string(number));
}

void show_text(Editor&, std::string_view text, MessageMode) {
    test_log().messages.emplace_back(text);
}

void trace_tag(Editor& ed, std::string_view tag) {
    record_trace(ed.trace, tag);
}

} // namespace voren
