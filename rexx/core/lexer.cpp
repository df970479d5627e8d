// The REXX lexer: raw pass, context pass, token dump.
#include "rexx/core/lexer.h"

#include <cstdint>
#include <cstring>

namespace tolma {

// ---------------------------------------------------------------------------
// Tables

namespace {

struct KeywordRow {
    const char* word;
    int kind;
};

// Searched on the upper-cased symbol text. EXTERNAL is another spelling of LINEIN.
constexpr KeywordRow keyword_table[] = {
    {"ADDRESS", ADDRESS},
    {"ARG", ARG},
    {"BY", BY},
    {"CALL", CALL},
    {"CD", CD},
    {"DIGITS", DIGITS},
    {"DO", DO},
    {"DROP", DROP},
    {"ELSE", ELSE},
    {"END", END},
    {"ENGINEERING", ENGINEERING},
    {"ERROR", ERROR},
    {"EXIT", EXIT},
    {"EXPOSE", EXPOSE},
    {"FAILURE", FAILURE},
    {"FOR", FOR},
    {"FOREVER", FOREVER},
    {"FORM", FORM},
    {"FUZZ", FUZZ},
    {"HALT", HALT},
    {"IF", IF},
    {"INTERPRET", INTERPRET},
    {"ITERATE", ITERATE},
    {"LEAVE", LEAVE},
    {"EXTERNAL", LINEIN},
    {"LINEIN", LINEIN},
    {"LOWER", LOWER},
    {"NAME", NAME},
    {"NOP", NOP},
    {"NOTREADY", NOTREADY},
    {"NOVALUE", NOVALUE},
    {"NUMERIC", NUMERIC},
    {"OFF", OFF},
    {"ON", ON},
    {"OTHERWISE", OTHERWISE},
    {"PARSE", PARSE},
    {"PROCEDURE", PROCEDURE},
    {"PULL", PULL},
    {"PUSH", PUSH},
    {"QUEUE", QUEUE},
    {"RETURN", RETURN},
    {"SAY", SAY},
    {"SAYN", SAYN},
    {"SAYX", SAYX},
    {"SAYR", SAYR},
    {"SCIENTIFIC", SCIENTIFIC},
    {"SELECT", SELECT},
    {"SIGNAL", SIGNAL},
    {"SOURCE", SOURCE},
    {"SYNTAX", SYNTAX},
    {"TEMPLATE", TEMPLATE},
    {"THEN", THEN},
    {"TO", TO},
    {"TRACE", TRACE},
    {"UNTIL", UNTIL},
    {"UPPER", UPPER},
    {"VALUE", VALUE},
    {"VAR", VAR},
    {"VERSION", VERSION},
    {"WHEN", WHEN},
    {"WHILE", WHILE},
    {"WITH", WITH},
    {"IN", IN},
    {"OPTION", OPTION},
    {"MIXED", MIXED},
    {"SETENV", SETENV},
    {"UNSETENV", UNSETENV},
    {"LOAD", LOAD},
    {"NOLOAD", NOLOAD},
    {"GLOBALV", GLOBALV},
    {"NOGLOBALV", NOGLOBALV},
};

constexpr int longest_keyword = 11;

struct OperatorRow {
    const char* chars;
    int length;
    int kind;
};

const OperatorRow operator_table[] = {
    {"~", 1, OP_NOT},        {"\\", 1, OP_NOT},       {"^", 1, OP_NOT},
    {"**", 2, OP_EXP},       {"//", 2, OP_REMAIN},    {"||", 2, OP_CONC},
    {"==", 2, OP_EEQ},       {"\\=", 2, OP_NEQ},      {"/=", 2, OP_NEQ},
    {"~=", 2, OP_NEQ},       {"^=", 2, OP_NEQ},       {"<>", 2, OP_NEQ},
    {"><", 2, OP_NEQ},       {"\\==", 3, OP_NNEQ},    {"/==", 3, OP_NNEQ},
    {"~==", 3, OP_NNEQ},     {"^==", 3, OP_NNEQ},     {">>", 2, OP_SSUP},
    {"<<", 2, OP_IINF},      {">=", 2, OP_SUP_EQ},    {"\\<", 2, OP_SUP_EQ},
    {"/<", 2, OP_SUP_EQ},    {"~<", 2, OP_SUP_EQ},    {"^<", 2, OP_SUP_EQ},
    {">>=", 3, OP_SSUP_EQ},  {"\\<<", 3, OP_SSUP_EQ}, {"/<<", 3, OP_SSUP_EQ},
    {"~<<", 3, OP_SSUP_EQ},  {"^<<", 3, OP_SSUP_EQ},  {"<=", 2, OP_INF_EQ},
    {"\\>", 2, OP_INF_EQ},   {"/>", 2, OP_INF_EQ},    {"~>", 2, OP_INF_EQ},
    {"^>", 2, OP_INF_EQ},    {"<<=", 3, OP_IINF_EQ},  {"\\>>", 3, OP_IINF_EQ},
    {"/>>", 3, OP_IINF_EQ},  {"~>>", 3, OP_IINF_EQ},  {"^>>", 3, OP_IINF_EQ},
    {"&&", 2, OP_XOR},       {"\xAD", 1, OP_EQIC},    {"~\xAD", 2, OP_NEQIC},
    {"\\\xAD", 2, OP_NEQIC}, {"\xBD", 1, OP_RHO},
};
static_assert(sizeof(operator_table) / sizeof(operator_table[0]) == 44);

constexpr int longest_operator = 3;

enum CharClass : std::uint8_t { C_OTHER = 0, C_SYMBOL = 1, C_OPERATOR = 2, C_DIGIT = 4 };

struct CharTable {
    std::uint8_t cls[256] = {};
    constexpr CharTable() {
        for (int c = 'a'; c <= 'z'; ++c)
            cls[c] = C_SYMBOL;
        for (int c = 'A'; c <= 'Z'; ++c)
            cls[c] = C_SYMBOL;
        for (int c = '0'; c <= '9'; ++c)
            cls[c] = C_SYMBOL | C_DIGIT;
        for (unsigned char c : {'@', '#', '$', '.', '!', '?', '_'})
            cls[c] = C_SYMBOL;
        cls[0xA8] = C_SYMBOL;
        for (unsigned char c : {'\\', '~', '/', '^', '*', '|', '=', '<', '>', '&'})
            cls[c] = C_OPERATOR;
        cls[0xAD] = C_OPERATOR;
        cls[0xBD] = C_OPERATOR;
    }
};
constexpr CharTable char_table;

inline bool is_symbol_char(unsigned char c) {
    return char_table.cls[c] & C_SYMBOL;
}
inline bool is_digit(unsigned char c) {
    return char_table.cls[c] & C_DIGIT;
}
inline bool is_operator_char(unsigned char c) {
    return char_table.cls[c] & C_OPERATOR;
}
inline bool is_blank(unsigned char c) {
    return c == ' ' || c == '\t';
}
inline unsigned char to_upper(unsigned char c) {
    return c >= 'a' && c <= 'z' ? c - 32 : c;
}
inline unsigned char to_lower(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? c + 32 : c;
}

// The kinds that come out of the keyword table.
struct KeywordKinds {
    bool is[TOK_LAST + 1] = {};
    constexpr KeywordKinds() {
        for (const KeywordRow& row : keyword_table)
            is[row.kind] = true;
    }
};
constexpr KeywordKinds keyword_kinds;

struct KeywordIndex {
    std::uint8_t length[sizeof(keyword_table) / sizeof(keyword_table[0])] = {};
    constexpr KeywordIndex() {
        for (std::size_t i = 0; i < sizeof(keyword_table) / sizeof(keyword_table[0]); ++i)
            while (keyword_table[i].word[length[i]])
                ++length[i];
    }
};
constexpr KeywordIndex keyword_index;

int find_keyword(const char* text, std::size_t length) {
    if (length == 0 || length > longest_keyword) return SYMBOL;
    char upper[longest_keyword + 1];
    for (std::size_t i = 0; i < length; ++i)
        upper[i] = static_cast<char>(to_upper(text[i]));
    for (std::size_t i = 0; i < sizeof(keyword_table) / sizeof(keyword_table[0]); ++i) {
        const KeywordRow& row = keyword_table[i];
        if (keyword_index.length[i] == length && row.word[0] == upper[0] &&
            std::memcmp(row.word, upper, length) == 0)
            return row.kind;
    }
    return SYMBOL;
}

int find_operator(const unsigned char* chars, int length) {
    for (const OperatorRow& row : operator_table)
        if (row.length == length && std::memcmp(row.chars, chars, length) == 0) return row.kind;
    return 0;
}

// One-character operators that have no row: they stay character tokens.
inline bool is_operator_char_token(int kind) {
    switch (kind) {
    case '=':
    case '<':
    case '>':
    case '*':
    case '/':
    case '|':
    case '&': return true;
    default: return false;
    }
}

int hex_value(unsigned char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Splits a hex or binary string body into groups separated by blanks. Blanks
// may stand only between groups; every group but the first must fill whole
// bytes (`unit` digits: the first one is padded on the left). Returns false
// when the text is not valid.
bool split_groups(const std::string& body, int unit, std::string& digits,
                  bool (*valid)(unsigned char)) {
    digits.clear();
    if (body.empty()) return true;
    if (is_blank(body.front()) || is_blank(body.back())) return false;
    std::size_t group_start = 0;
    bool first = true;
    std::size_t i = 0;
    for (;;) {
        if (i == body.size() || is_blank(body[i])) {
            if (!first && (i - group_start) % unit != 0) return false;
            first = false;
            if (i == body.size()) return true;
            while (is_blank(body[i]))
                ++i;
            group_start = i;
            continue;
        }
        if (!valid(body[i])) return false;
        digits += body[i++];
    }
}

bool is_hex_digit(unsigned char c) {
    return hex_value(c) >= 0;
}
bool is_bin_digit(unsigned char c) {
    return c == '0' || c == '1';
}

bool hex_to_bytes(const std::string& body, std::string& out) {
    std::string digits;
    if (!split_groups(body, 2, digits, is_hex_digit)) return false;
    out.clear();
    std::size_t i = 0;
    if (digits.size() % 2) out += static_cast<char>(hex_value(digits[i++]));
    for (; i < digits.size(); i += 2)
        out += static_cast<char>(hex_value(digits[i]) * 16 + hex_value(digits[i + 1]));
    return true;
}

bool bin_to_bytes(const std::string& body, std::string& out) {
    std::string digits;
    if (!split_groups(body, 4, digits, is_bin_digit)) return false;
    out.clear();
    std::size_t pad = (8 - digits.size() % 8) % 8;
    int value = 0, bits = 0;
    for (std::size_t i = 0; i < pad + digits.size(); ++i) {
        value = value * 2 + (i < pad ? 0 : digits[i - pad] - '0');
        if (++bits == 8) {
            out += static_cast<char>(value);
            value = bits = 0;
        }
    }
    return true;
}

// digits [ "." digits ] "E"  or  "." digits "E"
bool is_exponent_prefix(const unsigned char* text, std::size_t length) {
    if (length < 2) return false;
    unsigned char last = text[length - 1];
    if (last != 'E' && last != 'e') return false;
    std::size_t i = 0, digits = 0;
    while (i < length - 1 && is_digit(text[i]))
        ++i, ++digits;
    if (i < length - 1 && text[i] == '.') {
        ++i;
        while (i < length - 1 && is_digit(text[i]))
            ++i, ++digits;
    }
    return i == length - 1 && digits > 0;
}

} // namespace

// ---------------------------------------------------------------------------
// Errors, names

void throw_at(int code, int line, int column, std::string detail) {
    RexxError error;
    error.code = code;
    error.detail = std::move(detail);
    error.line = line + 1;
    error.column = column + 1;
    throw error;
}

void throw_at(int code, const Token& token, std::string detail) {
    throw_at(code, token.line, token.column, std::move(detail));
}

const char* token_kind_name(int kind) {
    static const char* const names[] = {
        "SYMBOL",      "STRING",    "VIDE",      "ADDRESS",    "ARG",       "BY",
        "CALL",        "DIGITS",    "DO",        "DROP",       "ELSE",      "END",
        "ENGINEERING", "EXIT",      "EXPOSE",    "FOR",        "FOREVER",   "FORM",
        "FUZZ",        "IF",        "INTERPRET", "ITERATE",    "LEAVE",     "LINEIN",
        "NOP",         "NUMERIC",   "OFF",       "ON",         "OTHERWISE", "PARSE",
        "PROCEDURE",   "PULL",      "PUSH",      "QUEUE",      "RETURN",    "SAY",
        "SAYN",        "SAYX",      "SAYR",      "SCIENTIFIC", "SELECT",    "SIGNAL",
        "SOURCE",      "THEN",      "TO",        "TRACE",      "UNTIL",     "UPPER",
        "VALUE",       "VAR",       "VERSION",   "WHILE",      "WITH",      "WHEN",
        "ERROR",       "FAILURE",   "HALT",      "NOVALUE",    "SYNTAX",    "TEMPLATE",
        "ENVIRON",     "LOWER",     "CD",        "FUNCTION",   "NAME",      "NOTREADY",
        "SFUNCTION",   "IN",        "OPTION",    "MIXED",      "SETENV",    "UNSETENV",
        "LOAD",        "NOLOAD",    "OP_XOR",    "OP_IINF_EQ", "OP_INF_EQ", "OP_SSUP_EQ",
        "OP_SUP_EQ",   "OP_IINF",   "OP_SSUP",   "OP_NNEQ",    "OP_NEQ",    "OP_EEQ",
        "OP_CONC",     "OP_REMAIN", "OP_EXP",    "OP_RHO",     "OP_NEQIC",  "OP_EQIC",
        "OP_NOT",      "GLOBALV",   "NOGLOBALV",
    };
    static_assert(sizeof(names) / sizeof(names[0]) == TOK_LAST - TOK_FIRST + 1);
    static char chars[256][2];
    if (kind >= TOK_FIRST && kind <= TOK_LAST) return names[kind - TOK_FIRST];
    if (kind == ' ') return "_";
    if (kind == TOK_DELETED) return "DELETED";
    if (kind == TOK_NONE) return "NOLEX";
    if (kind > ' ' && kind < 127) {
        chars[kind][0] = static_cast<char>(kind);
        chars[kind][1] = '\0';
        return chars[kind];
    }
    return "?";
}

std::string fold_name(std::string_view name, CaseMode mode) {
    std::string folded(name);
    if (mode == CaseMode::Mixed) return folded;
    for (char& c : folded)
        c = static_cast<char>(mode == CaseMode::Lower ? to_lower(c) : to_upper(c));
    return folded;
}

std::string prepare_source(std::string_view text) {
    std::string source;
    if (text.find_first_of("\r\x1a") == std::string_view::npos) {
        source.assign(text);
    } else {
        source.reserve(text.size());
        for (char c : text)
            if (c != '\r' && c != '\x1a') source += c;
    }
    if (!source.empty() && source.back() == '\n') source.pop_back();
    return source;
}

// ---------------------------------------------------------------------------
// Raw pass

namespace {

// A raw token: what the raw pass knows. The context pass turns these into
// Tokens; keeping them small keeps the raw array cheap.
struct RawToken {
    int kind = TOK_NONE;
    std::uint32_t length = 0;
    const char* text = nullptr;
    int line = 0;
    int column = 0;
    std::uint32_t pos = 0, end = 0;
    bool quoted = false;
};

const RawToken no_token;

class RawLexer {
  public:
    RawLexer(std::string_view source, const LexOptions& options, Arena& arena)
        : s_(reinterpret_cast<const unsigned char*>(source.data())), n_(source.size()),
          line_(options.first_line), arena_(arena) {
        out_.reserve(n_ / 2 + 16);
    }

