// Compiler and matchers of the regular-expression engine.
//
// The compiler turns the pattern into a small program for a Pike machine: one
// instruction per character item, Split and Jump for repetition, Save for the
// capture slots (slot 2k and 2k+1 hold where group k began and ended; group 0
// is the whole match). Repetition applies only to one-character items, so no
// loop in a program can go round without consuming a byte.
#include "common/regex/regex.h"

#include <algorithm>
#include <atomic>
#include <cstring>

namespace vre {

namespace {

unsigned char fold(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
}

void byteset_add(ByteSet& set, unsigned char byte) {
    set[byte >> 6] |= std::uint64_t{1} << (byte & 63);
}

void byteset_add_range(ByteSet& set, unsigned char lo, unsigned char hi) {
    for (unsigned c = lo; c <= hi; ++c)
        byteset_add(set, static_cast<unsigned char>(c));
}

void byteset_union(ByteSet& into, const ByteSet& from) {
    for (int i = 0; i < 4; ++i)
        into[i] |= from[i];
}

ByteSet byteset_all() {
    return {~std::uint64_t{0}, ~std::uint64_t{0}, ~std::uint64_t{0}, ~std::uint64_t{0}};
}

// Adds the other case of every ASCII letter in the set.
void byteset_fold_cases(ByteSet& set) {
    for (unsigned c = 'a'; c <= 'z'; ++c) {
        unsigned up = c - ('a' - 'A');
        if (byteset_has(set, static_cast<unsigned char>(c)) ||
            byteset_has(set, static_cast<unsigned char>(up))) {
            byteset_add(set, static_cast<unsigned char>(c));
            byteset_add(set, static_cast<unsigned char>(up));
        }
    }
}

// The named classes allowed inside a bracket list, as [:name:].
struct NamedClass {
    std::string_view name;
    bool (*member)(unsigned c);
};

bool is_upper(unsigned c) {
    return c >= 'A' && c <= 'Z';
}
bool is_lower(unsigned c) {
    return c >= 'a' && c <= 'z';
}
bool is_digit(unsigned c) {
    return c >= '0' && c <= '9';
}
bool is_alpha(unsigned c) {
    return is_upper(c) || is_lower(c);
}
bool is_alnum(unsigned c) {
    return is_alpha(c) || is_digit(c);
}
bool is_space(unsigned c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}
bool is_print(unsigned c) {
    return c >= 32 && c < 127;
}
bool is_graph(unsigned c) {
    return c > 32 && c < 127;
}

const NamedClass kNamedClasses[] = {
    {"alnum", is_alnum},
    {"alpha", is_alpha},
    {"blank", [](unsigned c) { return c == ' ' || c == '\t'; }},
    {"cntrl", [](unsigned c) { return c < 32 || c == 127; }},
    {"digit", is_digit},
    {"graph", is_graph},
    {"lower", is_lower},
    {"print", is_print},
    {"punct", [](unsigned c) { return is_graph(c) && !is_alnum(c); }},
    {"space", is_space},
    {"upper", is_upper},
    {"xdigit",
     [](unsigned c) { return is_digit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }},
};

// What the item before a repetition operator was; decides which error a
// misplaced operator gives.
enum class Prev {
    Nothing,    // start of the pattern, after ^ or after \(
    Repeatable, // an ordinary character, . or a bracket list
    Repeated,   // a repetition operator
    Other,      // \), \<, \>, a back reference
};

struct Compiler {
    std::string_view pattern;
    unsigned flags = 0;
    Regex& re;
    std::string error;
    std::size_t at = 0;
    int open_groups[kMaxGroups] = {}; // numbers of the groups still open, innermost last
    int open_count = 0;
    bool closed[kMaxGroups + 1] = {};
    Prev prev = Prev::Nothing;

    bool fail(std::string_view text) {
        if (error.empty()) error = text;
        return false;
    }

    bool emit(Op op, std::int32_t arg = 0, std::int32_t arg2 = 0) {
        if (re.code.size() >= static_cast<std::size_t>(kMaxProgram)) return fail(kNoMemory);
        re.code.push_back({op, arg, arg2});
        return true;
    }

    bool ignore_case() const { return flags & kIgnoreCase; }

    bool emit_char(unsigned char c) {
        prev = Prev::Repeatable;
        return emit(Op::Char, ignore_case() ? fold(c) : c);
    }

