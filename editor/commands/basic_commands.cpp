// Messages, the command line, COMMAND, the directory commands and the
// special search entries.
#include "editor/commands/command_table.h"
#include "editor/commands/executor.h"
#include "editor/commands/executor_internal.h"
#include "editor/core/editor.h"
#include "platform/environment.h"
#include "platform/files.h"

namespace voren {

namespace {

bool starts_with_ignore_case(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           equals_ignore_case(text.substr(0, prefix.size()), prefix);
}

// A special entry that recognises its own texts; its search is not built yet.
bool special_search(Editor& ed, const CommandCall& call, std::string_view prefix) {
    if (!starts_with_ignore_case(trim_blanks(call.text), prefix)) return false;
    trace_tag(ed, call.entry->trace);
    return not_implemented(ed, call);
}

// A directory name as typed: surrounding double quotes removed.
std::string unquote(std::string_view s) {
    s = trim_blanks(s);
    if (s.size() >= 2 && s.front() == '"' && s.back() == '"') s = s.substr(1, s.size() - 2);
    return std::string(s);
}

} // namespace

bool xfcm_search_backward(Editor& ed, const CommandCall& call) {
    return special_search(ed, call, "-\\");
}
bool xfcm_search_forward(Editor& ed, const CommandCall& call) {
    return special_search(ed, call, "\\");
}
bool xfcm_r_slash(Editor& ed, const CommandCall& call) {
    return special_search(ed, call, "r/");
}

bool xfcm_msg(Editor& ed, const CommandCall& call) {
    show_text(ed, call.operands);
    ed.return_code = 0;
    return true;
}

// EMSG: a message that stays and sounds the alarm.
bool xfcm_emsg(Editor& ed, const CommandCall& call) {
    show_text(ed, call.operands, MessageMode::StayBeep);
    ed.return_code = 0;
    return true;
}

// CMSG: the text goes on the command line for the user to edit.
bool xfcm_cmsg(Editor& ed, const CommandCall& call) {
    ed.cmd.command_line.assign(call.operands);
    ed.cmd.command_line_stays = true;
    ed.return_code = 0;
    return true;
}

// COMMAND: runs its operand as a command of the table, bypassing synonyms and macros.
bool xfcm_command(Editor& ed, const CommandCall& call) {
    if (trim_blanks(call.operands).empty()) {
        show_message(ed, 159);
        ed.return_code = 1;
        return true;
    }
    xfcom2(ed, call.operands, call.source, call.flags | kNoSynonyms | kNoMacros);
    return true;
}

bool xfcm_pwd(Editor& ed, const CommandCall&) {
    auto dir = platform::current_directory();
    if (!dir) {
        show_message(ed, 8);
        ed.return_code = 1;
        return true;
    }
    show_text(ed, *dir);
    ed.return_code = 0;
    return true;
}

// CD dir: changes the current directory; a relative name not found here is
// looked for in the directories of XCDPATH. CD alone shows the current directory.
bool xfcm_cd(Editor& ed, const CommandCall& call) {
    std::string dir = unquote(call.operands);
    if (dir.empty()) return xfcm_pwd(ed, call);
    std::string target = dir;
    platform::PathKind kind = platform::path_kind(target);
    if (kind == platform::PathKind::Missing && dir[0] != '/') {
        std::string list = platform::environment_variable("XCDPATH").value_or("");
        size_t start = 0;
        while (start <= list.size()) {
            size_t end = list.find(':', start);
            if (end == std::string::npos) end = list.size();
            std::string base = list.substr(start, end - start);
            if (!base.empty()) {
                std::string candidate = base + (base.back() == '/' ? "" : "/") + dir;
                if (platform::path_kind(candidate) == platform::PathKind::Directory) {
                    target = candidate;
                    kind = platform::PathKind::Directory;
                    break;
                }
            }
            start = end + 1;
        }
    }
    int message = 0;
    if (kind == platform::PathKind::Missing)
        message = 13;
    else if (kind == platform::PathKind::Other)
        message = 14;
    else if (platform::change_directory(target) != 0)
        message = 15;
    if (message != 0) {
        show_message(ed, message);
        ed.return_code = 1;
        return true;
    }
    ed.return_code = 0;
    return true;
}

} // namespace voren
