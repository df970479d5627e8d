#pragma once
// The variable pool: generations of variables (one per PROCEDURE level)
// linked by exposure, stems with their compounds and default, DROP, and the
// label table.
//
// Symbols are analysed once (analyse_symbol) when the program is read: the
// folded name, its hash, the stem and the tail parts. Every later access
// only substitutes tail values. A SymbolRef also remembers the record it
// found last, tagged with the generation's id; ids are never reused, so a
// stale cache is simply a miss.
//
// Records are never freed while their generation lives (a dropped variable
// keeps its record in state Dropped), so an exposed record can point
// straight at the caller's record.
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "rexx/core/values.h"

namespace tolma {

struct Interp;

// How symbol names are folded (the OPTION case mode): NotSet and Upper fold
// ASCII letters to upper case, Lower to lower case, Mixed leaves them as
// written. The values are those of the lexer's program option, in order.
enum class NameCase : uint8_t { NotSet, Upper, Lower, Mixed };
std::string fold_case(std::string_view text, NameCase mode);
inline bool lower_case_names(NameCase m) {
    return m == NameCase::Lower || m == NameCase::Mixed;
}

// The pool's hash of a name: bucket order of the "Show" dump.
unsigned show_hash(std::string_view name);
// The table hash of a name. The plain decimal writing of a whole number
// below 10**18 hashes to digits_hash of its value, so such a tail is found
// without text; every other name hashes to kTextHash or above. digits_hash
// is one-to-one, so two plain-digit names are equal when their hashes are.
constexpr uint64_t kTextHash = uint64_t{1} << 63;
uint64_t name_hash(std::string_view name);
inline uint64_t digits_hash(uint64_t v) {
    return v ^ (v >> 12) ^ (v >> 24);
}

enum class VarState : uint8_t { Dropped = 0, Set = 1, Exposed = 2 };

class VarTable;
struct Generation;

// A record's name: up to 15 bytes inline, a longer one on the heap. A
// compound tail found by its whole-number value keeps the number, and its
// digits are written only when the name is shown.
class VarName {
  public:
    VarName() noexcept { raw_[kTagByte] = 0; }
    VarName(const VarName&) = delete;
    VarName& operator=(const VarName&) = delete;
    ~VarName() {
        if (raw_[kTagByte] == kHeap) delete[] heap_data();
    }
    void assign(std::string_view text);
    void set_whole(uint64_t n) {
        release();
        std::memcpy(raw_, &n, 8);
        raw_[kTagByte] = kWhole;
    }
    bool is_whole() const { return raw_[kTagByte] == kWhole; }
    // The text of a name not kept as a number.
    [[gnu::always_inline]] std::string_view text() const {
        uint8_t tag = raw_[kTagByte];
        if (tag <= kMaxInline) return {reinterpret_cast<const char*>(raw_), tag};
        uint32_t n;
        std::memcpy(&n, raw_ + 8, 4);
        return {heap_data(), n};
    }
    void append_to(std::string& out) const;
    std::string str() const {
        std::string s;
        append_to(s);
        return s;
    }

  private:
    static constexpr size_t kTagByte = 15;
    static constexpr uint8_t kMaxInline = 15, kHeap = 0x80, kWhole = 0x81;
    char* heap_data() const {
        char* p;
        std::memcpy(&p, raw_, sizeof p);
        return p;
    }
    void release() {
        if (raw_[kTagByte] == kHeap) delete[] heap_data();
        raw_[kTagByte] = 0;
    }
    // Inline: the bytes, the length in the last byte. Heap: the pointer,
    // the length at byte 8. Whole: the number. The last byte tells which.
    alignas(8) uint8_t raw_[16];
};

struct Variable {
    VarState state = VarState::Dropped;
    bool is_stem = false;
    uint32_t seq = 0; // creation order within the generation
    union {
        Variable* target = nullptr; // state Exposed: the caller's record
        VarTable* tails;            // a stem's own record otherwise: its compounds (owned)
    };
    VarName name;    // simple name, stem "A." or a compound's tail
    RexxValue value; // meaningful in state Set

