// The command executor: LINEND splitting and the steps that turn one command
// text into a handler call.
#include "editor/commands/executor.h"

#include <cstring>

#include "editor/commands/executor_internal.h"
#include "editor/core/editor.h"
#include "editor/core/line_ops.h"
#include "platform/environment.h"
#include "platform/files.h"

namespace voren {

namespace {

constexpr std::string_view kEndOfMacro = "$$end$$mac$$end$$mac$$";
// Deeper nesting than this (synonyms, "=", macros calling each other) is refused.
constexpr int kMaxNesting = 200;

bool is_letter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool is_digit(char c) {
    return c >= '0' && c <= '9';
}
char to_lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}
char to_upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

// "set" (at least "se"), "button" (at least "bu") or "delay", all in lower case
// or all in capitals: such a command takes the whole rest of the text, LINEND included.
bool takes_whole_text(std::string_view text) {
    std::string_view word = first_word(text);
    bool all_lower = true, all_upper = true;
    for (char c : word) {
        if (c >= 'a' && c <= 'z')
            all_upper = false;
        else if (c >= 'A' && c <= 'Z')
            all_lower = false;
        else
            return false;
    }
    if (!all_lower && !all_upper) return false;
    std::string folded;
    for (char c : word)
        folded += to_lower(c);
    auto abbreviates = [&](std::string_view full, size_t min) {
        return folded.size() >= min && folded.size() <= full.size() &&
               full.substr(0, folded.size()) == folded;
    };
    return abbreviates("set", 2) || abbreviates("button", 2) || folded == "delay";
}

// A synonym matching the typed word, or null. The typed word may not be
// longer than the synonym's name.
const Synonym* find_synonym(const ExecutorState& st, std::string_view text, size_t word_length) {
    if (word_length < text.size()) {
        char after = text[word_length];
        if (!is_blank(after) && !is_digit(after) && after != '-') return nullptr;
    }
    std::string_view word = text.substr(0, word_length);
    for (const Synonym& syn : st.synonyms) {
        if (word.size() < static_cast<size_t>(syn.min_length) || word.size() > syn.name.size())
            continue;
        if (std::string_view(syn.name).substr(0, word.size()) == word) return &syn;
    }
    return nullptr;
}

int run_synonym(Editor& ed, const Synonym& syn, std::string_view rest, int source) {
    ExecutorState& st = ed.cmd;
    // Copy: a command of the synonym may redefine or clear it.
    std::vector<std::string> commands = syn.commands;
    bool was_expanding = st.expanding_synonym;
    st.expanding_synonym = true;
    int rc = 0;
    for (size_t i = 0; i < commands.size(); ++i) {
        if (i + 1 < commands.size()) {
            rc = xfcom2(ed, commands[i], source);
            if (rc != 0) break;
        } else {
            rc = xfcom2(ed, commands[i] + std::string(rest), source);
        }
    }
    st.expanding_synonym = was_expanding;
    ed.return_code = rc;
    return rc;
}

bool is_line_number(std::string_view text) {
    std::string_view t = trim_blanks(text);
    if (t.empty()) return false;
    for (char c : t)
        if (!is_digit(c)) return false;
    return true;
}

bool is_target_command(std::string_view text) {
    if (text.empty()) return false;
    if (text.substr(0, 2) == "-\\") return false;
    if (std::strchr("0123456789+-:*/", text[0]) != nullptr) return true;
    return (text[0] == '.' || text.substr(0, 2) == "~/") && text.size() >= 2;
}

int run_target(Editor& ed, std::string_view text, bool numeric) {
    if (numeric) trace_tag(ed, "Commande NN");
    if (ring_is_empty(ed)) return ed.return_code = 0;
    TargetHook hook = numeric ? ed.cmd.numeric_command : ed.cmd.locate_target;
    if (hook == nullptr) {
        show_message(ed, 164);
        return ed.return_code = 1;
    }
    return ed.return_code = hook(ed, text);
}

// Steps 5 to 13 of one command; leaves the return code in ed.return_code.
void dispatch(Editor& ed, std::string_view typed, const PreparedCommand& cmd, int source,
              int flags) {
    ExecutorState& st = ed.cmd;
    std::string_view text = cmd.text;
    bool macros_allowed = (flags & kNoMacros) == 0 && st.run_macro != nullptr;
    bool macros_first = st.macros_first || (flags & kProfileCommand) != 0;

    if (macros_allowed && macros_first && st.run_macro(ed, text)) return;

    if (text[0] == '#') {
        ed.return_code = 0;
        return;
    }

    bool numeric = is_line_number(text);
    if (numeric || is_target_command(text)) {
        run_target(ed, text, numeric);
        return;
    }

    CommandCall call = cmd.call(source, flags);
    const auto table = command_table();
    for (int i = 0; i < 5; ++i) {
        call.entry = &table[static_cast<size_t>(i)];
        if (table[static_cast<size_t>(i)].handler(ed, call)) return;
    }

    if (const CommandEntry* entry = find_command(call.word)) {
        if (call_command(ed, *entry, call)) return;
    }

    if (trim_blanks(typed) == kEndOfMacro) {
        if (!st.macro_frames.empty()) st.macro_frames.pop_back();
        ed.return_code = 0;
        return;
    }

    // Host names are whole words: PA1 is not split into PA 1.
    if (st.host_compat && find_host_item(first_word(text)) != nullptr) {
        ed.return_code = 0;
        return;
    }

    if (macros_allowed && !macros_first && st.run_macro(ed, text)) return;

    if (st.impcmscp == 0) {
        show_text(ed, "..... Invalid command \"" + std::string(text) + "\"");
        st.command_line.assign(typed);
        st.command_line_stays = true;
        ed.return_code = -1;
        return;
    }
    // Handed to the operating system through the shell commands.
    std::string shell = (st.impcmscp == 2 && !ed.batch_mode) ? "xshell " : "shell ";
    shell += text;
    xfcom2(ed, shell, source, kNoSynonyms | kNoMacros);
}

} // namespace