    bool parse_bracket();
    bool parse_repeat(int min, int max); // max < 0: no upper bound
    bool parse_interval();
    bool run();
};

bool Compiler::parse_bracket() {
    // at is just past '['.
    if (static_cast<int>(re.classes.size()) >= kMaxClasses) return fail(kTooManyClasses);
    ByteSet set{};
    bool negate = false;
    if (at < pattern.size() && pattern[at] == '^') {
        negate = true;
        ++at;
    }
    bool first = true;
    for (;;) {
        if (at >= pattern.size()) return fail(kBracketMissing);
        unsigned char c = pattern[at];
        if (c == ']' && !first) {
            ++at;
            break;
        }
        first = false;
        if (c == '[' && at + 1 < pattern.size() && pattern[at + 1] == ':') {
            std::size_t close = pattern.find(":]", at + 2);
            if (close != std::string_view::npos) {
                std::string_view name = pattern.substr(at + 2, close - at - 2);
                const NamedClass* found = nullptr;
                for (const NamedClass& named : kNamedClasses)
                    if (named.name == name) found = &named;
                if (found) {
                    for (unsigned b = 0; b < 256; ++b)
                        if (found->member(b)) byteset_add(set, static_cast<unsigned char>(b));
                    at = close + 2;
                    continue;
                }
            }
            // Not a known class name: the '[' is an ordinary member.
        }
        ++at;
        if (at + 1 < pattern.size() && pattern[at] == '-' && pattern[at + 1] != ']') {
            unsigned char hi = pattern[at + 1];
            if (hi < c) return fail(kBackwardsSpan);
            byteset_add_range(set, c, hi);
            at += 2;
        } else {
            byteset_add(set, c);
        }
    }
    if (ignore_case()) byteset_fold_cases(set);
    if (negate)
        for (auto& word : set)
            word = ~word;
    re.classes.push_back(set);
    prev = Prev::Repeatable;
    return emit(Op::Class, static_cast<std::int32_t>(re.classes.size() - 1));
}

// Rewrites the one-instruction item at the end of the program into min to max
// repetitions of itself, greedy.
bool Compiler::parse_repeat(int min, int max) {
    switch (prev) {
    case Prev::Nothing: return fail(kRepeatFollowsNothing);
    case Prev::Repeated: return fail(kRepeatDoubled);
    case Prev::Other: return fail(kRepeatBadOperand);
    case Prev::Repeatable: break;
    }
    prev = Prev::Repeated;
    Inst item = re.code.back();
    re.code.pop_back();
    std::size_t optional = max < 0 ? 0 : static_cast<std::size_t>(max - min);
    std::size_t needed = static_cast<std::size_t>(min) + 2 * optional + (max < 0 ? 3 : 0);
    if (re.code.size() + needed > static_cast<std::size_t>(kMaxProgram)) return fail(kNoMemory);
    for (int i = 0; i < min; ++i)
        re.code.push_back(item);
    auto here = [&] { return static_cast<std::int32_t>(re.code.size()); };
    if (max < 0) {
        // L: Split L+1, L+3; item; Jump L
        std::int32_t loop = here();
        re.code.push_back({Op::Split, loop + 1, loop + 3});
        re.code.push_back(item);
        re.code.push_back({Op::Jump, loop});
        return true;
    }
    // Nested optionals: Split a, END; item; Split b, END; item; ... END
    std::size_t first_split = re.code.size();
    for (std::size_t i = 0; i < optional; ++i) {
        re.code.push_back({Op::Split, here() + 1, 0});
        re.code.push_back(item);
    }
    for (std::size_t i = 0; i < optional; ++i)
        re.code[first_split + 2 * i].arg2 = here();
    return true;
}

// at is just past "\{". Reads m, m, or m,n or ,n and the closing "\}".
bool Compiler::parse_interval() {
    auto number = [&](int& out) {
        std::size_t begin = at;
        long value = 0;
        while (at < pattern.size() && pattern[at] >= '0' && pattern[at] <= '9') {
            value = value * 10 + (pattern[at] - '0');
            if (value > kMaxRepeatCount) value = kMaxRepeatCount + 1;
            ++at;
        }
        out = static_cast<int>(value);
        return at > begin;
    };
    int min = 0;
    int max = 0;
    bool has_min = number(min);
    bool has_comma = at < pattern.size() && pattern[at] == ',';
    bool has_max = false;
    if (has_comma) {
        ++at;
        has_max = number(max);
    }
    if (at + 1 >= pattern.size() || pattern[at] != '\\' || pattern[at + 1] != '}')
        return fail(kBadInterval);
    at += 2;
    if (!has_min && !has_comma) return fail(kBadInterval);
    if (!has_comma)
        max = min;
    else if (!has_max)
        max = -1;
    if (min > kMaxRepeatCount || max > kMaxRepeatCount || (max >= 0 && max < min))
        return fail(kBadInterval);
    return parse_repeat(min, max);
}

bool Compiler::run() {
    if (!emit(Op::Save, 0)) return false;
    if (!pattern.empty() && pattern[0] == '^') {
        ++at;
        re.anchored = true;
        if (!emit(Op::Bol)) return false;
    }
    int next_group = 1;
    while (at < pattern.size()) {
        unsigned char c = pattern[at++];
        switch (c) {
        case '.':
            prev = Prev::Repeatable;
            if (!emit(Op::Any)) return false;
            continue;
        case '[':
            if (!parse_bracket()) return false;
            continue;
        case '*':
            if (!parse_repeat(0, -1)) return false;
            continue;
        case '$':
            if (at == pattern.size()) {
                prev = Prev::Other;
                if (!emit(Op::Eol)) return false;
                continue;
            }
            if (!emit_char(c)) return false;
            continue;
        case '\\': break;
        default:
            if (!emit_char(c)) return false;
            continue;
        }
        // A backslash.
        if (at >= pattern.size()) {
            // A trailing backslash stands for itself.
            if (!emit_char('\\')) return false;
            continue;
        }
        unsigned char e = pattern[at++];
        switch (e) {
        case '(':
            if (next_group > kMaxGroups) return fail(kTooManyOpen);
            open_groups[open_count++] = next_group;
            if (!emit(Op::Save, 2 * next_group)) return false;
            ++next_group;
            prev = Prev::Nothing;
            break;
        case ')': {
            if (open_count == 0) return fail(kMismatchedClose);
            int group = open_groups[--open_count];
            closed[group] = true;
            if (!emit(Op::Save, 2 * group + 1)) return false;
            prev = Prev::Other;
            break;
        }
        case '+':
            if (!parse_repeat(1, -1)) return false;
            break;
        case '?':
            if (!parse_repeat(0, 1)) return false;
            break;
        case '{':
            switch (prev) {
            case Prev::Nothing: return fail(kRepeatFollowsNothing);
            case Prev::Repeated: return fail(kRepeatDoubled);
            case Prev::Other: return fail(kRepeatBadOperand);
            case Prev::Repeatable: break;
            }
            if (!parse_interval()) return false;
            break;
        case '<':
            prev = Prev::Other;
            if (!emit(Op::WordBegin)) return false;
            break;
        case '>':
            prev = Prev::Other;
            if (!emit(Op::WordEnd)) return false;
            break;
        default:
            if (e >= '1' && e <= '9') {
                int group = e - '0';
                if (!closed[group]) return fail(kBadBackReference);
                re.has_backrefs = true;
                prev = Prev::Other;
                if (!emit(Op::BackRef, group)) return false;
            } else if (!emit_char(e)) {
                return false;
            }
            break;
        }
    }
    if (open_count > 0) return fail(kNotEnoughClose);
    re.groups = next_group - 1;
    return emit(Op::Save, 1) && emit(Op::Match);
}

// Fills the facts the matchers use to skip hopeless start positions.
void analyse(Regex& re) {
    // Literal prefix: the Char instructions met first on the straight path.
    std::size_t pc = 0;
    while (pc < re.code.size() && (re.code[pc].op == Op::Save || re.code[pc].op == Op::Char ||
                                   re.code[pc].op == Op::Bol)) {
        if (re.code[pc].op == Op::Char) re.prefix.push_back(static_cast<char>(re.code[pc].arg));
        ++pc;
    }
    re.literal = re.groups == 0 && pc < re.code.size() && re.code[pc].op == Op::Match;

    // First bytes and emptiness: everything reachable from the start without
    // consuming (assertions are taken as passable, which only widens the set).
    std::vector<bool> seen(re.code.size(), false);
    std::vector<std::size_t> todo{0};
    re.first_bytes = {};
    re.can_match_empty = false;
    re.dfa_ok = !re.has_backrefs;
    for (const Inst& inst : re.code)
        if (inst.op == Op::WordBegin || inst.op == Op::WordEnd) re.dfa_ok = false;
    bool ignore_case = re.flags & kIgnoreCase;
    while (!todo.empty()) {
        std::size_t at = todo.back();
        todo.pop_back();
        if (at >= re.code.size() || seen[at]) continue;
        seen[at] = true;
        const Inst& inst = re.code[at];
        switch (inst.op) {
        case Op::Char: {
            unsigned char c = static_cast<unsigned char>(inst.arg);
            byteset_add(re.first_bytes, c);
            if (ignore_case && c >= 'a' && c <= 'z') byteset_add(re.first_bytes, c - ('a' - 'A'));
            break;
        }
        case Op::Any: re.first_bytes = byteset_all(); break;
        case Op::Class: byteset_union(re.first_bytes, re.classes[inst.arg]); break;
        case Op::BackRef:
            // Could be empty or anything: give up on skipping.
            re.first_bytes = byteset_all();
            re.can_match_empty = true;
            break;
        case Op::Match: re.can_match_empty = true; break;
        case Op::WordBegin:
        case Op::WordEnd: todo.push_back(at + 1); break;
        case Op::Split:
            todo.push_back(inst.arg2);
            todo.push_back(inst.arg);
            break;
        case Op::Jump: todo.push_back(inst.arg); break;
        default: todo.push_back(at + 1); break;
        }
    }
}

} // namespace

CompileResult compile(std::string_view pattern, unsigned flags) {
    CompileResult result;
    if (pattern.empty()) {
        result.error = kNoPreviousRe;
        return result;
    }
    result.regex.source = std::string(pattern);
    result.regex.flags = flags;
    Compiler compiler{pattern, flags, result.regex, {}};
    if (!compiler.run()) {
        result.error = compiler.error;
        result.regex = Regex{};
        return result;
    }
    static std::atomic<std::uint64_t> next_id{1};
    result.regex.id = next_id++;
    analyse(result.regex);
    return result;
}

CompileResult compile_with_last(std::string_view pattern, unsigned flags, LastRegex& last) {
    if (pattern.empty()) {
        if (!last.set) return compile(pattern, flags);
        return compile(last.source, flags);
    }
    CompileResult result = compile(pattern, flags);
    if (result.ok()) {
        last.set = true;
        last.source = std::string(pattern);
    }
    return result;
}

ByteSet default_word_chars() {
    ByteSet set{};
    for (unsigned c = 0; c < 256; ++c)
        if (is_alnum(c) || c == '_') byteset_add(set, static_cast<unsigned char>(c));
    return set;
}

namespace {

const ByteSet kDefaultWordChars = default_word_chars();

// Largest bitmap of tried (pc, pos) pairs the backtracker may use; longer
// subjects go to the Pike machine.
constexpr std::size_t kBitStateMaxBits = 256 * 1024;

// Everything one search needs, gathered once per call.
struct Context {
    const Regex& re;
    const unsigned char* text;
    std::size_t size;
    const MatchOptions& options;
    ByteSet word_chars;
    bool ignore_case;
    std::uint64_t steps = 0;
    std::uint64_t budget;
    std::size_t ncap;

