#include "rexx/core/errors.h"

#include "rexx/core/interp.h"

namespace tolma {

namespace {

const char* const kMessages[99] = {
    "",                                // 0
    "Unmatched Quote.",                // 1
    "Unmatched Double Quote.",         // 2
    "",                                // 3
    "Program interrupted.",            // 4
    "Machine resources exhausted.",    // 5
    "Unmatched /*.",                   // 6
    "WHEN or OTHERWISE expected.",     // 7
    "Unexpected THEN or ELSE.",        // 8
    "",                                // 9
    "",                                // 10
    "",                                // 11
    "",                                // 12
    "",                                // 13
    "",                                // 14
    "Invalid hexadecimal constant.",   // 15
    "Label not found.",                // 16
    "",                                // 17
    "THEN expected.",                  // 18
    "",                                // 19
    "Symbol expected.",                // 20
    "",                                // 21
    "",                                // 22
    "",                                // 23
    "Invalid TRACE request.",          // 24
    "Invalid sub-keyword found.",      // 25
    "Invalid whole number.",           // 26
    "Invalid DO syntax.",              // 27
    "Invalid LEAVE or ITERATE.",       // 28
    "",                                // 29
    "",                                // 30
    "Name starts with number or dot.", // 31
    "",                                // 32
    "",                                // 33
    "Logical value not 0 or 1.",       // 34
    "",                                // 35
    "",                                // 36
    "",                                // 37
    "Invalid template or pattern.",    // 38
    "",                                // 39
    "Incorrect call to routine.",      // 40
    "Bad arithmetic conversion.",      // 41
    "Arithmetics overflow/underflow.", // 42
    "Routine not found.",              // 43
    "Function did not return data.",   // 44
    "",                                // 45
    "Invalid variable reference.",     // 46
    "",                                // 47
    "",                                // 48
    "",                                // 49
    "Invalid IF syntax.",              // 50
    "Zero divide.",                    // 51
    "Invalid SELECT syntax.",          // 52
    "WHEN expected before OTHERWISE.", // 53
    "Invalid CALL label.",             // 54
    "Syntax error.",                   // 55
    "Environment not found.",          // 56
    "No match: OTHERWISE expected.",   // 57
    "Unable to create a pipe.",        // 58
    "Error while reading a pipe.",     // 59
    "Command not found.",              // 60
    "Parser stack overflow.",          // 61
    "Out of memory.",                  // 62
    "Invalid directory.",              // 63
    "Incomplete DO.",                  // 64
    "Incomplete SELECT.",              // 65
    "Incomplete IF.",                  // 66
    "Invalid binary string.",          // 67
    "Unable to display panel.",        // 68
    "No opened panel.",                // 69
    "Unable to save panel.",           // 70
    "Uninitialized variable.",         // 71
    "Handle not found.",               // 72
    "Invalid input number.",           // 73
    "Invalid toggle number.",          // 74
    "Invalid toggle rank.",            // 75
    "Invalid compiled file.",          // 76
    "",                                // 77
    "Index error.",                    // 78
    "Index overflow.",                 // 79
    "Invalid choice number.",          // 80
    "Invalid list number.",            // 81
    "Invalid list rank.",              // 82
    "Item not found.",                 // 83
    "Invalid RGB value.",              // 84
    "Unable to start thread.",         // 85
    "Program does not start.",         // 86
    "Privileged routine.",             // 87
    "Invalid SOCKET domain.",          // 88
    "Invalid SOCKET type.",            // 89
    "Invalid SOCKET protocol.",        // 90
    "Invalid SOCKET level.",           // 91
    "Invalid socket-level option.",    // 92
    "Invalid socket-level parameter.", // 93
    "Invalid family address.",         // 94
    "Invalid HOST address.",           // 95
    "Invalid SOCKET port number.",     // 96
    "",                                // 97
    "Invalid SIGNAL name.",            // 98
};

} // namespace

const char* error_message(int code) {
    if (code < 0 || code >= 99) return "Unknown error.";
    return kMessages[code];
}

RexxError make_error(const Interp& in, int code, std::string detail) {
    RexxError e;
    e.code = code;
    e.detail = std::move(detail);
    e.line = in.pos.line;
    e.column = in.pos.column;
    e.interpreted = in.pos.interpreted;
    if (e.interpreted) e.source_line = std::string(in.pos.interpreted_line);
    return e;
}

void raise_error(Interp& in, int code, std::string detail) {
    throw make_error(in, code, std::move(detail));
}

std::string operand_detail(std::string_view var_name, std::string_view value) {
    std::string s;
    if (!var_name.empty()) {
        s = "Variable \"";
        s += var_name;
        s += "\" = \"";
    } else {
        s = "String \"";
    }
    s += value;
    s += "\" is invalid.";
    return s;
}

// ---------------------------------------------------------------- report

std::string format_error_report(const Interp& in, const RexxError& e) {
    const ProgramSource& src = in.source;
    std::string prefix, line_text, head;
    const SourcePart* part = e.interpreted ? nullptr : src.part_of(e.line);
    const SourcePart* program = src.program();
    std::string program_name = program ? program->file_name : std::string();
    if (e.interpreted) {
        prefix = "    *interpreted* ";
        line_text = e.source_line;
        head = "Error " + std::to_string(e.code) + ": ";
    } else if (part && part->kind == SourceKind::Startup) {
        prefix = "    " + std::to_string(e.line) + " (.tolmarc) +++ ";
        line_text = std::string(src.line_text(e.line));
        head = "Error " + std::to_string(e.code) + " on line " + std::to_string(e.line) +
               " in file \"" + program_name + "\" (while processing \".tolmarc\"): ";
    } else {
        // Lines are counted within their own source: the program proper, or
        // an added file.
        int local = e.line;
        std::string name = program_name;
        if (part) {
            local = e.line - part->first_line + 1;
            name = part->file_name;
        }
        prefix = "    " + std::to_string(local) + " +++ ";
        line_text = std::string(src.line_text(e.line));
        head = "Error " + std::to_string(e.code) + " on line " + std::to_string(local) +
               " in file \"" + name + "\": ";
    }
    long col = static_cast<long>(e.column) - 1;
    if (col > static_cast<long>(line_text.size()) - 1)
        col = static_cast<long>(line_text.size()) - 1;
    if (col < 0) col = 0;
    std::string caret(prefix.size() + col, ' ');
    caret += '^';
    return "\n" + prefix + line_text + "\n" + caret + "\n" + head + error_message(e.code) + "\n";
}

void report_error(Interp& in, const RexxError& e) {
    std::string text = format_error_report(in, e);
    if (!e.detail.empty()) text += "\n" + e.detail + "\n\n";
    in.err(text);
}

// ---------------------------------------------------------------- conditions

const char* condition_name(Condition c) {
    static const char* const names[] = {"ERROR",   "FAILURE", "HALT",
                                        "NOVALUE", "SYNTAX",  "NOTREADY"};
    return names[static_cast<int>(c)];
}

std::string_view trap_label_view(const Interp& in, Condition c) {
    const Trap& t = in.traps[c];
    if (!t.label.empty()) return t.label;
    static const char* const lower[] = {"error",   "failure", "halt",
                                        "novalue", "syntax",  "notready"};
    return lower_case_names(in.case_mode) ? lower[static_cast<int>(c)] : condition_name(c);
}

std::string trap_label(const Interp& in, Condition c) {
    return std::string(trap_label_view(in, c));
}

void set_trap(Interp& in, Condition c, TrapMode mode, std::string_view name) {
    if (mode == TrapMode::Call && c == Condition::Syntax) raise_error(in, 25);
    Trap& t = in.traps[c];
    t.mode = mode;
    // Assigned in place: a trap set again and again keeps its buffer.
    if (mode == TrapMode::Off || name.empty())
        t.label.clear();
    else
        t.label.assign(name);
    t.busy = false;
}

namespace {

void set_number_var(Interp& in, const char* name, long v) {
    set_var(in, name, RexxValue::number(static_cast<double>(v), 0));
}

} // namespace

void enter_syntax_condition(Interp& in, const RexxError& e) {
    Trap& t = in.traps[Condition::Syntax];
    t.mode = TrapMode::Off;
    t.label.clear();
    in.condition.code = static_cast<int>(Condition::Syntax);
    in.condition.mode = TrapMode::Signal;
    in.condition.fixed_description = error_message(e.code);
    if (!e.detail.empty()) in.out("\ntolma: " + e.detail + "\n");
}

TrapAction syntax_trap(Interp& in, const RexxError& e) {
    if (in.traps[Condition::Syntax].mode != TrapMode::Signal) return {};
    TrapAction a{TrapMode::Signal, trap_label(in, Condition::Syntax)};
    set_number_var(in, sigl_name(in), e.line);
    set_number_var(in, rc_name(in), e.code);
    enter_syntax_condition(in, e);
    return a;
}

TrapAction raise_condition(Interp& in, Condition c, std::string_view description, int line) {
    Trap& t = in.traps[c];
    if (t.mode == TrapMode::Off) return {};
    TrapAction a{t.mode, trap_label(in, c)};
    in.condition.code = static_cast<int>(c);
    in.condition.mode = t.mode;
    in.condition.description = std::string(description);
    in.condition.fixed_description = nullptr;
    set_number_var(in, sigl_name(in), line);
    if (t.mode == TrapMode::Signal) {
        t.mode = TrapMode::Off;
        t.label.clear();
    }
    return a;
}

TrapAction command_condition(Interp& in, int rc, std::string_view command, int line,
                             bool at_pause) {
    set_number_var(in, at_pause ? rc_debug_name(in) : rc_name(in), rc);
    if (rc == 0) return {};
    Condition c = Condition::Error;
    if (rc < 0 && in.traps[Condition::Failure].mode != TrapMode::Off) c = Condition::Failure;
    return raise_condition(in, c, command, line);
}

TrapAction halt_condition(Interp& in, int line) {
    TrapAction a = raise_condition(in, Condition::Halt, "", line);
    if (a.mode == TrapMode::Off) raise_error(in, 4);
    return a;
}

TrapAction notready_condition(Interp& in, std::string_view stream, int line) {
    return raise_condition(in, Condition::Notready, stream, line);
}

void novalue_condition(Interp& in, std::string_view name) {
    Trap& t = in.traps[Condition::Novalue];
    if (t.mode == TrapMode::Off || t.busy) return;
    bool digits_only = true;
    for (char ch : name)
        if (ch < '0' || ch > '9') digits_only = false;
    if (digits_only) return;

    int line = in.pos.line;
    std::string text = "\ntolma: variable \"" + std::string(name) + "\" (line " +
                       std::to_string(line) + ") is uninitialized.\n\n";
    std::string label = trap_label(in, Condition::Novalue);
    set_number_var(in, sigl_name(in), line);
    if (t.mode == TrapMode::Call) {
        CurrentCondition previous = in.condition;
        in.condition.code = static_cast<int>(Condition::Novalue);
        in.condition.mode = TrapMode::Call;
        in.condition.description = std::string(name);
        in.condition.fixed_description = nullptr;
        in.out(text);
        t.busy = true;
        struct Restore {
            Interp& in;
            CurrentCondition previous;
            ~Restore() {
                in.traps[Condition::Novalue].busy = false;
                in.condition = std::move(previous);
            }
        } restore{in, std::move(previous)};
        if (in.call_handler) in.call_handler(in, label);
        return;
    }
    t.mode = TrapMode::Off;
    t.label.clear();
    if (!in.pool.labels.find(label)) raise_error(in, 71, text);
    in.condition.code = static_cast<int>(Condition::Novalue);
    in.condition.mode = TrapMode::Signal;
    in.condition.description = std::string(name);
    in.condition.fixed_description = nullptr;
    in.out(text);
    throw SignalTransfer{label};
}

void nested_label_error(Interp& in, std::string_view name) {
    raise_error(in, 54,
                "The label \"" + std::string(name) + "\" is nested within a control structure.");
}

void routine_not_found(Interp& in, std::string_view name) {
    in.err("\ntolma: \"" + std::string(name) + "\" routine not found.\n");
    raise_error(in, 43);
}

SavedTraps save_call_traps(const Interp& in) {
    SavedTraps s;
    for (int i = 0; i < 4; ++i)
        s.trap[i] = in.traps.trap[i];
    return s;
}

void restore_call_traps(Interp& in, const SavedTraps& saved) {
    for (int i = 0; i < 4; ++i)
        in.traps.trap[i] = saved.trap[i];
}

void clear_call_traps(Interp& in) {
    for (int i = 0; i < 4; ++i)
        in.traps.trap[i] = Trap();
}

} // namespace tolma