size_t command_word_length(std::string_view text) {
    if (text.empty()) return 0;
    unsigned char first = static_cast<unsigned char>(text[0]);
    if (first == 0xBD || first == 0xEE) return 1;
    size_t n = 1;
    while (n < text.size() && (is_letter(text[n]) || text[n] == '_'))
        ++n;
    return n;
}

void PreparedCommand::prepare(std::string_view command) {
    text.assign(command);
    lower.resize(text.size());
    for (size_t i = 0; i < text.size(); ++i)
        lower[i] = to_lower(text[i]);
    word_length = command_word_length(text);
    spaced = text;
    if (word_length < spaced.size() && spaced[word_length] != ' ')
        spaced.insert(word_length, 1, ' ');
    upper.resize(spaced.size());
    for (size_t i = 0; i < spaced.size(); ++i)
        upper[i] = to_upper(spaced[i]);
}

CommandCall PreparedCommand::call(int source, int flags) const {
    CommandCall c;
    c.text = text;
    c.lower = lower;
    c.spaced = spaced;
    c.upper = upper;
    c.word = std::string_view(text).substr(0, word_length);
    c.operands = std::string_view(spaced).substr(std::min(spaced.size(), word_length + 1));
    c.source = source;
    c.flags = flags;
    return c;
}

std::string_view trim_blanks(std::string_view s) {
    while (!s.empty() && is_blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && is_blank(s.back()))
        s.remove_suffix(1);
    return s;
}

std::string_view first_word(std::string_view s, std::string_view* rest) {
    while (!s.empty() && is_blank(s.front()))
        s.remove_prefix(1);
    size_t n = 0;
    while (n < s.size() && !is_blank(s[n]))
        ++n;
    if (rest != nullptr) {
        std::string_view r = s.substr(n);
        while (!r.empty() && is_blank(r.front()))
            r.remove_prefix(1);
        *rest = r;
    }
    return s.substr(0, n);
}

bool equals_ignore_case(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (to_lower(a[i]) != to_lower(b[i])) return false;
    return true;
}

int execute_string(Editor& ed, std::string_view text) {
    const ExecutorState& st = ed.cmd;
    int rc = 0;
    ed.return_code = 0;
    while (true) {
        while (!text.empty() && is_blank(text.front()))
            text.remove_prefix(1);
        if (text.empty()) break;
        size_t end = std::string_view::npos;
        if (st.linend_on && text[0] != '*' && text[0] != '#' && !takes_whole_text(text))
            end = text.find(st.linend);
        if (end == std::string_view::npos) {
            rc = xfcom2(ed, text);
            break;
        }
        rc = xfcom2(ed, text.substr(0, end));
        text.remove_prefix(end + 1);
    }
    return rc;
}

int xfcom2(Editor& ed, std::string_view typed, int source, int flags) {
    ExecutorState& st = ed.cmd;
    while (!typed.empty() && is_blank(typed.front()))
        typed.remove_prefix(1);
    if (typed.empty() || trim_blanks(typed).empty()) return ed.return_code = 0;
    if (typed.size() > kMaxCommandLength) {
        show_message(ed, 7);
        return ed.return_code = 1;
    }
    if (st.depth >= kMaxNesting) {
        show_message(ed, 26);
        return ed.return_code = 1;
    }
    if (st.command_trace) {
        std::fputs("xfcom2: com = ", st.trace_output);
        std::fwrite(typed.data(), 1, typed.size(), st.trace_output);
        std::fputc('\n', st.trace_output);
    }
    ++st.depth;
    // Each command (but not each piece of a synonym) is one undo step.
    if (!st.expanding_synonym) start_undo_step(ed);
    // Commands run by a synonym are not kept on the command line when they fail.
    bool from_synonym = st.expanding_synonym;
    bool outer_keep_on_error = st.keep_on_error;
    st.keep_on_error = true;

    PreparedCommand cmd;
    std::string expanded;
    if (st.arbchar_on && st.arbchar == '$' && is_target_command(typed) && !is_line_number(typed)) {
        // "$" is the arbitrary character here, so the target is not expanded.
        run_target(ed, trim_blanks(typed), false);
    } else if (!expand_dollar_variables(ed, typed, expanded)) {
        ed.return_code = 1;
    } else {
        cmd.prepare(expanded);
        const Synonym* syn = nullptr;
        if (st.synonyms_on && !st.expanding_synonym && (flags & kNoSynonyms) == 0)
            syn = find_synonym(st, cmd.text, cmd.word_length);
        if (syn != nullptr)
            run_synonym(ed, *syn, std::string_view(cmd.text).substr(cmd.word_length), source);
        else
            dispatch(ed, typed, cmd, source, flags);
    }

    int rc = ed.return_code;
    if (rc != 0 && st.keep_on_error && !from_synonym) {
        st.command_line.assign(typed);
        st.command_line_stays = true;
    }
    st.keep_on_error = outer_keep_on_error;
    --st.depth;
    return rc;
}

} // namespace voren
