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
#include <memory>
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
// hashes to digits_hash of its value, so such a tail is found without text.
uint64_t name_hash(std::string_view name);
uint64_t digits_hash(uint64_t value);

enum class VarState : uint8_t { Dropped = 0, Set = 1, Exposed = 2 };

class VarTable;
struct Generation;

struct Variable {
    VarState state = VarState::Dropped;
    bool is_stem = false;
    bool whole_name = false; // a compound named by the plain digits of a number
    uint32_t seq = 0;        // creation order within the generation
    uint64_t hash = 0;
    Variable* target = nullptr;      // Exposed: the caller's record
    Generation* owner = nullptr;     // the generation whose arena holds the record
    std::string name;                // simple name, stem "A." or a compound's tail
    RexxValue value;                 // meaningful in state Set
    std::unique_ptr<VarTable> tails; // a stem's compounds
};

// Open-addressing table of records keyed by name.
class VarTable {
  public:
    Variable* find(std::string_view name, uint64_t hash) const;
    // The record named by the plain decimal writing of value.
    Variable* find_whole(uint64_t value, uint64_t hash) const;
    void insert(Variable* v);
    size_t size() const { return count_; }
    // The record a lookup by text found or made last (records stay in the
    // table for its whole life, so this never dangles).
    Variable* recent = nullptr;
    template <class F>
    void each(F&& f) const {
        for (const Slot& s : slots_)
            if (s.v) f(s.v);
    }

  private:
    void grow();
    struct Slot {
        uint64_t hash = 0;
        Variable* v = nullptr;
    };
    std::vector<Slot> slots_;
    size_t count_ = 0;
};

struct Generation {
    uint64_t id = 0;
    Generation* caller = nullptr;
    VarTable vars; // simple variables and stems
    std::vector<std::unique_ptr<Variable[]>> chunks;
    size_t chunk_used = 0, chunk_size = 0;
    uint32_t next_seq = 0;
    Variable* new_record();
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
};

struct SymbolRef {
    SymbolKind kind = SymbolKind::Simple;
    std::string text; // folded full text
    VarRef base;      // the simple name, or the stem key "ABC."
    std::vector<TailPart> tails;
    // A compound whose tail parts are all constant (A.0, B.1.X0): the
    // derived tail is fixed, so its record is remembered like a simple one.
    bool fixed_tail = false;
    VarRef fixed; // the derived tail, its hash and the record last found
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
