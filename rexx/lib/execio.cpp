#include "rexx/lib/execio.h"

#include <charconv>
#include <optional>
#include <string>
#include <vector>

#include "platform/environment.h"
#include "platform/files.h"
#include "rexx/core/interp.h"
#include "rexx/core/pool.h"
#include "rexx/lib/builtins.h"
#include "rexx/lib/printing.h"
#include "rexx/lib/stack.h"
#include "rexx/lib/streams.h"

namespace tolma {

namespace io = voren::platform;

namespace {

enum class Mode : uint8_t { DiskR, DiskW, DiskI, DiskD, Print };
enum class Target : uint8_t { None, Find, Locate, Avoid };

// Every option starts unset for each command.
struct Options {
    bool all = false; // count "*"
    long long count = 0;
    Mode mode = Mode::DiskR;
    std::string fn, ft, fm;
    long long line = 0; // 0: the stream's current line
    bool finis = false, skip = false, strip = false, notype = false, lifo = false;
    Target target = Target::None;
    std::string target_text;
    long long zone1 = 1, zone2 = -1; // -1: to the end of the line
    bool margins = false;
    long long margin1 = 1, margin2 = -1;
    long long columns = 0, linespage = 0;
    bool has_stem = false, has_var = false, has_string = false;
    std::string stem, var, string;
    bool upper = false; // CASE U
    char recfm = 'V';
    long long lrecl = 0;
    std::string printer;
};

const char* const kParameterList = "TOLMA: Invalid EXECIO Parameter List.\n";

bool is_blank(char c) {
    return c == ' ' || c == '\t';
}

bool equals_upper(std::string_view w, const char* upper) {
    size_t i = 0;
    for (; upper[i]; ++i) {
        if (i >= w.size()) return false;
        char c = w[i];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
        if (c != upper[i]) return false;
    }
    return i == w.size();
}

// A whole number of decimal digits (no sign), at most 15 of them.
bool digits_number(std::string_view w, long long& v) {
    if (w.empty() || w.size() > 15) return false;
    v = 0;
    for (char c : w) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    return true;
}

// A stem or variable name: a REXX symbol that does not start with a digit
// or a period.
bool variable_name(std::string_view w) {
    return is_rexx_symbol(w) && !(w[0] >= '0' && w[0] <= '9') && w[0] != '.';
}

// Reads the option text word by word; a ")" closing the list is dropped.
struct Cursor {
    std::string_view text;
    size_t at = 0;

