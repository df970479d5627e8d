#include "rexx/core/trace.h"

#include <cmath>
#include <cstdio>

#include "rexx/core/arith.h"
#include "rexx/core/errors.h"
#include "rexx/core/interp.h"

namespace tolma {

bool trace_command_wanted(const TraceState& t, int rc) {
    if (t.bits & (kTraceCommands | kTraceAll | kTraceIntermediates | kTraceResults)) return true;
    if ((t.bits & kTraceError) && rc != 0) return true;
    if ((t.bits & kTraceNormal) && rc < 0) return true;
    return false;
}

// ---------------------------------------------------------------- setting

void trace_setting(Interp& in, std::string_view text) {
    TraceState& t = in.trace;
    for (char c : text) {
        switch (c) {
        case '!': t.bits ^= kTraceInhibit; continue;
        case '?':
            t.bits ^= kTraceInteractive;
            if (t.bits & kTraceInteractive) t.skip_pauses = t.clauses_since_pause = 0;
            continue;
        case 'y':
        case 'Y': t.bits |= kTraceY; continue;
        default: break;
        }
        unsigned level;
        switch (c) {
        case 'a':
        case 'A': level = kTraceAll; break;
        case 'c':
        case 'C': level = kTraceCommands; break;
        case 'e':
        case 'E': level = kTraceError; break;
        case 'f':
        case 'F':
        case 'n':
        case 'N': level = kTraceNormal; break;
        case 'i':
        case 'I': level = kTraceIntermediates; break;
        case 'l':
        case 'L': level = kTraceLabels; break;
        case 'r':
        case 'R': level = kTraceResults; break;
        case 's':
        case 'S':
            if ((t.bits & kTraceDebugger) || t.in_pause) raise_error(in, 24);
            level = kTraceScan;
            break;
        case 'o':
        case 'O': t.bits = 0; return;
        default: raise_error(in, 24); // X too: no external debugger exists
        }
        t.bits = (t.bits & ~static_cast<unsigned>(kTraceLevelMask)) | level;
        return;
    }
}

void trace_setting(Interp& in, const RexxValue& v) {
    std::string_view text = v.text(in.numeric);
    size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool numeric_look = i < text.size() && ((text[i] >= '0' && text[i] <= '9') || text[i] == '-' ||
                                            text[i] == '+' || text[i] == '.');
    if (!numeric_look) {
        size_t end = text.size();
        while (end > i && text[end - 1] == ' ')
            --end;
        trace_setting(in, text.substr(i, end - i));
        return;
    }
    if (!is_number(v) || v.num() != std::trunc(v.num()))
        raise_error(in, 26, "Expression evaluates to " + std::string(text));
    double n = v.num();
    if (n < 0)
        in.trace.suppressed = static_cast<int>(std::min(-n, 2e9));
    else if (in.trace.bits & kTraceInteractive)
        in.trace.skip_pauses = static_cast<int>(std::min(n, 2e9));
}

std::string trace_setting_text(const TraceState& t) {
    std::string s;
    if (t.bits & kTraceInhibit) s += '!';
    if (t.bits & kTraceInteractive) s += '?';
    unsigned level = t.bits & kTraceLevelMask;
    char c = 'O';
    switch (level) {
    case kTraceAll: c = 'A'; break;
    case kTraceCommands: c = 'C'; break;
    case kTraceError: c = 'E'; break;
    case kTraceNormal: c = 'N'; break;
    case kTraceIntermediates: c = 'I'; break;
    case kTraceLabels: c = 'L'; break;
    case kTraceResults: c = 'R'; break;
    case kTraceScan: c = 'S'; break;
    default: c = 'O'; break;
    }
    s += c;
    return s;
}

void trace_count_clause(Interp& in) {
    TraceState& t = in.trace;
    t.quiet = t.suppressed > 0;
    if (t.quiet) --t.suppressed;
}

bool trace_output_on(const Interp& in) {
    return !in.trace.quiet;
}

// ---------------------------------------------------------------- output

int trace_line_width(int line) {
    if (line < 999) return 3;
    if (line < 9999) return 4;
    if (line < 99999) return 5;
    if (line < 999999) return 6;
    return 7;
}

namespace {

void emit(Interp& in, int depth, std::string& s) {
    if (!trace_output_on(in)) return;
    s.insert(0, static_cast<size_t>(depth > 0 ? depth : 0), ' ');
    s += '\n';
    in.out(s);
}

void quoted(std::string& s, std::string_view v) {
    s += '"';
    s += v;
    s += '"';
}

std::string line_field(int line) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%*.d", trace_line_width(line), line);
    return buf;
}

std::string base_name(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

void trace_clause(Interp& in, int line, std::string_view text, bool interpreted) {
    if (!trace_output_on(in)) return;
    std::string s = "\n";
    if (interpreted) {
        s += "*interpreted*  *-* ";
    } else {
        const SourcePart* part = in.source.part_of(line);
        if (part && part->kind == SourceKind::Startup) {
            s += line_field(line) + " (.tolmarc) *-* ";
        } else if (part && part->kind == SourceKind::Added) {
            int local = line - part->first_line + 1;
            s += "<" + base_name(part->file_name) + ">  " + line_field(local) + " *-* ";
        } else {
            int local = part ? line - part->first_line + 1 : line;
            s += line_field(local) + " *-* ";
        }
    }
    s += text;
    s += '\n';
    in.out(s);
}

void trace_command(Interp& in, int depth, std::string_view command, int rc) {
    std::string s = ">>> ";
    quoted(s, command);
    emit(in, depth, s);
    if (rc != 0) {
        std::string r = "RC(" + std::to_string(rc) + ")";
        emit(in, depth, r);
    }
}

void trace_result(Interp& in, int depth, std::string_view value) {
    std::string s = ">>> ";
    quoted(s, value);
    emit(in, depth, s);
}

void trace_variable(Interp& in, int depth, std::string_view name, std::string_view value) {
    std::string s = ">V> ";
    s += name;
    s += " --> ";
    quoted(s, value);
    emit(in, depth, s);
}

void trace_binary(Interp& in, int depth, std::string_view left, std::string_view op,
                  std::string_view right, std::string_view result) {
    std::string s = ">O> ";
    quoted(s, left);
    s += ' ';
    s += op;
    s += ' ';
    quoted(s, right);
    s += " --> ";
    quoted(s, result);
    emit(in, depth, s);
}

void trace_prefix(Interp& in, int depth, char op, std::string_view operand,
                  std::string_view result) {
    std::string s = ">P> ";
    s += op;
    s += ' ';
    quoted(s, operand);
    s += " --> ";
    quoted(s, result);
    emit(in, depth, s);
}

void trace_backquote(Interp& in, int depth, std::string_view operand, std::string_view result) {
    std::string s = ">U> `";
    s += operand;
    s += "` --> ";
    quoted(s, result);
    emit(in, depth, s);
}

void trace_function(Interp& in, int depth, std::string_view name, const std::string_view* result) {
    std::string s = ">F> ";
    s += name;
    s += "() --> ";
    if (result)
        quoted(s, *result);
    else
        s += "No Result";
    emit(in, depth, s);
}

void trace_index(Interp& in, int depth, std::string_view str, long first, long last,
                 std::string_view result) {
    std::string s = ">O> ";
    quoted(s, str);
    s += "[" + std::to_string(first) + ":" + std::to_string(last) + "] --> ";
    quoted(s, result);
    emit(in, depth, s);
}

void trace_index_assign(Interp& in, int depth, std::string_view old_value, long first, long last,
                        std::string_view new_text) {
    std::string s = ">>> ";
    s += old_value;
    s += "[" + std::to_string(first) + ":" + std::to_string(last) + "] <-- ";
    quoted(s, new_text);
    emit(in, depth, s);
}

void trace_placeholder(Interp& in, int depth, std::string_view value) {
    std::string s = ">.> . <-- ";
    quoted(s, value);
    emit(in, depth, s);
}

void trace_environment(Interp& in, int depth, std::string_view text) {
    std::string s = ">C> ";
    s += text;
    emit(in, depth, s);
}

// ---------------------------------------------------------------- pause

PauseResult trace_pause(Interp& in) {
    TraceState& t = in.trace;
    ++t.clauses_since_pause;
    if (t.skip_pauses > 0) {
        --t.skip_pauses;
        return PauseResult::Continue;
    }
    t.clauses_since_pause = 0;
    struct InPause {
        TraceState& t;
        bool was;
        ~InPause() { t.in_pause = was; }
    } guard{t, t.in_pause};
    t.in_pause = true;
    std::string line;
    for (;;) {
        if (!in.read_line || !in.read_line(line)) return PauseResult::Continue;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) return PauseResult::Continue;
        if (line == "=") return PauseResult::Rerun;
        if (in.run_pause_line) in.run_pause_line(in, line);
        if (!(t.bits & kTraceInteractive) || t.skip_pauses > 0) return PauseResult::Continue;
    }
}

} // namespace tolma
