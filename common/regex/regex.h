#pragma once
// The regular-expression engine shared by the editor (locate, change, compile
// rules) and the interpreter (RCHANGE). The syntax is the basic one of ed and
// sed; docs/regex.md lists it in full.
//
// Subjects are byte strings with explicit lengths: a line may hold NUL bytes.
// Offsets are byte offsets into the subject, ranges are [begin, end).
//
// Matching runs in time proportional to the subject length times the program
// size (a Pike machine) for every pattern without back references; patterns
// with back references backtrack with an explicit stack. Both engines count
// their steps and give up with Status::TooComplex when a search exceeds its
// budget, so no pattern can hang the caller or exhaust the C++ stack.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vre {

// Compile errors, returned as the error text of compile().
inline constexpr std::string_view kNoPreviousRe = "No previous RE";
inline constexpr std::string_view kNoMemory = "Not enough memory for this RE";
inline constexpr std::string_view kRepeatFollowsNothing = "* or \\+ or \\? follows nothing";
inline constexpr std::string_view kRepeatBadOperand =
    "* or \\+ or \\? can only follow a normal character or . or []";
inline constexpr std::string_view kRepeatDoubled = "* or \\+ or \\? doubled up";
inline constexpr std::string_view kNotEnoughClose = "Not enough \\)s";
inline constexpr std::string_view kTooManyOpen = "Too many \\(s";
inline constexpr std::string_view kMismatchedClose = "Mismatched \\)";
inline constexpr std::string_view kTooManyClasses = "Too many []s";
inline constexpr std::string_view kBackwardsSpan = "Backwards span in []";
inline constexpr std::string_view kBracketMissing = "] missing";
// Texts for the two additions to the classic syntax, \1..\9 and \{m,n\}.
inline constexpr std::string_view kBadBackReference = "Invalid back reference";
inline constexpr std::string_view kBadInterval = "Invalid content of \\{\\}";
// Not a compile error: a search that ran out of its step budget.
inline constexpr std::string_view kTooComplex = "RE too complex for this line";

inline constexpr int kMaxGroups = 9;        // \( \) pairs per expression
inline constexpr int kMaxClasses = 10;      // [] lists per expression
inline constexpr int kMaxProgram = 16384;   // instructions; beyond: kNoMemory
inline constexpr int kMaxRepeatCount = 255; // largest number inside \{ \}

enum CompileFlags : unsigned {
    kIgnoreCase = 1u, // ASCII letters match either case
};

enum class Op : std::uint8_t {
    Char,      // one byte equal to arg (folded to lower case under kIgnoreCase)
    Any,       // any byte
    Class,     // a byte in classes[arg]
    Bol,       // the subject's first position
    Eol,       // the subject's end
    WordBegin, // a word character that follows a non-word character or the start
    WordEnd,   // a non-word character or the end, after a word character
    Save,      // record the current position in capture slot arg
    Split,     // try arg first, then arg2
    Jump,      // continue at arg
    BackRef,   // the text group arg captured, again
    Match,
};

struct Inst {
    Op op = Op::Match;
    std::int32_t arg = 0;
    std::int32_t arg2 = 0;
};

using ByteSet = std::array<std::uint64_t, 4>; // bit b set: byte b belongs

inline bool byteset_has(const ByteSet& set, unsigned char byte) {
    return (set[byte >> 6] >> (byte & 63)) & 1u;
}

// A compiled expression. Built only by compile(); read-only afterwards, so one
// Regex may serve many searches.
struct Regex {
    std::uint64_t id = 0; // distinct for every compile; names the program in caches
    std::string source;   // the pattern as given
    unsigned flags = 0;
    std::vector<Inst> code;
    std::vector<ByteSet> classes;
    int groups = 0;               // number of \( \) pairs
    bool anchored = false;        // starts with ^
    bool has_backrefs = false;    // needs the backtracking engine
    bool can_match_empty = false; // some match may be empty
    ByteSet first_bytes{};        // bytes a non-empty match can begin with
    std::string prefix;           // literal bytes every match begins with (folded)
    bool literal = false;         // the whole pattern is the literal prefix
    bool dfa_ok = false;          // no back references, no \< \>: the automaton may screen lines
};

struct CompileResult {
    Regex regex;       // meaningful only when error is empty
    std::string error; // one of the compile error texts above, or empty
    bool ok() const { return error.empty(); }
};

// Compiles a pattern. An empty pattern gives kNoPreviousRe: reusing the last
// expression is the caller's business (see LastRegex).
CompileResult compile(std::string_view pattern, unsigned flags = 0);

// The "empty expression reuses the previous one" rule, for callers that keep a
// last expression (the editor's locate, the interpreter's RCHANGE).
struct LastRegex {
    bool set = false;
    std::string source;
};

// Compiles pattern, or the remembered one when pattern is empty; a successful
// compile of a non-empty pattern becomes the remembered one.
CompileResult compile_with_last(std::string_view pattern, unsigned flags, LastRegex& last);

