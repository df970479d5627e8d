// Command history and the commands that use it: "?" recalls, "=" repeats.
#include "editor/commands/command_table.h"
#include "editor/commands/executor.h"
#include "editor/commands/executor_internal.h"
#include "editor/core/editor.h"

namespace voren {

void record_history(Editor& ed, std::string_view text) {
    ExecutorState& st = ed.cmd;
    std::string_view t = trim_blanks(text);
    // "?" is not recorded either: recording it would make the next "?" recall itself.
    if (t.empty() || t[0] == '=' || t[0] == '?' || st.history_size == 0) return;
    st.history.emplace_back(text);
    while (st.history.size() > st.history_size)
        st.history.pop_front();
    st.history_cursor = st.history.size();
}

// "?" puts the previous command of the history on the command line, each
// further "?" one step back (wrapping); "?i" steps forward.
bool xfcm_recall(Editor& ed, const CommandCall& call) {
    std::string_view t = trim_blanks(call.text);
    bool forward = t.size() == 2 && (t[1] == 'i' || t[1] == 'I');
    if (t != "?" && !forward) return false;
    trace_tag(ed, call.entry->trace);
    ExecutorState& st = ed.cmd;
    ed.return_code = 0;
    size_t n = st.history.size();
    if (n == 0) return true;
    size_t& cursor = st.history_cursor;
    if (cursor > n) cursor = n;
    if (forward)
        cursor = cursor + 1 >= n ? 0 : cursor + 1;
    else
        cursor = cursor == 0 ? n - 1 : cursor - 1;
    st.command_line = st.history[cursor];
    st.command_line_stays = true;
    return true;
}

// "= [command]": runs the command, then runs the most recent history entry again.
bool xfcm_equal(Editor& ed, const CommandCall& call) {
    std::string_view t = trim_blanks(call.text);
    if (t.empty() || t[0] != '=') return false;
    trace_tag(ed, call.entry->trace);
    ExecutorState& st = ed.cmd;
    std::string_view first = trim_blanks(t.substr(1));
    int rc = 0;
    if (!first.empty()) rc = xfcom2(ed, first, call.source);
    if (!st.history.empty()) {
        std::string again = st.history.back(); // the command may change the history
        int repeated = execute_string(ed, again);
        if (rc == 0) rc = repeated;
    }
    ed.return_code = rc; // the first failure of the two, 0 when both succeeded
    return true;
}

} // namespace voren