    std::vector<RawToken> run();

  private:
    int column(std::size_t at) const { return static_cast<int>(at - line_start_); }
    void new_line(std::size_t newline_at) {
        ++line_;
        line_start_ = newline_at + 1;
    }

    RawToken& emit(int kind, std::size_t start, std::size_t end) {
        RawToken& token = out_.emplace_back();
        token.kind = kind;
        token.line = line_;
        token.column = column(start);
        token.pos = static_cast<std::uint32_t>(start);
        token.end = static_cast<std::uint32_t>(end);
        last_ = kind;
        return token;
    }
    void emit_clause_end(std::size_t at) {
        if (last_ != ';') emit(';', at, at);
    }

    void blanks();
    void comment();
    bool continuation();
    void string();
    void symbol();
    void op();

    const unsigned char* s_;
    std::size_t n_;
    std::size_t i_ = 0;
    int line_;
    std::size_t line_start_ = 0;
    Arena& arena_;
    std::vector<RawToken> out_;
    int last_ = ';';
    std::string buffer_;
};

std::vector<RawToken> RawLexer::run() {
    while (i_ < n_) {
        unsigned char c = s_[i_];
        switch (c) {
        case '\n':
            emit_clause_end(i_);
            new_line(i_);
            ++i_;
            continue;
        case ' ':
        case '\t': blanks(); continue;
        case '\'':
        case '"': string(); continue;
        case '{':
            emit(DO, i_, i_ + 1).text = "{";
            out_.back().length = 1;
            emit(';', i_ + 1, i_ + 1);
            ++i_;
            continue;
        case '}':
            emit_clause_end(i_);
            emit(END, i_, i_ + 1).text = "}";
            out_.back().length = 1;
            ++i_;
            continue;
        case ',':
            if (!continuation()) {
                emit(',', i_, i_ + 1);
                ++i_;
            }
            continue;
        case ';':
            emit_clause_end(i_);
            ++i_;
            continue;
        case ':':
            // A label ends its clause, so ":" is always followed by ";".
            emit(':', i_, i_ + 1);
            emit(';', i_ + 1, i_ + 1);
            ++i_;
            continue;
        case '#':
            if (last_ == ';') {
                while (i_ < n_ && s_[i_] != '\n')
                    ++i_;
                continue;
            }
            break;
        case '/':
            if (i_ + 1 < n_ && s_[i_ + 1] == '*') {
                comment();
                continue;
            }
            break;
        default: break;
        }
        if (is_symbol_char(c)) {
            symbol();
        } else if (is_operator_char(c)) {
            op();
        } else {
            emit(c, i_, i_ + 1);
            ++i_;
        }
    }
    emit_clause_end(n_);
    return std::move(out_);
}

void RawLexer::blanks() {
    std::size_t start = i_;
    while (i_ < n_ && is_blank(s_[i_]))
        ++i_;
    if (last_ == ';' || last_ == ' ' || last_ == '+' || last_ == '-' || last_ == '%' ||
        is_operator_char_token(last_) || is_operator_kind(last_))
        return;
    emit(' ', start, i_);
}

void RawLexer::comment() {
    int open_line = line_;
    int open_column = column(i_);
    int depth = 0;
    while (i_ < n_) {
        if (s_[i_] == '/' && i_ + 1 < n_ && s_[i_ + 1] == '*') {
            ++depth;
            i_ += 2;
        } else if (s_[i_] == '*' && i_ + 1 < n_ && s_[i_ + 1] == '/') {
            i_ += 2;
            if (--depth == 0) return;
        } else {
            if (s_[i_] == '\n') new_line(i_);
            ++i_;
        }
    }
    throw_at(6, open_line, open_column);
}

// "," followed, after blanks and comments, by a newline joins the next line.
bool RawLexer::continuation() {
    std::size_t j = i_ + 1;
    int lines = 0;
    std::size_t last_newline = 0;
    while (j < n_) {
        if (is_blank(s_[j])) {
            ++j;
        } else if (s_[j] == '/' && j + 1 < n_ && s_[j + 1] == '*') {
            int depth = 0;
            while (j < n_) {
                if (s_[j] == '/' && j + 1 < n_ && s_[j + 1] == '*') {
                    ++depth;
                    j += 2;
                } else if (s_[j] == '*' && j + 1 < n_ && s_[j + 1] == '/') {
                    j += 2;
                    if (--depth == 0) break;
                } else {
                    if (s_[j] == '\n') ++lines, last_newline = j;
                    ++j;
                }
            }
            if (depth > 0) return false; // the main loop reports the open comment
        } else {
            break;
        }
    }
    if (j >= n_ || s_[j] != '\n') return false;
    if (last_ != ' ') emit(' ', i_, i_ + 1); // where the comma stood
    if (lines) {
        line_ += lines;
        line_start_ = last_newline + 1;
    }
    new_line(j);
    i_ = j + 1;
    return true;
}

void RawLexer::string() {
    unsigned char quote = s_[i_];
    std::size_t start = i_;
    int open_line = line_;
    int open_column = column(i_);
    buffer_.clear();
    ++i_;
    for (;;) {
        if (i_ >= n_ || s_[i_] == '\n') throw_at(quote == '\'' ? 1 : 2, open_line, open_column);
        unsigned char c = s_[i_];
        if (c == quote) {
            if (i_ + 1 < n_ && s_[i_ + 1] == quote) {
                buffer_ += static_cast<char>(quote);
                i_ += 2;
                continue;
            }
            ++i_;
            break;
        }
        // Copy a run of ordinary bytes at once.
        std::size_t run = i_;
        while (run < n_ && s_[run] != quote && s_[run] != '\n')
            ++run;
        buffer_.append(reinterpret_cast<const char*>(s_ + i_), run - i_);
        i_ = run;
    }
    const std::string* body = &buffer_;
    std::string converted;
    if (i_ < n_ && (s_[i_] == 'x' || s_[i_] == 'X' || s_[i_] == 'b' || s_[i_] == 'B') &&
        !(i_ + 1 < n_ && is_symbol_char(s_[i_ + 1]))) {
        bool hex = s_[i_] == 'x' || s_[i_] == 'X';
        if (hex ? !hex_to_bytes(buffer_, converted) : !bin_to_bytes(buffer_, converted))
            throw_at(hex ? 15 : 67, open_line, open_column);
        body = &converted;
        ++i_;
    }
    RawToken& token = emit(STRING, start, i_);
    token.line = open_line;
    token.column = open_column;
    token.text = arena_.copy_text(body->data(), body->size());
    token.length = static_cast<std::uint32_t>(body->size());
    token.quoted = true;
}

void RawLexer::symbol() {
    std::size_t start = i_;
    while (i_ < n_) {
        unsigned char c = s_[i_];
        if (is_symbol_char(c)) {
            ++i_;
        } else if ((c == '+' || c == '-') && i_ + 1 < n_ && is_digit(s_[i_ + 1]) &&
                   is_exponent_prefix(s_ + start, i_ - start)) {
            ++i_;
        } else {
            break;
        }
    }
    const char* text = reinterpret_cast<const char*>(s_ + start);
    std::size_t length = i_ - start;
    bool number =
        is_digit(s_[start]) || (s_[start] == '.' && length > 1 && is_digit(s_[start + 1]));
    if (number) {
        if (last_ == ';') {
            std::size_t j = i_;
            while (j < n_ && is_blank(s_[j]))
                ++j;
            if (j < n_ && s_[j] == '=') throw_at(31, line_, column(start));
        }
        RawToken& token = emit(STRING, start, i_);
        token.text = arena_.copy_text(text, length);
        token.length = static_cast<std::uint32_t>(length);
        return;
    }
    RawToken& token = emit(find_keyword(text, length), start, i_);
    token.text = arena_.copy_text(text, length);
    token.length = static_cast<std::uint32_t>(length);
}

void RawLexer::op() {
    unsigned char chars[longest_operator];
    std::size_t after[longest_operator]; // position after each gathered character
    std::size_t start = i_;
    int count = 0;
    std::size_t j = i_;
    while (count < longest_operator && j < n_ && is_operator_char(s_[j])) {
        if (count > 0 && s_[j] == '/' && j + 1 < n_ && s_[j + 1] == '*') break; // a comment
        chars[count] = s_[j];
        after[count] = j + 1;
        ++count;
        ++j;
        while (j < n_ && is_blank(s_[j]))
            ++j;
    }
    for (int length = count; length >= 1; --length) {
        if (int kind = find_operator(chars, length)) {
            emit(kind, start, after[length - 1]);
            i_ = after[length - 1];
            return;
        }
    }
    emit(chars[0], start, start + 1);
    i_ = start + 1;
}

Token to_token(const RawToken& raw) {
    Token token;
    token.kind = raw.kind;
    token.length = raw.length;
    token.text = raw.text;
    token.line = raw.line;
    token.column = raw.column;
    token.pos = raw.pos;
    token.end = raw.end;
    token.quoted = raw.quoted;
    return token;
}

} // namespace

std::vector<Token> lex_raw(std::string_view source, const LexOptions& options, Arena& arena) {
    std::vector<Token> tokens;
    for (const RawToken& raw : RawLexer(source, options, arena).run())
        tokens.push_back(to_token(raw));
    return tokens;
}

// ---------------------------------------------------------------------------
// Context pass

namespace {

// A "{" is a DO token and a "}" an END token whose text is the brace itself.
bool is_brace(const RawToken& t) {
    return t.text && (t.text[0] == '{' || t.text[0] == '}');
}
bool is_brace(const RawToken& t, int kind) {
    return t.kind == kind && is_brace(t);
}

// A symbol as read: SYMBOL or a keyword of the table (not a brace).
bool is_word(const RawToken& t) {
    return t.kind == SYMBOL ||
           (t.kind >= TOK_FIRST && t.kind <= TOK_LAST && keyword_kinds.is[t.kind] && !is_brace(t));
}

// Keywords that begin an instruction when they start a clause.
bool is_instruction_keyword(int kind) {
    switch (kind) {
    case ADDRESS:
    case ARG:
    case CALL:
    case CD:
    case DO:
    case DROP:
    case ELSE:
    case END:
    case EXIT:
    case IF:
    case INTERPRET:
    case ITERATE:
    case LEAVE:
    case LOWER:
    case NOP:
    case NUMERIC:
    case OPTION:
    case OTHERWISE:
    case PARSE:
    case PROCEDURE:
    case PULL:
    case PUSH:
    case QUEUE:
    case RETURN:
    case SAY:
    case SAYN:
    case SAYX:
    case SAYR:
    case SELECT:
    case SIGNAL:
    case THEN:
    case TRACE:
    case UPPER:
    case WHEN: return true;
    default: return false;
    }
}

bool is_condition_keyword(int kind) {
    return kind == ERROR || kind == FAILURE || kind == HALT || kind == NOVALUE ||
           kind == NOTREADY || kind == SYNTAX;
}

bool is_option_keyword(int kind) {
    switch (kind) {
    case UPPER:
    case LOWER:
    case MIXED:
    case SETENV:
    case UNSETENV:
    case LOAD:
    case NOLOAD:
    case GLOBALV:
    case NOGLOBALV: return true;
    default: return false;
    }
}

// A token after a keyword that makes the keyword an ordinary symbol: an
// assignment, a label, an indexed assignment, or a binary operator.
bool blocks_keyword(int kind) {
    switch (kind) {
    case '=':
    case ':':
    case '[':
    case '*':
    case '/':
    case '|':
    case '&':
    case '%':
    case '<':
    case '>':
    case OP_CONC: return true;
    default: return is_operator_kind(kind) && kind != OP_NOT && kind != OP_RHO;
    }
}

using KeywordSet = std::uint64_t;
constexpr KeywordSet bit(int kind) {
    return KeywordSet{1} << (kind - ADDRESS);
}
static_assert(WHEN - ADDRESS < 64);

enum class Mode : std::uint8_t { Expr, Template, Names, Options };

class ContextLexer {
  public:
    ContextLexer(const std::vector<RawToken>& raw, ProgramOptions& options, Arena& arena)
        : raw_(raw), options_(options), arena_(arena) {
        out_.reserve(raw.size() + raw.size() / 8 + 16);
    }
    std::vector<Token> run();