    Context(const Regex& r, std::string_view subject, std::size_t start, const MatchOptions& o)
        : re(r), text(reinterpret_cast<const unsigned char*>(subject.data())), size(subject.size()),
          options(o), word_chars(o.word_chars ? *o.word_chars : kDefaultWordChars),
          ignore_case(r.flags & kIgnoreCase),
          budget(o.step_budget
                     ? o.step_budget
                     : kDefaultBudgetBase + kDefaultBudgetPerByte *
                                                (subject.size() - std::min(start, subject.size()))),
          ncap(2 * static_cast<std::size_t>(r.groups + 1)) {}

    bool is_word(std::size_t pos) const { return byteset_has(word_chars, text[pos]); }

    // Whether the zero-width instruction holds at pos.
    bool assertion_holds(Op op, std::size_t pos) const {
        switch (op) {
        case Op::Bol: return pos == 0 && !options.not_bol;
        case Op::Eol: return pos == size;
        case Op::WordBegin: return pos < size && is_word(pos) && (pos == 0 || !is_word(pos - 1));
        case Op::WordEnd: return pos > 0 && is_word(pos - 1) && (pos == size || !is_word(pos));
        default: return false;
        }
    }

    // Whether the one-byte instruction accepts the byte at pos (pos < size).
    bool consumes(const Inst& inst, std::size_t pos) const {
        unsigned char c = text[pos];
        switch (inst.op) {
        case Op::Char: return (ignore_case ? fold(c) : c) == static_cast<unsigned char>(inst.arg);
        case Op::Any: return true;
        case Op::Class: return byteset_has(re.classes[inst.arg], c);
        default: return false;
        }
    }

