#pragma once
// The REXX lexer: program text -> one array of tokens.
//
// Two passes. `lex_raw` cuts the characters into raw tokens (symbols,
// strings, operators, clause ends, blanks). `lex_context` walks them again and
// decides from the context which keywords are keywords, which symbols are
// function names, where omitted arguments (VIDE) stand, where an ADDRESS
// environment name follows, which blanks mean concatenation and where two
// terms abut (OP_CONC). `lex` runs both. Errors throw RexxError.
//
// The context pass follows the instruction syntax: a keyword that begins an
// instruction stays a keyword only at the start of a clause (after ";", a
// label, THEN, ELSE or OTHERWISE) and when what follows is not "=", ":", "["
// or a binary operator; sub-keywords (THEN, TO, BY, FOR, WHILE, UNTIL, WITH,
// VALUE, ON, OFF, NAME, EXPOSE, the PARSE sources, the NUMERIC and ADDRESS
// words) only inside the instruction that owns them, outside parentheses.
// PARSE templates and name lists (DROP, UPPER, LOWER, EXPOSE) keep their
// tokens as read, with keywords turned into symbols and blanks dropped.
#include "rexx/core/arena.h"
#include "rexx/core/rexx_error.h"
#include "rexx/core/tokens.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tolma {

// How a symbol used as a variable is built (filled by the lexer, once).
enum class SymbolClass : std::uint8_t {
    Simple,   // no "."
    Stem,     // a name and one final ".": A.
    Compound, // a stem and tail parts: A.I.J (a part may be empty: A..B)
    DotStart, // starts with ".": invalid as a variable, "." is the template placeholder
};

struct SymbolInfo {
    SymbolClass cls = SymbolClass::Simple;
    const char* name = nullptr; // the text folded by the case mode, NUL-terminated
    std::uint32_t length = 0;
    std::uint32_t stem_length = 0; // bytes before the first "." (Stem, Compound)
    std::uint32_t tail_count = 0;  // Compound: number of tail parts
    // Compound: offset in `name` where each tail part starts (just after its
    // "."); part i runs to the next "." or to the end of the name.
    const std::uint32_t* tail_start = nullptr;
};

struct Token {
    int kind = TOK_NONE;             // a character code or a TokenKind
    std::uint32_t length = 0;        // bytes of `text`
    const char* text = nullptr;      // NUL-terminated, nullptr for ";", blanks, operators
    int line = 0;                    // 0-based (counted from the program's first line)
    int column = 0;                  // 0-based
    std::uint32_t pos = 0, end = 0;  // byte range of the token in the prepared source
    bool quoted = false;             // STRING: true when written as a quoted string
    const SymbolInfo* sym = nullptr; // SYMBOL and FUNCTION: the lexer's analysis
    // Free for the variable pool: its pre-analysed reference to the variable
    // (or any per-symbol cache). The front end never reads or writes it.
    void* pool_ref = nullptr;
    Token* next = nullptr; // PARSE template: the next token of the template
};

enum class CaseMode : std::uint8_t { NotSet, Upper, Lower, Mixed };
enum class EnvMode : std::uint8_t { NotSet, SetEnv, UnsetEnv };
enum class LoadMode : std::uint8_t { NotSet, Load, NoLoad };
enum class GlobalvMode : std::uint8_t { NotSet, Globalv, NoGlobalv };

// The program options set by the OPTION instruction while the program is
// lexed. Only the first OPTION word of a group sets it.
struct ProgramOptions {
    CaseMode case_mode = CaseMode::NotSet;
    EnvMode env_mode = EnvMode::NotSet;
    LoadMode load_mode = LoadMode::NotSet;
    GlobalvMode globalv_mode = GlobalvMode::NotSet;
};

// Folds ASCII letters of a name as the case mode wants (NotSet = Upper).
std::string fold_name(std::string_view name, CaseMode mode);

struct LexOptions {
    int first_line = 0;              // 0-based line number of the text's first line
    bool forbid_precompiled = false; // lex a "#!...tolma" + "@kpwm" text as plain REXX
};

// The text the lexer scans: carriage returns and byte 26 removed, and one
// final newline dropped. Token positions index into this text.
std::string prepare_source(std::string_view text);

// The raw pass alone over a prepared source (for tests and dumps).
std::vector<Token> lex_raw(std::string_view source, const LexOptions& options, Arena& arena);

// Both passes. Precompiled token files are not supported: a text whose first
// line is a "#!" line naming tolma and whose second line is "@kpwm" is error
// 76, unless `forbid_precompiled` asks to lex it as plain text.
std::vector<Token> lex(std::string_view source, const LexOptions& options,
                       ProgramOptions& program_options, Arena& arena);

// One line of text for tests and the hidden --tokens option:
//   SAY SYMBOL(a) _ STRING("b") ; FUNCTION(f) ( VIDE ) ;
// Keywords show their name, quoted strings their text in double quotes,
// numbers and symbols their text in parentheses, the blank "_".
std::string dump_tokens(const std::vector<Token>& tokens);

// Throws the error at a token's position (1-based in the error).
[[noreturn]] void throw_at(int code, const Token& token, std::string detail = {});
[[noreturn]] void throw_at(int code, int line, int column, std::string detail = {});

} // namespace tolma