    void skip_blanks() {
        while (at < text.size() && is_blank(text[at]))
            ++at;
    }
    bool at_end() {
        skip_blanks();
        return at >= text.size();
    }
    std::string_view word() {
        skip_blanks();
        size_t b = at;
        while (at < text.size() && !is_blank(text[at]))
            ++at;
        std::string_view w = text.substr(b, at - b);
        size_t save = at;
        bool last = at_end();
        at = save;
        if (last && !w.empty() && w.back() == ')') w.remove_suffix(1);
        return w;
    }
    // A string between two occurrences of the delimiter that starts it.
    bool delimited(std::string& out) {
        skip_blanks();
        if (at >= text.size()) return false;
        char d = text[at++];
        size_t end = text.find(d, at);
        if (end == std::string_view::npos) return false;
        out = std::string(text.substr(at, end - at));
        at = end + 1;
        return true;
    }
    // Everything after one blank.
    std::string_view rest() {
        if (at < text.size() && is_blank(text[at])) ++at;
        std::string_view r = text.substr(at);
        at = text.size();
        return r;
    }
};

std::string quoted(const char* word) {
    return std::string("\"") + word + "\"";
}

// Two column numbers: n1 >= 1, n2 >= n1 or "*".
bool column_pair(Cursor& c, long long& n1, long long& n2) {
    if (!digits_number(c.word(), n1) || n1 < 1) return false;
    std::string_view w = c.word();
    if (w == "*") {
        n2 = -1;
        return true;
    }
    return digits_number(w, n2) && n2 >= n1;
}

// Parses the operands; on failure msg is the operand's message.
bool parse(std::string_view text, Options& o, std::string& msg) {
    size_t paren = text.find('(');
    Cursor pos{text.substr(0, paren == std::string_view::npos ? text.size() : paren)};
    std::string_view w = pos.word();
    if (w == "*") {
        o.all = true;
    } else if (!digits_number(w, o.count)) {
        msg = "TOLMA: Invalid EXECIO \"LINES\" operand.\n";
        return false;
    }
    w = pos.word();
    if (equals_upper(w, "DISKR"))
        o.mode = Mode::DiskR;
    else if (equals_upper(w, "DISKW"))
        o.mode = Mode::DiskW;
    else if (equals_upper(w, "DISKI"))
        o.mode = Mode::DiskI;
    else if (equals_upper(w, "DISKD"))
        o.mode = Mode::DiskD;
    else if (equals_upper(w, "PRINT"))
        o.mode = Mode::Print;
    else {
        msg = "TOLMA: Invalid EXECIO mode operand.\n";
        return false;
    }
    o.fn = std::string(pos.word());
    // A name with a directory part is the whole file name: the line follows
    // it directly.
    std::string_view line_word;
    if (o.fn.find('/') == std::string::npos) {
        o.ft = std::string(pos.word());
        o.fm = std::string(pos.word());
        // "fn ft 3": a file mode is never a number, so digits that name no
        // directory are the line to start at.
        long long n = 0;
        if (digits_number(o.fm, n) && io::file_status(o.fm).type != io::FileType::Directory) {
            line_word = pos.text.substr(pos.at - o.fm.size(), o.fm.size());
            o.fm.clear();
        }
    }
    w = line_word.empty() ? pos.word() : line_word;
    if (!w.empty() && (!digits_number(w, o.line) || o.line < 1)) {
        msg = "TOLMA: Invalid EXECIO \"LINENUM\" operand.\n";
        return false;
    }
    w = pos.word();
    if (!w.empty()) {
        msg = "TOLMA: Invalid EXECIO \"" + std::string(w) + "\" OPTION.\n";
        return false;
    }
    if (paren == std::string_view::npos) return true;

    Cursor c{text.substr(paren + 1)};
    auto invalid = [&](const char* what) {
        msg = "TOLMA: Invalid EXECIO " + quoted(what) + " operand.\n";
        return false;
    };
    while (!c.at_end()) {
        w = c.word();
        if (w.empty()) break;
        if (equals_upper(w, "FINIS")) {
            o.finis = true;
        } else if (equals_upper(w, "SKIP")) {
            o.skip = true;
        } else if (equals_upper(w, "STRIP")) {
            o.strip = true;
        } else if (equals_upper(w, "NOTYPE")) {
            o.notype = true;
        } else if (equals_upper(w, "LIFO")) {
            o.lifo = true;
        } else if (equals_upper(w, "FIFO")) {
            o.lifo = false;
        } else if (equals_upper(w, "FIND") || equals_upper(w, "LOCATE") ||
                   equals_upper(w, "AVOID")) {
            const char* name = equals_upper(w, "FIND")     ? "FIND"
                               : equals_upper(w, "LOCATE") ? "LOCATE"
                                                           : "AVOID";
            if (o.target != Target::None) {
                msg = "TOLMA: Conflicting EXECIO \"FIND/LOCATE/AVOID\" operand.\n";
                return false;
            }
            o.target = name[0] == 'F'   ? Target::Find
                       : name[0] == 'L' ? Target::Locate
                                        : Target::Avoid;
            if (!c.delimited(o.target_text)) {
                msg = "TOLMA: Invalid EXECIO " + quoted(name) + " operand\n";
                return false;
            }
        } else if (equals_upper(w, "ZONE")) {
            if (!column_pair(c, o.zone1, o.zone2)) return invalid("ZONE");
        } else if (equals_upper(w, "MARGINS")) {
            o.margins = true;
            if (!column_pair(c, o.margin1, o.margin2)) return invalid("MARGINS");
        } else if (equals_upper(w, "COLUMNS")) {
            if (!digits_number(c.word(), o.columns) || o.columns < 1) return invalid("COLUMNS");
        } else if (equals_upper(w, "LINESPAGE")) {
            if (!digits_number(c.word(), o.linespage) || o.linespage < 1)
                return invalid("LINESPAGE");
        } else if (equals_upper(w, "STEM") || equals_upper(w, "VAR")) {
            bool stem = equals_upper(w, "STEM");
            const char* name = stem ? "STEM" : "VAR";
            std::string_view v = c.word();
            if (v.empty()) {
                msg = "TOLMA: Missing EXECIO " + quoted(name) + " operand.\n";
                return false;
            }
            if (!variable_name(v)) return invalid(name);
            (stem ? o.has_stem : o.has_var) = true;
            (stem ? o.stem : o.var) = std::string(v);
        } else if (equals_upper(w, "CASE")) {
            std::string_view v = c.word();
            if (equals_upper(v, "U") || equals_upper(v, "UPPER"))
                o.upper = true;
            else if (equals_upper(v, "M") || equals_upper(v, "MIXED"))
                o.upper = false;
            else
                return invalid("CASE");
        } else if (equals_upper(w, "STRING")) {
            o.has_string = true;
            o.string = std::string(c.rest());
        } else if (equals_upper(w, "RECFM")) {
            std::string_view v = c.word();
            if (equals_upper(v, "F"))
                o.recfm = 'F';
            else if (equals_upper(v, "V"))
                o.recfm = 'V';
            else {
                msg = "TOLMA: Invalid EXECIO \"RECFM\" value.\n";
                return false;
            }
        } else if (equals_upper(w, "LRECL")) {
            if (!digits_number(c.word(), o.lrecl) || o.lrecl < 1) return invalid("LRECL");
        } else if (equals_upper(w, "PRINTER")) {
            std::string_view v = c.word();
            if (v.empty()) return invalid("PRINTER");
            o.printer = std::string(v);
        } else if (equals_upper(w, "LINENUM")) {
            if (!digits_number(c.word(), o.line) || o.line < 1) return invalid("LINENUM");
        } else {
            msg = "TOLMA: Invalid EXECIO \"" + std::string(w) + "\" OPTION.\n";
            return false;
        }
    }
    return true;
}

// The checks between options, after the grammar.
bool validate(const Options& o, std::string& msg) {
    if ((o.has_var || o.has_string) && (o.all || o.count != 1)) {
        msg = "TOLMA: Invalid EXECIO \"LINES\" operand.\n";
        return false;
    }
    if (o.has_var && o.has_stem) {
        msg = "TOLMA: Conflicting EXECIO \"VAR\" and \"STEM\" operands.\n";
        return false;
    }
    if (o.has_var && o.target != Target::None) {
        msg = "TOLMA: Conflicting EXECIO \"VAR\" and \"FIND/LOCATE/AVOID\" operands.\n";
        return false;
    }
    return true;
}

bool exists(const std::string& path) {
    io::FileType t = io::file_status(path).type;
    return t != io::FileType::Missing;
}

// The search path: the current directory, then XPATH (else PATH).
std::vector<std::string> search_directories() {
    std::vector<std::string> dirs{"."};
    auto v = io::environment_variable("XPATH");
    if (!v) v = io::environment_variable("PATH");
    if (!v) return dirs;
    std::string cur;
    for (size_t i = 0; i <= v->size(); ++i) {
        if (i == v->size() || (*v)[i] == ':' || (*v)[i] == ';') {
            if (!cur.empty() && cur != ".") dirs.push_back(cur);
            cur.clear();
        } else {
            cur += (*v)[i];
        }
    }
    return dirs;
}

// The file's path; empty when it is not found (a writer then gets the path
// to create).
std::string resolve_file(const Options& o, bool writing) {
    std::string file = o.ft.empty() ? o.fn : o.fn + "." + o.ft;
    if (!o.fm.empty() && o.fm != "*") {
        if (io::file_status(o.fm).type != io::FileType::Directory) return {};
        std::string p = o.fm + "/" + file;
        return exists(p) || writing ? p : std::string();
    }
    if (file.find('/') != std::string::npos) return exists(file) || writing ? file : std::string();
    for (const std::string& d : search_directories()) {
        std::string p = d == "." ? file : d + "/" + file;
        if (exists(p)) return p;
    }
    return writing ? file : std::string();
}

std::string apply_columns(std::string s, const Options& o) {
    if (o.margins) {
        size_t b = static_cast<size_t>(o.margin1 - 1);
        if (b >= s.size())
            s.clear();
        else
            s = o.margin2 < 0 ? s.substr(b) : s.substr(b, static_cast<size_t>(o.margin2) - b);
    }
    if (o.upper)
        for (char& ch : s)
            if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 32);
    if (o.strip)
        while (!s.empty() && is_blank(s.back()))
            s.pop_back();
    return s;
}

bool target_accepts(const Options& o, std::string_view line) {
    size_t b = static_cast<size_t>(o.zone1 - 1);
    std::string_view zone;
    if (b < line.size())
        zone = o.zone2 < 0 ? line.substr(b) : line.substr(b, static_cast<size_t>(o.zone2) - b);
    switch (o.target) {
    case Target::Find: return zone.substr(0, o.target_text.size()) == o.target_text;
    case Target::Locate: return zone.find(o.target_text) != std::string_view::npos;
    case Target::Avoid: return zone.find(o.target_text) == std::string_view::npos;
    case Target::None: break;
    }
    return true;
}

std::string folded(Interp& in, const std::string& name) {
    return fold_case(name, in.case_mode);
}

std::string value_of(Interp& in, const std::string& name) {
    RexxValue* v = get_var(in, name);
    return v ? std::string(v->text(in.numeric)) : name;
}

int report(Interp& in, const std::string& msg, int rc) {
    in.err(msg + "\n");
    return rc;
}

// Sets the elements stem1, stem2, ... of a stem. A stem that is a plain
// name ("LINE.") makes compounds with one constant tail: the compound is
// analysed once and only its tail, the element's number, changes from one
// element to the next. Other stems go through the name each time.
struct StemElements {
    std::string stem;
    SymbolRef element;
    bool direct = false;