    // The first position at or after pos where a match could begin, or npos.
    std::size_t next_candidate(std::size_t pos) const {
        if (re.can_match_empty) return pos;
        if (pos >= size) return npos;
        if (!re.prefix.empty() && !ignore_case) {
            const void* hit = memmem(text + pos, size - pos, re.prefix.data(), re.prefix.size());
            return hit ? static_cast<const unsigned char*>(hit) - text : npos;
        }
        for (; pos < size; ++pos)
            if (byteset_has(re.first_bytes, text[pos])) return pos;
        return npos;
    }

    void fill_match(const std::size_t* caps, Match& match) const {
        match = Match{};
        for (std::size_t g = 0; g < ncap / 2; ++g) {
            if (caps[2 * g] != npos && caps[2 * g + 1] != npos)
                match.groups[g] = Span{caps[2 * g], caps[2 * g + 1]};
        }
        match.begin = match.groups[0].begin;
        match.end = match.groups[0].end;
    }
};

// A set of program counters in priority order, each with its capture slots.
struct ThreadList {
    std::int32_t* dense;
    std::int32_t* sparse;
    std::size_t* caps;
    std::size_t count = 0;

    bool contains(std::int32_t pc) const {
        std::int32_t i = sparse[pc];
        return i >= 0 && static_cast<std::size_t>(i) < count && dense[i] == pc;
    }
};

// The Pike machine: all threads advance together over the subject, one byte
// at a time, so the cost is bounded by the subject length times the program
// size. Threads keep the priority order of a backtracking matcher, so the
// result is the one backtracking would find.
struct PikeMachine {
    Context& cx;
    Scratch& scratch;
    ThreadList lists[2];