    Variable() noexcept {}
    Variable(const Variable&) = delete;
    Variable& operator=(const Variable&) = delete;
    ~Variable();
    // The stem's table of compounds; null for other records.
    VarTable* stem_table() const { return is_stem && state != VarState::Exposed ? tails : nullptr; }
};

// Open-addressing tables of records keyed by name, with linear probing.
// Names made of plain digits live apart from the others and are compared by
// their hash alone: loops over a stem's numbered elements then probe
// neighbouring slots, and a text name never has to walk past a long run of
// numbered ones. The slots hold the hashes, so a record need not.
//
// Numbered names start out placed by their hash as it is, which keeps a run
// of numbers in a run of slots. Two runs far apart can land on the same
// slots, though (1..N and 2**20+1..2**20+N), and then every lookup of the
// second walks the whole first run. The first probe that walks that far
// places the table's entries by a scrambled hash from then on.
class VarTable {
  public:
    VarTable() = default;
    explicit VarTable(Generation* home) : home(home) {}
    VarTable(const VarTable&) = delete;
    VarTable& operator=(const VarTable&) = delete;

    [[gnu::always_inline]] Variable* find(std::string_view name, uint64_t hash) {
        return hash < kTextHash ? whole_.find(hash) : text_.find(name, hash);
    }
    // The record of a plain-digit name by its hash alone.
    [[gnu::always_inline]] Variable* find_whole(uint64_t hash) { return whole_.find(hash); }
    void insert(Variable* v, uint64_t hash) { (hash < kTextHash ? whole_ : text_).insert(v, hash); }
    size_t size() const { return whole_.count + text_.count; }
    template <class F>
    void each(F&& f) const {
        whole_.each(f);
        text_.each(f);
    }
    // Empties the table. Slot arrays of at most keep_slots slots keep their
    // room, so a reused generation fills them without allocating.
    void clear(size_t keep_slots = 0) {
        whole_.clear(keep_slots);
        text_.clear(keep_slots);
    }
    // Whether the numbered names are placed by a scrambled hash.
    bool scrambled() const { return whole_.scrambled; }

    // A stem's table: the generation whose records its compounds are.
    Generation* home = nullptr;