    explicit StemElements(std::string folded_stem) : stem(std::move(folded_stem)) {
        element = analyse_symbol(stem + "1", NameCase::Mixed);
        direct =
            element.kind == SymbolKind::Compound && element.fixed_tail && element.tails.size() == 1;
    }
    void set(Interp& in, long long n, RexxValue v) {
        if (!direct) {
            set_var(in, stem + std::to_string(n), std::move(v));
            return;
        }
        char digits[24];
        char* end = std::to_chars(digits, digits + sizeof digits, n).ptr;
        element.fixed.name.assign(digits, end);
        element.fixed.hash = name_hash(element.fixed.name);
        // Generation ids start at 1: the record remembered is never taken.
        element.fixed.gen_id = 0;
        element.fixed.rec = nullptr;
        set_value(in, element, std::move(v));
    }
};

int disk_read(Interp& in, const Options& o, Stream& s) {
    StreamTable& t = stream_table(in);
    std::string var = folded(in, o.var);
    std::optional<StemElements> stem;
    if (o.has_stem) stem.emplace(folded(in, o.stem));
    // Lines stored as read, with no column or case change.
    const bool as_read = !o.margins && !o.upper && !o.strip;
    long long processed = 0, stored = 0;
    bool accepted = false;
    std::string msg;
    std::string_view text;
    while ((o.all || processed < o.count) && s.line < s.line_count()) {
        if (!read_stream_line_view(t, s, s.line, text, "EXECIO", msg)) return report(in, msg, 101);
        ++processed;
        bool keep = true;
        if (o.target != Target::None) {
            accepted = target_accepts(o, text);
            keep = accepted;
        }
        if (keep && !o.skip && stem && as_read) {
            stem->set(in, ++stored, RexxValue(text));
        } else if (keep && !o.skip) {
            std::string line = apply_columns(std::string(text), o);
            if (o.has_stem)
                stem->set(in, stored + 1, RexxValue(line));
            else if (o.has_var)
                set_var(in, var, line);
            else if (o.lifo)
                stack_push(in.queue, std::move(line));
            else
                stack_queue(in.queue, std::move(line));
            ++stored;
        }
        if (accepted) break;
    }
    if (o.has_stem) set_var(in, stem->stem + "0", std::to_string(stored));
    if (o.all || processed == o.count) return o.target != Target::None && !accepted ? 3 : 0;
    return 2;
}

// The lines DISKW and DISKI write: the STRING operand, the variable, the
// stem's elements, or else lines of the data queue.
bool source_lines(Interp& in, const Options& o, std::vector<std::string>& lines, int& rc) {
    if (o.has_string) {
        lines.push_back(o.string);
    } else if (o.has_var) {
        lines.push_back(value_of(in, folded(in, o.var)));
    } else if (o.has_stem) {
        std::string stem = folded(in, o.stem);
        long long n = o.count;
        if (o.all) {
            std::string v = value_of(in, stem + "0");
            RexxValue rv(v);
            if (whole_number(rv, n) != WholeTest::Ok || n < 0) {
                in.err("EXECIO: invalid stem " + o.stem + " value \"" + v + "\"\n");
                rc = 101;
                return false;
            }
        }
        for (long long i = 1; i <= n; ++i)
            lines.push_back(value_of(in, stem + std::to_string(i)));
    } else if (o.all) {
        // "*" from the queue: up to a null line or the end of the buffer.
        std::string l;
        while (stack_pull(in.queue, l) && !l.empty())
            lines.push_back(std::move(l));
    } else {
        std::string l;
        for (long long i = 0; i < o.count && pull_line(in, l); ++i)
            lines.push_back(std::move(l));
        // The console input ended before count lines: written, but short.
        if (static_cast<long long>(lines.size()) < o.count) rc = 2;
    }
    for (std::string& l : lines) {
        l = apply_columns(std::move(l), o);
        if (o.recfm == 'F') l.resize(static_cast<size_t>(o.lrecl > 0 ? o.lrecl : 80), ' ');
    }
    return true;
}

int disk_write(Interp& in, const Options& o, Stream& s) {
    StreamTable& t = stream_table(in);
    std::vector<std::string> lines;
    int rc = 0;
    if (!source_lines(in, o, lines, rc)) return rc;
    std::string msg;
    if (o.mode == Mode::DiskI) {
        if (!insert_stream_lines(t, s, lines, "EXECIO", msg)) return report(in, msg, 101);
        return rc;
    }
    for (const std::string& l : lines)
        if (!write_stream_line(t, s, l, "EXECIO", msg)) return report(in, msg, 101);
    return rc;
}

int disk_delete(Interp& in, const Options& o, Stream& s) {
    int64_t remaining = s.line_count() - s.line;
    int64_t n = o.all ? remaining : std::min<int64_t>(o.count, remaining);
    std::string msg;
    if (!delete_stream_lines(s, s.line, n, "EXECIO", msg)) return report(in, msg, 101);
    return o.all || n == o.count ? 0 : 2;
}

// PRINT takes its lines as DISKW does and names no file: a word after the
// mode is an unknown option.
int print(Interp& in, const Options& o) {
    if (!o.fn.empty()) {
        in.err("TOLMA: Invalid EXECIO \"" + o.fn + "\" OPTION.\n");
        in.err(kParameterList);
        return 24;
    }
    std::vector<std::string> lines;
    int rc = 0;
    if (!source_lines(in, o, lines, rc)) return rc;
    PrintJob job{o.printer, o.linespage, o.columns};
    int printed = print_lines(in, lines, job);
    return printed != 0 ? printed : rc;
}

} // namespace