    PikeMachine(Context& c, Scratch& s) : cx(c), scratch(s) {
        std::size_t m = cx.re.code.size();
        for (int i = 0; i < 2; ++i) {
            // sparse needs no clearing: contains() checks dense, and stale
            // entries never point below count at a different pc.
            if (s.dense[i].size() < m) s.dense[i].resize(m);
            if (s.sparse[i].size() < m) s.sparse[i].assign(m, -1);
            if (s.caps[i].size() < m * cx.ncap) s.caps[i].resize(m * cx.ncap);
            lists[i] = ThreadList{s.dense[i].data(), s.sparse[i].data(), s.caps[i].data(), 0};
        }
        if (s.work_caps.size() < cx.ncap) s.work_caps.resize(cx.ncap);
    }

    // Adds the thread at pc with capture slots caps, following every
    // instruction that consumes nothing. Iterative: a stack holds the
    // alternatives still to explore and the capture slots to restore.
    bool add(ThreadList& list, std::int32_t pc0, std::size_t pos, const std::size_t* caps) {
        std::size_t* work = scratch.work_caps.data();
        std::copy(caps, caps + cx.ncap, work);
        std::vector<std::int64_t>& stack = scratch.stack;
        stack.clear();
        stack.push_back(pc0);
        while (!stack.empty()) {
            std::int64_t top = stack.back();
            stack.pop_back();
            if (top < 0) {
                // Restore a capture slot: the value is below the marker.
                std::size_t slot = static_cast<std::size_t>(-top - 1);
                work[slot] = static_cast<std::size_t>(stack.back());
                stack.pop_back();
                continue;
            }
            std::int32_t pc = static_cast<std::int32_t>(top);
            for (;;) {
                if (++cx.steps > cx.budget) return false;
                if (list.contains(pc)) break;
                std::size_t index = list.count++;
                list.dense[index] = pc;
                list.sparse[pc] = static_cast<std::int32_t>(index);
                const Inst& inst = cx.re.code[pc];
                if (inst.op == Op::Jump) {
                    pc = inst.arg;
                } else if (inst.op == Op::Split) {
                    stack.push_back(inst.arg2);
                    pc = inst.arg;
                } else if (inst.op == Op::Save) {
                    stack.push_back(static_cast<std::int64_t>(work[inst.arg]));
                    stack.push_back(-static_cast<std::int64_t>(inst.arg) - 1);
                    work[inst.arg] = pos;
                    ++pc;
                } else if (inst.op == Op::Bol || inst.op == Op::Eol || inst.op == Op::WordBegin ||
                           inst.op == Op::WordEnd) {
                    if (!cx.assertion_holds(inst.op, pos)) break;
                    ++pc;
                } else {
                    std::copy(work, work + cx.ncap, list.caps + index * cx.ncap);
                    break;
                }
            }
        }
        return true;
    }

