// LOCATE, targets typed alone, line numbers typed alone, and POINT.
#include <algorithm>
#include <string>

#include "editor/commands/command_table.h"
#include "editor/commands/executor.h"
#include "editor/commands/executor_internal.h"
#include "editor/commands/targets.h"
#include "editor/core/editor.h"
#include "editor/core/line_ops.h"

namespace voren {

int locate(Editor& ed, std::string_view operands) {
    File* file = current_file(ed);
    if (file == nullptr) return 1;
    ExecutorState& st = ed.cmd;
    std::string text(trim_blanks(operands));
    if (text.empty()) {
        if (!st.has_last_locate_target) {
            show_message(ed, 167);
            return 1;
        }
        text = st.last_locate_target;
    }
    size_t length = target_length(text);
    std::string target = text.substr(0, length);
    std::string command(trim_blanks(std::string_view(text).substr(length)));
    st.last_locate_target = target;
    st.has_last_locate_target = true;

    TargetOutcome found = resolve_target_outcome(ed, target, true);
    if (found.line == target_invalid) return 5;
    if (found.line == target_not_found) {
        if (!found.search) return 1;
        if (st.wrap) return 2;
        if (!st.stay)
            set_current_line(ed, found.backward ? ed.settings.lowest_current_line
                                                : file->line_count() - 1);
        return 1;
    }
    if (found.rc != 0) return found.rc;
    if (!command.empty()) return xfcom2(ed, command);
    return 0;
}

int locate_target_hook(Editor& ed, std::string_view text) {
    return locate(ed, text);
}

int numeric_command_hook(Editor& ed, std::string_view text) {
    std::string_view number = trim_blanks(text);
    if (ed.cmd.number_goto) return locate(ed, ":" + std::string(number));
    return locate(ed, number);
}

// XEDLOCATE, and LOCATE in the XEDIT dialect: target [command]. With ARBCHAR on and "$" as the
// arbitrary character, the target is taken from the text before "$" expansion.
bool xfcm_xedlocate(Editor& ed, const CommandCall& call) {
    std::string_view operands = call.operands;
    if (ed.cmd.arbchar_on && ed.cmd.arbchar == '$') {
        std::string_view typed = call.typed;
        operands = typed.substr(std::min(typed.size(), command_word_length(typed)));
    }
    ed.return_code = locate(ed, operands);
    return true;
}

// LOCATE follows the command dialect; the ISPF form is not built yet.
bool xfcm_locate(Editor& ed, const CommandCall& call) {
    if (ed.ispf_mode) return not_implemented(ed, call);
    return xfcm_xedlocate(ed, call);
}

// POINT .name names the current line; POINT .name OFF removes the name.
bool xfcm_point(Editor& ed, const CommandCall& call) {
    File* file = current_file(ed);
    if (file == nullptr) {
        ed.return_code = 1;
        return true;
    }
    std::string_view rest;
    std::string_view name = first_word(call.operands, &rest);
    std::string_view option = first_word(rest, &rest);
    ed.return_code = 1;
    if (name.empty()) {
        show_message(ed, 159);
        return true;
    }
    if (name.size() < 2 || name[0] != '.' || !rest.empty() ||
        (!option.empty() && !equals_ignore_case(option, "OFF"))) {
        show_message(ed, 16);
        return true;
    }
    if (!option.empty()) {
        auto& names = file->names;
        auto it = std::find_if(names.begin(), names.end(),
                               [&](const NamedLine& entry) { return entry.name == name; });
        if (it == names.end()) {
            show_message(ed, 165);
            return true;
        }
        names.erase(it);
        ed.return_code = 0;
        return true;
    }
    int32_t line = current_line(ed);
    if (line < 0 || line >= file->line_count()) {
        show_message(ed, 145);
        return true;
    }
    set_line_name(*file, std::string(name), line);
    ed.return_code = 0;
    return true;
}

} // namespace voren
