// Opening and leaving files, saving, the ring, undo and redo.
#include <cstdlib>
#include <string>
#include <vector>

#include "editor/commands/command_table.h"
#include "editor/commands/executor.h"
#include "editor/commands/executor_internal.h"
#include "editor/core/editor.h"
#include "editor/core/emergency.h"
#include "editor/core/file_io.h"
#include "editor/core/line_ops.h"
#include "platform/files.h"

namespace voren {

namespace {

bool done(Editor& ed, int rc) {
    ed.return_code = rc;
    return true;
}

bool fail(Editor& ed, int message) {
    show_message(ed, message);
    return done(ed, 1);
}

// File names of the operands: blank-separated, a name in double quotes may
// hold blanks; a word starting with "(" begins the options, which are ignored.
std::vector<std::string> file_names(std::string_view operands) {
    std::vector<std::string> names;
    size_t i = 0;
    while (i < operands.size()) {
        while (i < operands.size() && is_blank(operands[i]))
            ++i;
        if (i >= operands.size() || operands[i] == '(') break;
        std::string name;
        if (operands[i] == '"') {
            size_t close = operands.find('"', i + 1);
            if (close == std::string_view::npos) close = operands.size();
            name.assign(operands.substr(i + 1, close - i - 1));
            i = close + 1;
        } else {
            size_t end = i;
            while (end < operands.size() && !is_blank(operands[end]))
                ++end;
            name.assign(operands.substr(i, end - i));
            i = end;
        }
        if (!name.empty()) names.push_back(name);
    }
    return names;
}

// Leaves the current file; leaving the last one ends the program.
void leave_current_file(Editor& ed) {
    remove_current_file(ed);
    if (ed.ring.files.empty()) exit_editor(ed, 0);
}

bool switch_to(Editor& ed, int index) {
    if (index < 0) return fail(ed, 136);
    make_current(ed, index);
    return done(ed, 0);
}

// Writes the current file, under a new name when one is given. `forced`
// writes over an existing file of that name; `crlf` forces CR LF.
int save_current(Editor& ed, const CommandCall& call, bool forced, bool crlf) {
    File* file = current_file(ed);
    if (!file) {
        show_message(ed, 136);
        return 1;
    }
    if (file->read_only) {
        show_message(ed, 118);
        return 1;
    }
    std::vector<std::string> names = file_names(call.operands);
    if (names.size() > 1) {
        show_message(ed, 16);
        return 1;
    }
    std::string old_path = file->path;
    if (!names.empty()) {
        std::string path = platform::absolute_path(names[0]);
        if (path != file->path) {
            if (find_file_by_path(ed, path) >= 0) {
                show_message(ed, 50);
                return 1;
            }
            if (!forced && platform::link_status(path).type != platform::FileType::Missing) {
                show_message(ed, 182);
                return 1;
            }
            file->path = path;
        }
    }
    int result = save_file(ed, crlf, false);
    if (result == save_ok) return 0;
    file->path = old_path;
    if (result == save_failed) show_message(ed, 21);
    return 1;
}

bool file_and_leave(Editor& ed, const CommandCall& call, bool forced, bool crlf) {
    if (save_current(ed, call, forced, crlf) != 0) return done(ed, 1);
    leave_current_file(ed);
    return done(ed, 0);
}

bool edit_files(Editor& ed, const CommandCall& call) {
    std::vector<std::string> names = file_names(call.operands);
    if (names.empty()) return switch_to(ed, next_in_ring(ed));
    int rc = 0;
    for (const std::string& name : names)
        if (open_file(ed, name) != open_ok) rc = 1;
    return done(ed, rc);
}

} // namespace

// XEDIT [name ...]: opens each file (a file already in the ring is only made
// current); without operands the next file of the ring becomes current.
bool xfcm_xedit(Editor& ed, const CommandCall& call) {
    return edit_files(ed, call);
}
bool xfcm_edit(Editor& ed, const CommandCall& call) {
    return edit_files(ed, call);
}
bool xfcm_x(Editor& ed, const CommandCall& call) {
    return edit_files(ed, call);
}

bool xfcm_switch(Editor& ed, const CommandCall&) {
    return switch_to(ed, next_in_ring(ed));
}
bool xfcm_iswitch(Editor& ed, const CommandCall&) {
    return switch_to(ed, previous_in_ring(ed));
}

bool xfcm_file(Editor& ed, const CommandCall& call) {
    return file_and_leave(ed, call, false, false);
}
bool xfcm_ffile(Editor& ed, const CommandCall& call) {
    return file_and_leave(ed, call, true, false);
}
bool xfcm_dosfile(Editor& ed, const CommandCall& call) {
    return file_and_leave(ed, call, false, true);
}
bool xfcm_save(Editor& ed, const CommandCall& call) {
    return done(ed, save_current(ed, call, false, false));
}
bool xfcm_ssave(Editor& ed, const CommandCall& call) {
    return done(ed, save_current(ed, call, true, false));
}
bool xfcm_dossave(Editor& ed, const CommandCall& call) {
    return done(ed, save_current(ed, call, false, true));
}

bool xfcm_quit(Editor& ed, const CommandCall&) {
    File* file = current_file(ed);
    if (!file) return fail(ed, 136);
    if (file->modification_count != 0) return fail(ed, 174);
    leave_current_file(ed);
    return done(ed, 0);
}

bool xfcm_qquit(Editor& ed, const CommandCall&) {
    if (!current_file(ed)) return fail(ed, 136);
    leave_current_file(ed);
    return done(ed, 0);
}

// AQUIT: leaves the files of the ring one after the other, from the current
// one backwards in ring order, stopping at the first modified file.
bool xfcm_aquit(Editor& ed, const CommandCall&) {
    if (!current_file(ed)) return fail(ed, 136);
    while (File* file = current_file(ed)) {
        if (file->modification_count != 0) return fail(ed, 174);
        leave_current_file(ed);
    }
    return done(ed, 0);
}

// NEWFILE [name]: a new, empty file in the ring, after the current one; it
// exists on disk only once saved. Without a name it is "newfile<number>" in
// the current directory.
bool xfcm_newfile(Editor& ed, const CommandCall& call) {
    std::vector<std::string> names = file_names(call.operands);
    if (names.size() > 1) return fail(ed, 16);
    std::string path;
    if (!names.empty()) {
        path = platform::absolute_path(names[0]);
        if (find_file_by_path(ed, path) >= 0) return fail(ed, 50);
        if (platform::link_status(path).type != platform::FileType::Missing) return fail(ed, 182);
    } else {
        for (int n = ed.ring.last_file_number + 1;; ++n) {
            path = platform::absolute_path("newfile" + std::to_string(n));
            if (find_file_by_path(ed, path) < 0 &&
                platform::link_status(path).type == platform::FileType::Missing)
                break;
        }
    }
    File& file = add_file(ed);
    file.path = path;
    file.path_as_read = names.empty() ? platform::base_name(path) : names[0];
    file.lf_only = !ed.settings.new_file_crlf;
    apply_pattern_settings(ed.settings, file, path);
    if (ed.settings.lowest_current_line != -1) file.lines.emplace_back();
    set_current_line(ed, ed.settings.lowest_current_line);
    return done(ed, 0);
}

// UNDO [n | ALL]: any word starting with "a" undoes every step.
bool xfcm_undo(Editor& ed, const CommandCall& call) {
    std::string_view rest;
    std::string_view word = first_word(call.operands, &rest);
    int steps = 1;
    if (!trim_blanks(rest).empty()) return fail(ed, 16);
    if (!word.empty()) {
        if (word[0] == 'a' || word[0] == 'A') {
            steps = -1;
        } else {
            long value = 0;
            for (char c : word) {
                if (c < '0' || c > '9' || value > 1000000000) return fail(ed, 16);
                value = value * 10 + (c - '0');
            }
            if (value < 1) return fail(ed, 16);
            steps = int(value);
        }
    }
    undo_steps(ed, steps);
    return done(ed, 0);
}

bool xfcm_redo(Editor& ed, const CommandCall& call) {
    if (!trim_blanks(call.operands).empty()) return fail(ed, 16);
    redo_step(ed);
    return done(ed, 0);
}

bool xfcm_saveclearundo(Editor& ed, const CommandCall& call) {
    std::string_view word = trim_blanks(call.operands);
    if (word.empty()) {
        show_message(ed, ed.settings.save_clear_undo ? 9 : 10);
        return done(ed, 0);
    }
    if (equals_ignore_case(word, "ON"))
        ed.settings.save_clear_undo = true;
    else if (equals_ignore_case(word, "OFF"))
        ed.settings.save_clear_undo = false;
    else
        return fail(ed, 16);
    return done(ed, 0);
}

} // namespace voren