    Status run(std::size_t start, bool anchored_here, Match& match) {
        ThreadList* current = &lists[0];
        ThreadList* next = &lists[1];
        current->count = 0;
        next->count = 0;
        std::vector<std::size_t>& start_caps = scratch.start_caps;
        std::vector<std::size_t>& best = scratch.best_caps;
        start_caps.assign(cx.ncap, npos);
        best.assign(cx.ncap, npos);
        bool matched = false;
        std::size_t pos = start;
        for (;;) {
            if (!matched && (!anchored_here || pos == start)) {
                if (current->count == 0 && !anchored_here) {
                    pos = cx.next_candidate(pos);
                    if (pos == npos) break;
                }
                if (!add(*current, 0, pos, start_caps.data())) return Status::TooComplex;
            }
            if (current->count == 0) break;
            for (std::size_t i = 0; i < current->count; ++i) {
                if (++cx.steps > cx.budget) return Status::TooComplex;
                std::int32_t pc = current->dense[i];
                const Inst& inst = cx.re.code[pc];
                const std::size_t* caps = current->caps + i * cx.ncap;
                if (inst.op == Op::Match) {
                    matched = true;
                    std::copy(caps, caps + cx.ncap, best.begin());
                    break; // lower-priority threads are cut off
                }
                if (pos < cx.size && cx.consumes(inst, pos)) {
                    if (!add(*next, pc + 1, pos + 1, caps)) return Status::TooComplex;
                }
            }
            std::swap(current, next);
            next->count = 0;
            if (pos >= cx.size) break;
            ++pos;
        }
        if (!matched) return Status::NotFound;
        cx.fill_match(best.data(), match);
        return Status::Found;
    }
};

// Backtracking with an explicit stack. Entries are pairs: (pc, pos) to try,
// or (-(slot+1), old value) to restore.
//
// Without back references, whether the rest of the program can match from a
// (pc, pos) pair depends on nothing else, so a pair that failed once fails
// again: with `remember_failures` a bitmap of the pairs already tried cuts
// every second visit, and the work is bounded by program size times subject
// length as in the Pike machine, with smaller constants on short lines.
Status backtrack(Context& cx, Scratch& scratch, std::size_t start, bool anchored_here,
                 bool remember_failures, Match& match) {
    std::vector<std::size_t>& caps = scratch.work_caps;
    std::vector<std::int64_t>& stack = scratch.stack;
    const std::vector<Inst>& code = cx.re.code;
    const std::size_t width = cx.size - start + 1;
    std::uint64_t* visited = nullptr;
    if (remember_failures) {
        scratch.visited.assign((code.size() * width + 63) / 64, 0);
        visited = scratch.visited.data();
    }
    // The stack may not grow past what the step budget could ever pop again.
    const std::size_t stack_limit = 4 * (std::size_t{1} << 20) + 4 * cx.size;
    std::size_t candidate = start;
    for (;;) {
        if (!anchored_here) {
            candidate = cx.next_candidate(candidate);
            if (candidate == npos) return Status::NotFound;
        }
        caps.assign(cx.ncap, npos);
        stack.clear();
        stack.push_back(0);
        stack.push_back(static_cast<std::int64_t>(candidate));
        while (!stack.empty()) {
            std::int64_t second = stack.back();
            stack.pop_back();
            std::int64_t first = stack.back();
            stack.pop_back();
            if (first < 0) {
                caps[static_cast<std::size_t>(-first - 1)] = static_cast<std::size_t>(second);
                continue;
            }
            std::int32_t pc = static_cast<std::int32_t>(first);
            std::size_t pos = static_cast<std::size_t>(second);
            for (;;) {
                if (++cx.steps > cx.budget) return Status::TooComplex;
                if (visited) {
                    std::size_t bit = static_cast<std::size_t>(pc) * width + (pos - start);
                    std::uint64_t mask = std::uint64_t{1} << (bit & 63);
                    if (visited[bit >> 6] & mask) break;
                    visited[bit >> 6] |= mask;
                }
                const Inst& inst = code[pc];
                bool ok = true;
                switch (inst.op) {
                case Op::Char:
                case Op::Any:
                case Op::Class:
                    ok = pos < cx.size && cx.consumes(inst, pos);
                    ++pos;
                    ++pc;
                    break;
                case Op::Bol:
                case Op::Eol:
                case Op::WordBegin:
                case Op::WordEnd:
                    ok = cx.assertion_holds(inst.op, pos);
                    ++pc;
                    break;
                case Op::Save:
                    if (stack.size() >= stack_limit) return Status::TooComplex;
                    stack.push_back(-static_cast<std::int64_t>(inst.arg) - 1);
                    stack.push_back(static_cast<std::int64_t>(caps[inst.arg]));
                    caps[inst.arg] = pos;
                    ++pc;
                    break;
                case Op::Split:
                    if (stack.size() >= stack_limit) return Status::TooComplex;
                    stack.push_back(inst.arg2);
                    stack.push_back(static_cast<std::int64_t>(pos));
                    pc = inst.arg;
                    break;
                case Op::Jump: pc = inst.arg; break;
                case Op::BackRef: {
                    std::size_t b = caps[2 * inst.arg];
                    std::size_t e = caps[2 * inst.arg + 1];
                    if (b == npos || e == npos) {
                        ok = false;
                        break;
                    }
                    std::size_t len = e - b;
                    if (len > cx.size - pos) {
                        ok = false;
                        break;
                    }
                    for (std::size_t k = 0; ok && k < len; ++k) {
                        unsigned char x = cx.text[b + k];
                        unsigned char y = cx.text[pos + k];
                        ok = cx.ignore_case ? fold(x) == fold(y) : x == y;
                    }
                    cx.steps += len;
                    pos += len;
                    ++pc;
                    break;
                }
                case Op::Match: cx.fill_match(caps.data(), match); return Status::Found;
                }
                if (!ok) break;
            }
        }
        if (anchored_here || candidate >= cx.size) return Status::NotFound;
        ++candidate;
    }
}

// Literal patterns need no machine at all.
Status search_literal(Context& cx, std::size_t start, bool anchored_here, Match& match) {
    const std::string& lit = cx.re.prefix;
    std::size_t found = npos;
    if (anchored_here) {
        if (lit.size() <= cx.size - start) {
            found = start;
            for (std::size_t k = 0; k < lit.size(); ++k) {
                unsigned char c = cx.text[start + k];
                if ((cx.ignore_case ? fold(c) : c) != static_cast<unsigned char>(lit[k])) {
                    found = npos;
                    break;
                }
            }
        }
    } else if (!cx.ignore_case) {
        const void* hit = memmem(cx.text + start, cx.size - start, lit.data(), lit.size());
        if (hit) found = static_cast<const unsigned char*>(hit) - cx.text;
    } else {
        for (std::size_t pos = start; pos + lit.size() <= cx.size && found == npos; ++pos) {
            if (!byteset_has(cx.re.first_bytes, cx.text[pos])) continue;
            std::size_t k = 1;
            while (k < lit.size() && fold(cx.text[pos + k]) == static_cast<unsigned char>(lit[k]))
                ++k;
            if (k == lit.size()) found = pos;
        }
    }
    if (found == npos) return Status::NotFound;
    match = Match{};
    match.begin = found;
    match.end = found + lit.size();
    match.groups[0] = Span{match.begin, match.end};
    return Status::Found;
}

// Sets of program counters as automaton states. A set holds the one-byte
// instructions waiting for the next byte, the Match instruction and the $
// instructions, which hold only at the end.
constexpr std::size_t kDfaMaxStates = 2048;

struct Dfa {
    const Regex& re;
    DfaCache& d;
    bool ignore_case;

