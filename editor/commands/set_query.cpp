// SET and QUERY: routing an option word to the command that owns the setting.
#include <string>

#include "editor/commands/command_table.h"
#include "editor/commands/executor.h"
#include "editor/commands/executor_internal.h"
#include "editor/core/editor.h"
#include "editor/core/ring.h"
#include "editor/screen/keys.h"

namespace voren {

std::string synonym_definition(const Synonym& syn);

namespace {

// Runs `entry` as if `text` had been typed as a command.
bool run_entry_with_text(Editor& ed, const CommandEntry& entry, std::string_view text,
                         const CommandCall& outer) {
    PreparedCommand cmd;
    cmd.prepare(trim_blanks(text));
    return call_command(ed, entry, cmd.call(outer.source, outer.flags));
}

void show_synonyms(Editor& ed) {
    show_message(ed, ed.cmd.synonyms_on ? 9 : 10);
    for (const Synonym& syn : ed.cmd.synonyms)
        show_text(ed, synonym_definition(syn));
    ed.return_code = 0;
}

// The key settings in SET form, shown as the file "setkeys.voren" of the ring
// (in the start directory); saving it writes the key file. A listing already
// in the ring is refreshed in place.
void show_key_listing(Editor& ed) {
    std::string path = ed.start_directory.empty() ? std::string("setkeys.voren")
                                                  : ed.start_directory + "/setkeys.voren";
    int index = find_file_by_path(ed, path);
    if (index >= 0) make_current(ed, index);
    File& file = index >= 0 ? *ed.ring.files[size_t(index)] : add_file(ed);
    file.path = path;
    file.path_as_read = "setkeys.voren";
    file.lines.clear();
    for (const std::string& line : key_file_lines(ed.keys)) {
        file.lines.emplace_back();
        file.lines.back().text = LineText(line);
    }
    file.undo_log.clear();
    file.redo_log.clear();
    file.display_changed = true;
    set_current_line(ed, -1);
    ed.return_code = 0;
}

} // namespace

// SET option operands: the option is looked up among the settable commands
// and the host names; anything else goes to the macro layer's variables.
bool xfcm_set(Editor& ed, const CommandCall& call) {
    std::string_view rest;
    std::string_view option = first_word(call.operands, &rest);
    if (option.empty() || option == "?") {
        show_key_listing(ed);
        return true;
    }
    const CommandEntry* item = find_set_item(option, ed.cmd.host_compat);
    // A word with "-" or "^" cannot name a setting or a variable: it is a key
    // name, malformed or not.
    if (item == nullptr &&
        (is_key_setting(option) || option.find_first_of("-^") != std::string_view::npos)) {
        int message = set_key(ed.keys, trim_blanks(call.operands));
        if (message != 0) show_message(ed, message);
        ed.return_code = message == 0 ? 0 : 1;
        return true;
    }
    if (item != nullptr) {
        if (item->handler == nullptr) {
            ed.return_code = 0;
            return true;
        }
        if (!run_entry_with_text(ed, *item, trim_blanks(call.operands), call)) ed.return_code = 1;
        return true;
    }
    MacroHook set_variable = ed.cmd.set_macro_variable;
    if (set_variable != nullptr && set_variable(ed, trim_blanks(call.operands))) return true;
    ed.return_code = 1;
    return true;
}

// QUERY item: a few items are answered here; any other queryable command is
// run without SET and reports its own value.
bool xfcm_query(Editor& ed, const CommandCall& call) {
    std::string_view rest;
    std::string_view word = first_word(call.operands, &rest);
    const CommandEntry* entry = find_command(word);
    if (entry != nullptr && entry->handler == &xfcm_macro) {
        if (const CommandEntry* item = find_set_item("MACRO", false))
            run_entry_with_text(ed, *item, "MACRO", call);
        return true;
    }
    if (entry != nullptr && entry->handler == &xfcm_synonym) {
        show_synonyms(ed);
        return true;
    }
    if (entry != nullptr && (entry->handler == &xfcm_pending || entry->handler == &xfcm_lastlorc ||
                             entry->handler == &xfcm_font)) {
        // Answered by their own families once those are built.
        return not_implemented(ed, call);
    }
    if (entry != nullptr && entry->queryable) {
        if (!run_entry_with_text(ed, *entry, trim_blanks(call.operands), call)) ed.return_code = 1;
        return true;
    }
    show_message(ed, 16);
    ed.return_code = 1;
    return true;
}

} // namespace voren