  private:
    struct Slot {
        uint64_t hash = 0;
        Variable* v = nullptr;
    };
    static uint64_t load8(const char* p) {
        uint64_t w;
        std::memcpy(&w, p, 8);
        return w;
    }
    static uint32_t load4(const char* p) {
        uint32_t w;
        std::memcpy(&w, p, 4);
        return w;
    }
    // Whether two names are equal, compared a word at a time where they
    // are long enough.
    [[gnu::always_inline]] static bool same_name(const VarName& name, std::string_view b) {
        std::string_view a = name.text();
        size_t n = b.size();
        if (a.size() != n) return false;
        const char* x = a.data();
        const char* y = b.data();
        if (n >= 8) {
            if (n > 16) return std::memcmp(x, y, n) == 0;
            return load8(x) == load8(y) && load8(x + n - 8) == load8(y + n - 8);
        }
        if (n >= 4) return load4(x) == load4(y) && load4(x + n - 4) == load4(y + n - 4);
        for (size_t i = 0; i < n; ++i)
            if (x[i] != y[i]) return false;
        return true;
    }
    // A probe this long in a table placed by the plain hash makes it
    // scrambled.
    static constexpr size_t kLongProbe = 64;
    static size_t scramble(uint64_t hash) {
        uint64_t x = hash * 0x9e3779b97f4a7c15ULL;
        return static_cast<size_t>(x ^ (x >> 32));
    }
    struct Slots {
        Slot* slots = nullptr;
        size_t mask = 0;
        size_t count = 0;
        size_t limit = 0; // count that makes the table grow: 3/4 full
        bool scrambled = false;
        [[gnu::always_inline]] size_t home(uint64_t hash) const {
            return (scrambled ? scramble(hash) : hash) & mask;
        }
        Slots() = default;
        Slots(const Slots&) = delete;
        Slots& operator=(const Slots&) = delete;
        ~Slots() { reset(); }
        [[gnu::always_inline]] Variable* find(uint64_t hash) {
            if (!count) return nullptr;
            size_t i = home(hash);
            for (size_t steps = 0;; ++steps) {
                const Slot& s = slots[i];
                if (!s.v) return nullptr;
                if (s.hash == hash) return s.v;
                i = (i + 1) & mask;
                if (steps == kLongProbe) return find_far(hash);
            }
        }
        Variable* find_far(uint64_t hash);
        [[gnu::always_inline]] Variable* find(std::string_view name, uint64_t hash) const {
            if (!count) return nullptr;
            for (size_t i = home(hash);; i = (i + 1) & mask) {
                const Slot& s = slots[i];
                if (!s.v) return nullptr;
                if (s.hash == hash && same_name(s.v->name, name)) return s.v;
            }
        }
        void insert(Variable* v, uint64_t hash) {
            if (count >= limit) grow();
            size_t i = home(hash);
            for (size_t steps = 0; slots[i].v; ++steps) {
                i = (i + 1) & mask;
                if (steps == kLongProbe && !scrambled) {
                    rehash(true);
                    i = home(hash);
                    steps = 0;
                }
            }
            slots[i] = Slot{hash, v};
            ++count;
        }
        void grow() { rehash(false); }
        // Doubles the table, or places its entries by the scrambled hash
        // at the same size.
        void rehash(bool scramble_now);
        void reset();
        void clear(size_t keep_slots) {
            if (!slots) return;
            if (mask + 1 > keep_slots) {
                reset();
            } else if (count) {
                std::memset(static_cast<void*>(slots), 0, (mask + 1) * sizeof(Slot));
                count = 0;
                scrambled = false;
            }
        }
        template <class F>
        void each(F&& f) const {
            if (count)
                for (size_t i = 0; i <= mask; ++i)
                    if (slots[i].v) f(slots[i].v);
        }
    };
    Slots whole_, text_;
};

// A generation's records live in chunks that never move: small ones from
// the heap at first, then huge-page blocks once the generation holds many.
// A record is built when it is handed out, so pages of a chunk are touched
// only as records are used.
struct RecordChunk {
    Variable* records = nullptr;
    size_t capacity = 0;
    size_t bytes = 0;    // the block's size
    bool mapped = false; // a block from the system rather than the heap
};

struct Generation {
    uint64_t id = 0;
    Generation* caller = nullptr;
    VarTable vars; // simple variables and stems
    std::vector<RecordChunk> chunks;
    size_t chunk_used = 0; // records handed out from chunks.back()
    uint32_t next_seq = 0;