    bool accepts_byte(const Inst& inst, unsigned char c) const {
        switch (inst.op) {
        case Op::Char: return (ignore_case ? fold(c) : c) == static_cast<unsigned char>(inst.arg);
        case Op::Any: return true;
        case Op::Class: return byteset_has(re.classes[inst.arg], c);
        default: return false;
        }
    }

    // The sorted set reachable from the seeds without consuming a byte.
    void closure(bool at_bol, bool at_end) {
        if (++d.stamp == 0) {
            std::fill(d.mark.begin(), d.mark.end(), 0);
            d.stamp = 1;
        }
        d.set.clear();
        d.todo.assign(d.seeds.begin(), d.seeds.end());
        while (!d.todo.empty()) {
            std::int32_t pc = d.todo.back();
            d.todo.pop_back();
            if (d.mark[pc] == d.stamp) continue;
            d.mark[pc] = d.stamp;
            const Inst& inst = re.code[pc];
            switch (inst.op) {
            case Op::Jump: d.todo.push_back(inst.arg); break;
            case Op::Split:
                d.todo.push_back(inst.arg2);
                d.todo.push_back(inst.arg);
                break;
            case Op::Save: d.todo.push_back(pc + 1); break;
            case Op::Bol:
                if (at_bol) d.todo.push_back(pc + 1);
                break;
            case Op::Eol:
                if (at_end)
                    d.todo.push_back(pc + 1);
                else
                    d.set.push_back(pc);
                break;
            default: d.set.push_back(pc); break;
            }
        }
        std::sort(d.set.begin(), d.set.end());
    }

    // The state number of d.set, made when new; -1 when there are too many.
    std::int32_t intern() {
        std::string key(reinterpret_cast<const char*>(d.set.data()),
                        d.set.size() * sizeof(std::int32_t));
        auto found = d.index.find(key);
        if (found != d.index.end()) return found->second;
        if (d.sets.size() >= kDfaMaxStates) return -1;
        std::int32_t state = static_cast<std::int32_t>(d.sets.size());
        std::vector<std::int32_t> members = d.set;
        std::uint8_t accepts = 0;
        d.seeds.clear();
        for (std::int32_t pc : members) {
            if (re.code[pc].op == Op::Match) accepts |= 1;
            if (re.code[pc].op == Op::Eol) d.seeds.push_back(pc + 1);
        }
        if (!accepts && !d.seeds.empty()) {
            closure(false, true);
            for (std::int32_t pc : d.set)
                if (re.code[pc].op == Op::Match) accepts |= 2;
        }
        d.sets.push_back(std::move(members));
        d.index.emplace(std::move(key), state);
        d.accepts.push_back(accepts);
        d.next.resize(d.sets.size() * 256, -1);
        return state;
    }

    std::int32_t step(std::int32_t state, unsigned char c) {
        d.seeds.clear();
        for (std::int32_t pc : d.sets[state])
            if (accepts_byte(re.code[pc], c)) d.seeds.push_back(pc + 1);
        if (!re.anchored) d.seeds.push_back(0); // a match may also begin after this byte
        closure(false, false);
        std::int32_t next = intern();
        if (next >= 0) d.next[static_cast<std::size_t>(state) * 256 + c] = next;
        return next;
    }

