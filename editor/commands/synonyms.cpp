// SYNONYM: defining, replacing and clearing synonyms, and switching them on and off.
#include <string>

#include "editor/commands/command_table.h"
#include "editor/commands/executor.h"
#include "editor/commands/executor_internal.h"
#include "editor/core/editor.h"

namespace voren {

namespace {

bool all_digits(std::string_view s) {
    if (s.empty()) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

bool invalid_parameters(Editor& ed) {
    show_message(ed, 16);
    ed.return_code = 1;
    return true;
}

} // namespace

// The definition line of a synonym, as QUERY SYNONYM shows it.
std::string synonym_definition(const Synonym& syn) {
    std::string line = "SYNONYM ";
    if (syn.linend != 0) {
        line += "LINEND ";
        line += syn.linend;
        line += ' ';
    }
    line += syn.name + ' ' + std::to_string(syn.min_length) + ' ';
    for (size_t i = 0; i < syn.commands.size(); ++i) {
        if (i > 0) line += syn.linend;
        line += syn.commands[i];
    }
    return line;
}

// SYNONYM ON|OFF
// SYNONYM [LINEND c] name [n] definition
// SYNONYM CLEAR name
bool xfcm_synonym(Editor& ed, const CommandCall& call) {
    ExecutorState& st = ed.cmd;
    std::string_view rest;
    std::string_view word = first_word(call.operands, &rest);
    if (word.empty()) return invalid_parameters(ed);
    if (rest.empty() && (equals_ignore_case(word, "ON") || equals_ignore_case(word, "OFF"))) {
        st.synonyms_on = equals_ignore_case(word, "ON");
        ed.return_code = 0;
        return true;
    }
    if (word == "CLEAR") {
        std::string_view extra;
        std::string_view name = first_word(rest, &extra);
        if (name.empty() || !extra.empty()) return invalid_parameters(ed);
        for (auto it = st.synonyms.begin(); it != st.synonyms.end(); ++it) {
            if (it->name == name) {
                st.synonyms.erase(it);
                ed.return_code = 0;
                return true;
            }
        }
        show_message(ed, 18);
        ed.return_code = 1;
        return true;
    }
    char linend = 0;
    if (equals_ignore_case(word, "LINEND")) {
        std::string_view c = first_word(rest, &rest);
        if (c.size() != 1) return invalid_parameters(ed);
        linend = c[0];
        word = first_word(rest, &rest);
    }
    if (word.empty()) return invalid_parameters(ed);
    Synonym syn;
    syn.name.assign(word);
    syn.min_length = static_cast<int>(word.size());
    syn.linend = linend;
    std::string_view after_number;
    std::string_view number = first_word(rest, &after_number);
    if (all_digits(number)) {
        if (number.size() > 4) return invalid_parameters(ed);
        int n = std::stoi(std::string(number));
        if (n < 1 || n > static_cast<int>(word.size())) return invalid_parameters(ed);
        syn.min_length = n;
        rest = after_number;
    }
    if (trim_blanks(rest).empty()) return invalid_parameters(ed);
    if (linend == 0) {
        syn.commands.emplace_back(rest);
    } else {
        size_t start = 0;
        while (true) {
            size_t end = rest.find(linend, start);
            syn.commands.emplace_back(rest.substr(start, end - start));
            if (end == std::string_view::npos) break;
            start = end + 1;
        }
    }
    for (Synonym& old : st.synonyms) {
        if (old.name == syn.name) {
            old = std::move(syn);
            ed.return_code = 0;
            return true;
        }
    }
    st.synonyms.push_back(std::move(syn));
    ed.return_code = 0;
    return true;
}

} // namespace voren