  private:
    std::size_t skip_blanks(std::size_t i) const {
        while (i < raw_.size() && raw_[i].kind == ' ')
            ++i;
        return i;
    }
    const RawToken& at(std::size_t i) const { return i < raw_.size() ? raw_[i] : no_token; }
    // The raw token after the next word, skipping blanks.
    int kind_after(std::size_t i) const { return at(skip_blanks(i + 1)).kind; }

    Token& push(const RawToken& t) {
        pending_blank_ = false;
        return out_.emplace_back(to_token(t));
    }
    Token& push_kind(const RawToken& t, int kind) {
        Token& token = push(t);
        token.kind = kind;
        return token;
    }
    void push_symbol(const RawToken& t) {
        Token& token = push_kind(t, SYMBOL);
        analyse(token);
    }
    void insert(int kind, const RawToken& where) {
        Token& token = out_.emplace_back();
        token.kind = kind;
        token.line = where.line;
        token.column = where.column;
        token.pos = token.end = where.pos;
    }

    void analyse(Token& token);
    void begin_clause();
    void end_clause();
    void instruction(const RawToken& keyword);
    void expression_token();
    void take_word_as_symbol();
    void take_condition_trap();
    void set_option(int kind);

    bool term_ends(std::size_t index) const;
    bool term_starts(const RawToken& t) const;