    std::int32_t start(bool at_bol) {
        std::int32_t& slot = at_bol ? d.start_bol_state : d.start_state;
        if (slot < 0) {
            d.seeds.assign(1, 0);
            closure(at_bol, false);
            slot = intern();
        }
        return slot;
    }
};

// Whether the automaton proves that no match begins at or after start. Gives
// false when a match exists or when the automaton grew too large.
bool dfa_rules_out(Context& cx, std::size_t start, Scratch& scratch) {
    const Regex& re = cx.re;
    DfaCache& d = scratch.dfa;
    if (d.regex_id != re.id) {
        d = DfaCache{};
        d.regex_id = re.id;
        d.mark.assign(re.code.size(), 0);
    }
    if (d.gave_up) return false;
    Dfa dfa{re, d, cx.ignore_case};
    std::size_t pos = start;
    if (!re.anchored) {
        pos = cx.next_candidate(start);
        if (pos == npos) return true;
    }
    std::int32_t state = dfa.start(re.anchored);
    if (state < 0) {
        d.gave_up = true;
        return false;
    }
    const bool skip_from_start = !re.anchored && !re.can_match_empty;
    while (pos < cx.size) {
        if (d.accepts[state] & 1) return false;
        if (state == d.start_state && skip_from_start) {
            // Nothing under way: jump to the next byte that can begin a match.
            pos = cx.next_candidate(pos);
            if (pos == npos) return true;
        }
        unsigned char c = cx.text[pos++];
        std::int32_t next = d.next[static_cast<std::size_t>(state) * 256 + c];
        if (next < 0) {
            next = dfa.step(state, c);
            if (next < 0) {
                d.gave_up = true;
                return false;
            }
        }
        state = next;
        if (re.anchored && d.sets[state].empty()) return true;
    }
    return (d.accepts[state] & 3) == 0;
}

Status run_search(const Regex& re, std::string_view subject, std::size_t start, bool anchored_here,
                  Match& match, const MatchOptions& options, Scratch* scratch) {
    match = Match{};
    if (re.code.empty() || start > subject.size()) return Status::NotFound;
    if (re.anchored) {
        // ^ holds only at position 0.
        if (start != 0 || options.not_bol) return Status::NotFound;
        anchored_here = true;
    }
    Context cx(re, subject, start, options);
    if (re.literal && options.engine == Engine::Automatic)
        return search_literal(cx, start, anchored_here, match);
    const Engine engine = options.engine;
    if (engine == Engine::Automatic && scratch && re.dfa_ok && !anchored_here &&
        dfa_rules_out(cx, start, *scratch))
        return Status::NotFound;
    Scratch local;
    Scratch& work = scratch ? *scratch : local;
    if (re.has_backrefs) return backtrack(cx, work, start, anchored_here, false, match);
    const bool small = re.code.size() * (subject.size() - start + 1) <= kBitStateMaxBits;
    if (engine == Engine::Backtrack || (engine == Engine::Automatic && small))
        return backtrack(cx, work, start, anchored_here, true, match);
    PikeMachine machine(cx, work);
    return machine.run(start, anchored_here, match);
}

} // namespace

Status search(const Regex& re, std::string_view subject, std::size_t start, Match& match,
              const MatchOptions& options, Scratch* scratch) {
    return run_search(re, subject, start, false, match, options, scratch);
}

Status match_at(const Regex& re, std::string_view subject, std::size_t pos, Match& match,
                const MatchOptions& options, Scratch* scratch) {
    return run_search(re, subject, pos, true, match, options, scratch);
}

void expand_replacement(std::string_view replacement, std::string_view subject, const Match& match,
                        const ReplaceSyntax& syntax, std::string& out) {
    auto group_text = [&](int g) {
        const Span& span = match.groups[g];
        if (span.matched()) out.append(subject.substr(span.begin, span.end - span.begin));
    };
    for (std::size_t i = 0; i < replacement.size(); ++i) {
        char c = replacement[i];
        if (syntax.backslash_groups && c == '\\' && i + 1 < replacement.size()) {
            char d = replacement[++i];
            if (d >= '0' && d <= '9')
                group_text(d - '0');
            else
                out.push_back(d);
        } else if ((syntax.ampersand && c == '&') || (syntax.arbchar != 0 && c == syntax.arbchar)) {
            group_text(0);
        } else {
            out.push_back(c);
        }
    }
}

SubstituteResult substitute(const Regex& re, std::string_view subject, std::string_view replacement,
                            const ReplaceSyntax& syntax, const SubstituteOptions& options,
                            Scratch* scratch) {
    SubstituteResult result;
    Scratch local;
    Scratch& work = scratch ? *scratch : local;
    std::size_t pos = options.start;
    std::size_t copied = 0; // subject bytes before this are in result.text
    std::size_t previous_end = npos;
    std::size_t occurrence = 0;
    Match match;
    while (pos <= subject.size() && result.changes < options.count) {
        Status status = search(re, subject, pos, match, options.match, &work);
        if (status == Status::TooComplex) {
            result.text = std::string(subject);
            result.changes = 0;
            result.status = Status::TooComplex;
            return result;
        }
        if (status == Status::NotFound) break;
        bool empty = match.begin == match.end;
        if (empty && match.begin == previous_end) {
            // No empty occurrence right after the previous one.
            pos = match.begin + 1;
            continue;
        }
        ++occurrence;
        if (occurrence >= options.first) {
            result.text.append(subject.substr(copied, match.begin - copied));
            expand_replacement(replacement, subject, match, syntax, result.text);
            copied = match.end;
            ++result.changes;
        }
        previous_end = match.end;
        pos = empty ? match.end + 1 : match.end;
    }
    result.text.append(subject.substr(copied));
    result.status = result.changes > 0 ? Status::Found : Status::NotFound;
    return result;
}

} // namespace vre