    Generation() = default;
    Generation(const Generation&) = delete;
    Generation& operator=(const Generation&) = delete;
    ~Generation();
    Variable* new_record() {
        if (chunks.empty() || chunk_used == chunks.back().capacity) add_chunk();
        Variable* v = new (chunks.back().records + chunk_used++) Variable();
        v->seq = next_seq++;
        return v;
    }
    void add_chunk();
    // Destroys every record; keeps the first chunk's memory for reuse.
    void clear_records();
};

// A name with its hash and the record last found for it.
struct VarRef {
    std::string name;
    uint64_t hash = 0;
    mutable uint64_t gen_id = 0;
    mutable Variable* rec = nullptr;
};

enum class SymbolKind : uint8_t {
    Simple,   // ABC
    Stem,     // ABC.
    Compound, // ABC.X.1
    Invalid,  // starts with "." or a digit: error 31 when used as a variable
};

struct TailPart {
    VarRef var;            // the part's name, looked up as a simple variable
    bool constant = false; // empty or starting with a digit: used as written
    // The generation (and its number of records) in which the variable was
    // last looked for and not found: it cannot appear without a new record.
    mutable uint64_t missing_gen = 0;
    mutable size_t missing_count = 0;
};

struct SymbolRef {
    SymbolKind kind = SymbolKind::Simple;
    std::string text; // folded full text
    VarRef base;      // the simple name, or the stem key "ABC."
    std::vector<TailPart> tails;
    // One tail part, a variable (A.I): the common case, looked up first.
    bool var_tail = false;
    // A compound whose tail parts are all constant (A.0, B.1.X0): the
    // derived tail is fixed, so its record is remembered like a simple one.
    bool fixed_tail = false;
    VarRef fixed; // the derived tail, its hash and the record last found
    // (also the record of A.I while I has no record: the tail is then "I")
};

// Done once per symbol token; the result is stored in the tree node.
SymbolRef analyse_symbol(std::string_view text, NameCase mode);

// ---------------------------------------------------------------- labels

struct Label {
    std::string name;
    const void* clause = nullptr; // the executor's clause
    int line = 0;
    bool nested = false; // inside a DO, SELECT or IF list: cannot be called
};

struct LabelTable {
    std::unordered_map<std::string, Label> labels;
    // The first definition of a name wins. Quoted names are not folded.
    void add(std::string_view name, bool quoted, NameCase mode, const void* clause, int line,
             bool nested);
    const Label* find(std::string_view folded_name) const;
};

// ---------------------------------------------------------------- the pool

struct Pool {
    std::vector<std::unique_ptr<Generation>> levels; // [0]: the program level
    std::vector<std::unique_ptr<Generation>> spare;  // released, reused by PROCEDURE
    LabelTable labels;
    std::string scratch; // a compound's derived tail
    uint64_t next_id = 1;

    Generation* top = nullptr; // levels.back(), kept at hand for every lookup
    uint64_t top_id = 0;       // top->id, one load away for the executor's record checks

    Pool();
    Generation& current() { return *top; }
    int depth() const { return static_cast<int>(levels.size()) - 1; }
};

// Finds name in g; follow_exposure walks state-2 records into the callers;
// create adds a missing record (state Dropped).
Variable* find_variable(Generation& g, std::string_view name, uint64_t hash, bool create,
                        bool follow_exposure);

// The value of a symbol: its record's value, a compound's stem default, or
// null when it has none. No condition is raised. Error 31 for invalid names.
RexxValue* find_value(Interp& in, const SymbolRef& s);
// Like find_value, but a symbol without a value raises NOVALUE (when
// trapped) and yields its own name (a compound: the derived name), built in
// fallback.
const RexxValue& fetch_value(Interp& in, const SymbolRef& s, RexxValue& fallback);
RexxValue get_value(Interp& in, const SymbolRef& s);

// Assignment; to a stem it sets the default and drops every compound.
void set_value(Interp& in, const SymbolRef& s, RexxValue v);
void drop_symbol(Interp& in, const SymbolRef& s);
// DROP (name): each word of the list is a name to drop (folded per case mode).
void drop_list(Interp& in, std::string_view list);

// By-name forms for the library (RC, SIGL, RESULT, PARSE targets, EXTRACT).
// The name is taken as spelt; a compound's tail parts are substituted.
void set_var(Interp& in, std::string_view name, std::string_view text);
void set_var(Interp& in, std::string_view name, RexxValue v);
RexxValue* get_var(Interp& in, std::string_view name);
void drop_var(Interp& in, std::string_view name);
// The derived name of a compound (the name itself for other symbols).
std::string derived_name(Interp& in, const SymbolRef& s);

// PROCEDURE: a new generation whose caller is the current one; released at
// the routine's return. EXPOSE gives the generation a new id, so that no
// record remembered before it is used after.
void new_generation(Interp& in);
void release_generation(Interp& in);
// EXPOSE name (simple, stem or compound) into the current generation.
void expose(Interp& in, const SymbolRef& s);
void expose_list(Interp& in, std::string_view list);

// Diagnostic dump of a generation to the output sink.
void show_generation(Interp& in, const Generation& g, int level);
void show_pool(Interp& in);

} // namespace tolma