inline constexpr std::size_t npos = static_cast<std::size_t>(-1);

struct Span {
    std::size_t begin = npos;
    std::size_t end = npos;
    bool matched() const { return begin != npos; }
    std::size_t length() const { return matched() ? end - begin : 0; }
};

struct Match {
    std::size_t begin = npos; // the whole match, the same as groups[0]
    std::size_t end = npos;
    std::array<Span, kMaxGroups + 1> groups{}; // [k] is what \k matched
};

enum class Status {
    Found,
    NotFound,
    TooComplex, // the step budget ran out; treat as an error, not as "not found"
};

// The default word characters of \< and \>: ASCII letters, digits and '_'.
ByteSet default_word_chars();

// Which matcher runs. The choice never changes a result, only the speed; the
// tests force each one in turn to check that they agree.
enum class Engine {
    Automatic, // the automaton screens lines (when a Scratch is given), then the best matcher
    Backtrack, // backtracking (with the failure bitmap unless there are back references)
    Pike,      // the Pike machine (the backtracker for back references)
};

struct MatchOptions {
    const ByteSet* word_chars = nullptr; // nullptr: default_word_chars()
    bool not_bol = false;                // position 0 is not the start of a line
    // Steps one search may take; 0 means the default, which grows with the
    // subject length (kDefaultBudgetBase + kDefaultBudgetPerByte per byte).
    std::uint64_t step_budget = 0;
    Engine engine = Engine::Automatic;
};

inline constexpr std::uint64_t kDefaultBudgetBase = 20'000'000;
inline constexpr std::uint64_t kDefaultBudgetPerByte = 256;

// The automaton built lazily from a program's sets of states. It only tells
// whether a subject can hold a match at all, which rules out most lines of a
// search at one table lookup per byte; the matchers then find the exact span.
struct DfaCache {
    std::uint64_t regex_id = 0; // the Regex the cache was built for
    bool gave_up = false;       // too many states: not used for this Regex
    std::vector<std::vector<std::int32_t>> sets;
    std::unordered_map<std::string, std::int32_t> index;
    std::vector<std::int32_t> next;    // state * 256 + byte -> state; -1 not built yet
    std::vector<std::uint8_t> accepts; // 1: holds a match; 2: holds one at the end
    std::int32_t start_state = -1;     // a match may begin anywhere
    std::int32_t start_bol_state = -1; // at the start of a line, for ^
    std::vector<std::uint32_t> mark;
    std::uint32_t stamp = 0;
    std::vector<std::int32_t> todo;
    std::vector<std::int32_t> seeds;
    std::vector<std::int32_t> set;
};

// Work areas of the matchers. A caller that searches many lines keeps one and
// passes it to every call to save allocations; it holds no results.
struct Scratch {
    std::vector<std::int32_t> dense[2];
    std::vector<std::int32_t> sparse[2];
    std::vector<std::size_t> caps[2];
    std::vector<std::size_t> work_caps;
    std::vector<std::size_t> start_caps;
    std::vector<std::size_t> best_caps;
    std::vector<std::int64_t> stack;
    std::vector<std::uint64_t> visited;
    DfaCache dfa;
};

// Finds the leftmost match that begins at or after start. ^ matches only at
// position 0, so a search that starts later never matches it; \< and \> look
// at the bytes before start.
Status search(const Regex& re, std::string_view subject, std::size_t start, Match& match,
              const MatchOptions& options = {}, Scratch* scratch = nullptr);

// Like search(), but the match must begin exactly at pos.
Status match_at(const Regex& re, std::string_view subject, std::size_t pos, Match& match,
                const MatchOptions& options = {}, Scratch* scratch = nullptr);

// What a replacement text may refer to.
struct ReplaceSyntax {
    bool backslash_groups = true; // \0..\9 a group's text, \\ a backslash, \& an ampersand
    bool ampersand = true;        // & the whole match
    char arbchar = 0;             // when not 0, this character is the whole match too
};

// Appends the replacement for one match to out. A group that took no part in
// the match stands for nothing.
void expand_replacement(std::string_view replacement, std::string_view subject, const Match& match,
                        const ReplaceSyntax& syntax, std::string& out);

struct SubstituteOptions {
    std::size_t start = 0;    // first byte searched
    std::size_t first = 1;    // number of the first occurrence replaced (from 1)
    std::size_t count = npos; // at most this many replacements
    MatchOptions match;
};

struct SubstituteResult {
    std::string text;                 // the subject with the replacements made
    std::size_t changes = 0;          // replacements made
    Status status = Status::NotFound; // Found when changes > 0; TooComplex aborts, text = subject
};

// Replaces occurrences of re in subject, scanning from left to right and going
// on after each match. An empty match right after the previous match is not an
// occurrence, and after an empty match the scan moves one byte on, as sed does.
SubstituteResult substitute(const Regex& re, std::string_view subject, std::string_view replacement,
                            const ReplaceSyntax& syntax, const SubstituteOptions& options = {},
                            Scratch* scratch = nullptr);

} // namespace vre