int execio(Interp& in, std::string_view operands) {
    Options o;
    std::string msg;
    if (!parse(operands, o, msg) || !validate(o, msg)) {
        in.err(msg);
        in.err(kParameterList);
        return 24;
    }
    if (o.mode == Mode::Print) return print(in, o);
    if (o.fn.empty() && o.ft.empty()) {
        in.err("TOLMA: Invalid EXECIO \"FN\" and \"FT\" operands.\n");
        return 24;
    }
    bool writing = o.mode != Mode::DiskR;
    bool creates = o.mode == Mode::DiskW || o.mode == Mode::DiskI;
    std::string path = resolve_file(o, creates);
    if (path.empty()) {
        in.err("TOLMA: File not found.\n");
        return 28;
    }
    StreamTable& t = stream_table(in);
    size_t open_before = t.streams.size();
    Stream* s = open_stream(in, path, "EXECIO", writing, msg);
    if (!s) return report(in, msg, 101);
    bool fresh = t.streams.size() > open_before;
    // A file met first by DISKD is worked on from its first line.
    if (fresh && o.mode == Mode::DiskD) s->line = 0, s->offset = 0;
    if (o.line > 0) {
        int64_t limit = creates ? s->line_count() + 1 : s->line_count();
        if (o.line > limit) {
            int rc =
                report(in, stream_message("EXECIO: invalid linenum position for file", path), 101);
            if (o.finis) close_stream(in, s);
            return rc;
        }
        s->line = o.line - 1;
        s->offset = s->line < s->line_count() ? s->starts[static_cast<size_t>(s->line)] : s->size;
    }
    int rc = 0;
    switch (o.mode) {
    case Mode::DiskR: rc = disk_read(in, o, *s); break;
    case Mode::DiskW:
    case Mode::DiskI: rc = disk_write(in, o, *s); break;
    case Mode::DiskD: rc = disk_delete(in, o, *s); break;
    case Mode::Print: break;
    }
    // The command's lines are in the file when it returns.
    if (rc == 0 && writing && !flush_stream(*s, "EXECIO", msg)) rc = report(in, msg, 101);
    if (o.finis) close_stream(in, s);
    return rc;
}

bool intercepted_command(Interp& in, std::string_view command, int& rc) {
    if (command.size() >= 7 && equals_upper(command.substr(0, 6), "EXECIO") && command[6] == ' ') {
        rc = execio(in, command.substr(7));
        return true;
    }
    return buffer_command(in.queue, command, rc);
}

} // namespace tolma