    const std::vector<RawToken>& raw_;
    ProgramOptions& options_;
    Arena& arena_;
    std::vector<Token> out_;
    std::size_t i_ = 0;

    bool at_start_ = true;
    bool pending_blank_ = false;
    Mode mode_ = Mode::Expr;
    int instruction_ = 0; // keyword of the clause being read, 0 for assignments/commands
    KeywordSet subkeywords_ = 0;
    int depth_ = 0;    // parentheses
    int brackets_ = 0; // index brackets
    bool backquote_open_ = false;
    std::size_t closing_backquote_ = SIZE_MAX; // out index of the last closing "`"
    std::size_t call_name_ = SIZE_MAX;         // out index of a CALL's routine name
};

std::vector<Token> ContextLexer::run() {
    while (i_ < raw_.size()) {
        const RawToken& t = raw_[i_];
        if (t.kind == ' ') {
            pending_blank_ = true;
            ++i_;
        } else if (t.kind == ';') {
            end_clause();
        } else if (at_start_) {
            begin_clause();
        } else if (mode_ == Mode::Expr) {
            expression_token();
        } else if (mode_ == Mode::Options && is_word(t)) {
            if (is_option_keyword(t.kind)) {
                push(t);
                set_option(t.kind);
            } else {
                push_symbol(t);
            }
            ++i_;
        } else if (is_word(t)) { // template and name lists: plain symbols
            push_symbol(t);
            ++i_;
        } else {
            push(t);
            ++i_;
        }
    }
    // The raw pass ended the text with ";"; only a program ending in ELSE
    // has lost it, and the parser then finds that IF incomplete.
    return std::move(out_);
}

void ContextLexer::analyse(Token& token) {
    SymbolInfo* info = arena_.make<SymbolInfo>();
    CaseMode mode = options_.case_mode;
    bool changes = false;
    for (std::uint32_t k = 0; k < token.length && !changes; ++k) {
        unsigned char c = token.text[k];
        changes = mode == CaseMode::Lower   ? (c >= 'A' && c <= 'Z')
                  : mode == CaseMode::Mixed ? false
                                            : (c >= 'a' && c <= 'z');
    }
    if (changes) {
        char* name = arena_.copy_text(token.text, token.length);
        for (std::uint32_t k = 0; k < token.length; ++k)
            name[k] =
                static_cast<char>(mode == CaseMode::Lower ? to_lower(name[k]) : to_upper(name[k]));
        info->name = name;
    } else {
        info->name = token.text;
    }
    info->length = token.length;
    const char* dot = static_cast<const char*>(std::memchr(info->name, '.', info->length));
    if (info->length > 0 && info->name[0] == '.') {
        info->cls = SymbolClass::DotStart;
    } else if (!dot) {
        info->cls = SymbolClass::Simple;
    } else {
        info->stem_length = static_cast<std::uint32_t>(dot - info->name);
        if (info->stem_length + 1 == info->length) {
            info->cls = SymbolClass::Stem;
        } else {
            info->cls = SymbolClass::Compound;
            std::uint32_t count = 0;
            for (std::uint32_t k = info->stem_length; k < info->length; ++k)
                if (info->name[k] == '.') ++count;
            std::uint32_t* starts = arena_.make_array<std::uint32_t>(count);
            std::uint32_t n = 0;
            for (std::uint32_t k = info->stem_length; k < info->length; ++k)
                if (info->name[k] == '.') starts[n++] = k + 1;
            info->tail_count = count;
            info->tail_start = starts;
        }
    }
    token.sym = info;
}

void ContextLexer::set_option(int kind) {
    switch (kind) {
    case UPPER:
    case LOWER:
    case MIXED:
        if (options_.case_mode == CaseMode::NotSet)
            options_.case_mode = kind == UPPER   ? CaseMode::Upper
                                 : kind == LOWER ? CaseMode::Lower
                                                 : CaseMode::Mixed;
        break;
    case SETENV:
    case UNSETENV:
        if (options_.env_mode == EnvMode::NotSet)
            options_.env_mode = kind == SETENV ? EnvMode::SetEnv : EnvMode::UnsetEnv;
        break;
    case LOAD:
    case NOLOAD:
        if (options_.load_mode == LoadMode::NotSet)
            options_.load_mode = kind == LOAD ? LoadMode::Load : LoadMode::NoLoad;
        break;
    default:
        if (options_.globalv_mode == GlobalvMode::NotSet)
            options_.globalv_mode = kind == GLOBALV ? GlobalvMode::Globalv : GlobalvMode::NoGlobalv;
        break;
    }
}

// At ";": a THEN or ELSE keyword that follows continues the clause, so the
// clause end goes; otherwise the clause ends here.
void ContextLexer::end_clause() {
    const RawToken& semi = raw_[i_];
    if (mode_ == Mode::Expr && !out_.empty() && out_.back().kind == ',') insert(VIDE, semi);
    if (brackets_ > 0 && !out_.empty() && out_.back().kind == ':') {
        // The ";" that follows ":" inside an index: part of the term.
        push(semi);
        ++i_;
        return;
    }
    std::size_t next = skip_blanks(i_ + 1);
    const RawToken& t = at(next);
    if ((t.kind == THEN || t.kind == ELSE) && is_word(t) && !blocks_keyword(kind_after(next))) {
        i_ = next;
    } else {
        if (out_.empty() || out_.back().kind != ';') push(semi);
        ++i_;
    }
    at_start_ = true;
}

void ContextLexer::begin_clause() {
    at_start_ = false;
    pending_blank_ = false;
    mode_ = Mode::Expr;
    instruction_ = 0;
    subkeywords_ = 0;
    depth_ = brackets_ = 0;
    backquote_open_ = false;
    call_name_ = SIZE_MAX;
    const RawToken& t = raw_[i_];
    if (is_brace(t, DO)) {
        push(t);
        instruction_ = DO;
        ++i_;
        return;
    }
    if (is_brace(t, END)) {
        push(t);
        ++i_;
        std::size_t next = skip_blanks(i_);
        const RawToken& after = at(next);
        if (after.kind == ELSE && is_word(after) && !blocks_keyword(kind_after(next))) {
            i_ = next;
            at_start_ = true; // ELSE starts the next part of the IF
        } else if (next < raw_.size() && after.kind != ';') {
            insert(';', after); // "} x": the block ended the clause
            at_start_ = true;
            i_ = next;
        }
        return;
    }
    if (is_word(t) && is_instruction_keyword(t.kind) && !blocks_keyword(kind_after(i_))) {
        instruction(t);
        return;
    }
    // An assignment or a command: an expression in which keywords are symbols.
}

void ContextLexer::take_word_as_symbol() {
    std::size_t next = skip_blanks(i_);
    if (next < raw_.size() && is_word(raw_[next])) {
        i_ = next;
        push_symbol(raw_[i_]);
        ++i_;
    }
}

// ON|OFF condition [NAME symbol], after CALL or SIGNAL.
void ContextLexer::take_condition_trap() {
    push(raw_[i_]); // ON or OFF
    ++i_;
    std::size_t next = skip_blanks(i_);
    if (next < raw_.size() && is_word(raw_[next])) {
        i_ = next;
        if (is_condition_keyword(raw_[i_].kind))
            push(raw_[i_]);
        else
            push_symbol(raw_[i_]);
        ++i_;
        next = skip_blanks(i_);
        if (at(next).kind == NAME && is_word(at(next))) {
            i_ = next;
            push(raw_[i_]);
            ++i_;
            take_word_as_symbol();
        }
    }
}

void ContextLexer::instruction(const RawToken& keyword) {
    instruction_ = keyword.kind;
    push(keyword);
    ++i_;
    std::size_t next = skip_blanks(i_);
    const RawToken& t = at(next);
    int after = kind_after(next);
    switch (keyword.kind) {
    case IF:
    case WHEN: subkeywords_ = bit(THEN); break;
    case THEN:
    case OTHERWISE: at_start_ = true; break;
    case ELSE:
        at_start_ = true;
        if (t.kind == ';') i_ = next + 1; // no clause end after ELSE
        break;
    case END: take_word_as_symbol(); break;
    case DO:
        subkeywords_ = bit(WHILE) | bit(UNTIL) | bit(TO) | bit(BY) | bit(FOR);
        if (is_word(t) && after == '=') {
            i_ = next;
            push_symbol(raw_[i_]);
            ++i_;
        } else if (is_word(t) && after == IN) {
            i_ = next;
            push_symbol(raw_[i_]);
            i_ = skip_blanks(i_ + 1);
            push(raw_[i_]);
            ++i_;
            subkeywords_ = bit(WHILE) | bit(UNTIL);
        } else if (t.kind == FOREVER && is_word(t) &&
                   (after == ';' || after == WHILE || after == UNTIL)) {
            i_ = next;
            push(raw_[i_]);
            ++i_;
            subkeywords_ = bit(WHILE) | bit(UNTIL);
        }
        break;
    case PARSE: {
        if ((t.kind == UPPER || t.kind == LOWER) && is_word(t)) {
            i_ = next;
            push(raw_[i_]);
            ++i_;
            next = skip_blanks(i_);
        }
        const RawToken& source = at(next);
        mode_ = Mode::Template;
        if (!is_word(source)) break;
        switch (source.kind) {
        case ARG:
        case PULL:
        case LINEIN:
        case SOURCE:
        case VERSION:
        case NUMERIC:
            i_ = next;
            push(raw_[i_]);
            ++i_;
            break;
        case VAR:
            i_ = next;
            push(raw_[i_]);
            ++i_;
            take_word_as_symbol();
            break;
        case VALUE:
            i_ = next;
            push(raw_[i_]);
            ++i_;
            mode_ = Mode::Expr;
            subkeywords_ = bit(WITH);
            break;
        default: break;
        }
        break;
    }
    case ARG:
    case PULL: mode_ = Mode::Template; break;
    case CALL:
        if ((t.kind == ON || t.kind == OFF) && is_word(t) && after != '(') {
            i_ = next;
            take_condition_trap();
        } else if (is_word(t)) {
            i_ = next;
            push_symbol(raw_[i_]);
            call_name_ = out_.size() - 1;
            ++i_;
        } else if (t.kind == STRING) {
            i_ = next;
            push(raw_[i_]);
            call_name_ = out_.size() - 1;
            ++i_;
        }
        break;
    case SIGNAL:
        if ((t.kind == ON || t.kind == OFF) && is_word(t)) {
            i_ = next;
            take_condition_trap();
        } else if (t.kind == VALUE && is_word(t) && after != ';') {
            i_ = next;
            push(raw_[i_]);
            ++i_;
        } else {
            take_word_as_symbol();
        }
        break;
    case NUMERIC:
        if ((t.kind == DIGITS || t.kind == FUZZ) && is_word(t)) {
            i_ = next;
            push(raw_[i_]);
            ++i_;
        } else if (t.kind == FORM && is_word(t)) {
            i_ = next;
            push(raw_[i_]);
            ++i_;
            next = skip_blanks(i_);
            const RawToken& form = at(next);
            if ((form.kind == SCIENTIFIC || form.kind == ENGINEERING || form.kind == VALUE) &&
                is_word(form)) {
                i_ = next;
                push(raw_[i_]);
                ++i_;
            }
        }
        break;
    case ADDRESS:
        if (t.kind == ';' || next >= raw_.size()) break;
        if (t.kind == VALUE && is_word(t) && after != ';') {
            i_ = next;
            push(raw_[i_]);
            ++i_;
        } else if (is_word(t) || t.kind == STRING) {
            i_ = next;
            Token& environ = push_kind(raw_[i_], ENVIRON);
            std::string upper =
                fold_name(std::string_view(environ.text, environ.length), CaseMode::Upper);
            environ.text = arena_.copy_text(upper.data(), upper.size());
            environ.quoted = false;
            ++i_;
        } else if (t.kind == '(' || t.kind == '+' || t.kind == '-' || is_operator_kind(t.kind)) {
            insert(VALUE, t); // ADDRESS (expr) or an operator: the name is an expression
        }
        break;
    case TRACE:
        if (t.kind == VALUE && is_word(t) && after != ';') {
            i_ = next;
            push(raw_[i_]);
            ++i_;
        } else {
            take_word_as_symbol();
        }
        break;
    case DROP:
    case UPPER:
    case LOWER: mode_ = Mode::Names; break;
    case PROCEDURE:
        if (t.kind == EXPOSE && is_word(t)) {
            i_ = next;
            push(raw_[i_]);
            ++i_;
            mode_ = Mode::Names;
        }
        break;
    case OPTION: mode_ = Mode::Options; break;
    default: break;
    }
}

bool ContextLexer::term_ends(std::size_t index) const {
    if (index >= out_.size() || index == call_name_) return false;
    int kind = out_[index].kind;
    if (kind == '`') return index == closing_backquote_;
    return kind == SYMBOL || kind == STRING || kind == ')' || kind == ']';
}

bool ContextLexer::term_starts(const RawToken& t) const {
    return t.kind == SYMBOL || t.kind == STRING || t.kind == '(' ||
           (t.kind == '`' && !backquote_open_);
}

void ContextLexer::expression_token() {
    RawToken t = raw_[i_];
    ++i_;
    if (is_word(t)) {
        if (depth_ == 0 && brackets_ == 0 && t.kind >= ADDRESS && t.kind <= WHEN &&
            (subkeywords_ & bit(t.kind))) {
            push(t);
            if (t.kind == THEN) at_start_ = true;
            if (t.kind == WITH) mode_ = Mode::Template;
            return;
        }
        t.kind = SYMBOL;
    }
    if (is_brace(t, DO) && (instruction_ == DO || instruction_ == SELECT)) {
        return; // "do i = 1 to 3 {": the brace opens the loop's own body
    }
    std::size_t last = out_.size() - 1;
    if (!out_.empty() && term_starts(t) && term_ends(last)) {
        int before = out_[last].kind;
        if (t.kind == '(' && !pending_blank_ && (before == SYMBOL || before == STRING)) {
            out_[last].kind = before == SYMBOL ? FUNCTION : SFUNCTION;
        } else {
            insert(pending_blank_ ? static_cast<int>(' ') : static_cast<int>(OP_CONC), t);
        }
    } else if (!out_.empty() && t.kind == '(' && !pending_blank_ && last == call_name_) {
        out_[last].kind = out_[last].kind == SYMBOL ? FUNCTION : SFUNCTION;
    }
    switch (t.kind) {
    case '(': ++depth_; break;
    case ')':
        if (!out_.empty() && out_.back().kind == ',') insert(VIDE, t);
        if (out_.size() >= 2 && out_.back().kind == '(' &&
            (out_[out_.size() - 2].kind == FUNCTION || out_[out_.size() - 2].kind == SFUNCTION))
            insert(VIDE, t);
        if (depth_ > 0) --depth_;
        break;
    case ',':
        if (!out_.empty() &&
            (out_.back().kind == '(' || out_.back().kind == ',' || out_.size() - 1 == call_name_))
            insert(VIDE, t);
        break;
    case '[': ++brackets_; break;
    case ']':
        if (brackets_ > 0) --brackets_;
        break;
    case '`': backquote_open_ = !backquote_open_; break;
    default: break;
    }
    Token& pushed = push(t);
    if (pushed.kind == SYMBOL) analyse(pushed);
    if (pushed.kind == '`' && !backquote_open_) closing_backquote_ = out_.size() - 1;
}

} // namespace

std::vector<Token> lex(std::string_view source, const LexOptions& options,
                       ProgramOptions& program_options, Arena& arena) {
    if (!options.forbid_precompiled && source.size() > 2 && source[0] == '#' && source[1] == '!') {
        std::size_t first_end = source.find('\n');
        if (first_end != std::string_view::npos &&
            source.substr(0, first_end).find("tolma") != std::string_view::npos) {
            std::string_view second = source.substr(first_end + 1);
            second = second.substr(0, second.find('\n'));
            if (second == "@kpwm") throw_at(76, options.first_line + 1, 0);
        }
    }
    if (source.size() > INT32_MAX) throw_at(62, options.first_line, 0); // positions are 32-bit
    std::vector<RawToken> raw = RawLexer(source, options, arena).run();
    return ContextLexer(raw, program_options, arena).run();
}

std::string dump_tokens(const std::vector<Token>& tokens) {
    std::string out;
    for (const Token& t : tokens) {
        if (!out.empty()) out += ' ';
        out += token_kind_name(t.kind);
        bool show_text = t.text && (t.kind == SYMBOL || t.kind == STRING || t.kind == FUNCTION ||
                                    t.kind == SFUNCTION || t.kind == ENVIRON);
        if (!show_text) continue;
        if (t.quoted) {
            out += "(\"";
            out.append(t.text, t.length);
            out += "\")";
        } else {
            out += '(';
            out.append(t.text, t.length);
            out += ')';
        }
    }
    return out;
}

} // namespace tolma
