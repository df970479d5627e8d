#include "rexx/core/pool.h"

#include <algorithm>
#include <cstring>

#include "rexx/core/arith.h"
#include "rexx/core/errors.h"
#include "rexx/core/interp.h"

#include "platform/memory.h"

namespace tolma {

// ---------------------------------------------------------------- names

std::string fold_case(std::string_view text, NameCase mode) {
    std::string s(text);
    if (mode == NameCase::Mixed) return s;
    if (mode == NameCase::Lower) {
        for (char& c : s)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    } else {
        for (char& c : s)
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    }
    return s;
}

unsigned show_hash(std::string_view name) {
    if (name.empty()) return 0;
    int h = static_cast<signed char>(name[0]);
    for (size_t i = 1; i <= name.size(); ++i) {
        int b = i < name.size() ? static_cast<signed char>(name[i]) : 0;
        h = (h * 31 + b) & 0x9FFF;
    }
    return static_cast<unsigned>(h);
}

namespace {

uint64_t load8(const char* p) {
    uint64_t w;
    std::memcpy(&w, p, 8);
    return w;
}

uint64_t load4(const char* p) {
    uint32_t w;
    std::memcpy(&w, p, 4);
    return w;
}

// The two halves of the 128-bit product folded together.
uint64_t mix(uint64_t a, uint64_t b) {
    unsigned __int128 r = static_cast<unsigned __int128>(a) * b;
    return static_cast<uint64_t>(r) ^ static_cast<uint64_t>(r >> 64);
}

constexpr uint64_t kSeed0 = 0xa0761d6478bd642fULL;
constexpr uint64_t kSeed1 = 0xe7037ed1a0b428dbULL;
constexpr uint64_t kSeed2 = 0x8ebc6af09c88c6e3ULL;

// name_hash, kept inline for the lookups below.
[[gnu::always_inline]] inline uint64_t hash_name(std::string_view name) {
    const char* p = name.data();
    size_t n = name.size();
    // Tails like a.1, a.2, ... hash to neighbouring slots so that loops over
    // a stem walk memory in order; digits_hash folds the high bits down to
    // spread strided keys such as multiples of 1024.
    if (n && n <= 18 && p[0] >= '0' && p[0] <= '9' && (p[0] != '0' || n == 1)) {
        uint64_t v = 0;
        size_t i = 0;
        for (; i < n && p[i] >= '0' && p[i] <= '9'; ++i)
            v = v * 10 + static_cast<uint64_t>(p[i] - '0');
        if (i == n) return digits_hash(v);
    }
    // Other names: a word at a time. Up to 16 bytes are read as two
    // (possibly overlapping) words; longer names in 16-byte steps and then
    // their last 16 bytes. The length goes into the result, so overlapping
    // reads of different lengths do not meet.
    uint64_t a = 0, b = 0, seed = kSeed0;
    if (n <= 16) {
        if (n >= 8) {
            a = load8(p);
            b = load8(p + n - 8);
        } else if (n >= 4) {
            a = load4(p);
            b = load4(p + n - 4);
        } else if (n) {
            a = uint64_t{static_cast<unsigned char>(p[0])} << 16 |
                uint64_t{static_cast<unsigned char>(p[n >> 1])} << 8 |
                static_cast<unsigned char>(p[n - 1]);
        }
    } else {
        for (size_t i = 0; i + 16 < n; i += 16)
            seed = mix(load8(p + i) ^ kSeed1, load8(p + i + 8) ^ seed);
        a = load8(p + n - 16);
        b = load8(p + n - 8);
    }
    return mix(kSeed2 ^ n, mix(a ^ kSeed1, b ^ seed)) | kTextHash;
}

} // namespace

uint64_t name_hash(std::string_view name) {
    return hash_name(name);
}

// ---------------------------------------------------------------- records

void VarName::assign(std::string_view text) {
    release();
    size_t n = text.size();
    if (n <= kMaxInline) {
        std::memcpy(raw_, text.data(), n);
        raw_[kTagByte] = static_cast<uint8_t>(n);
        return;
    }
    char* p = new char[n];
    std::memcpy(p, text.data(), n);
    std::memcpy(raw_, &p, sizeof p);
    uint32_t len = static_cast<uint32_t>(n);
    std::memcpy(raw_ + 8, &len, 4);
    raw_[kTagByte] = kHeap;
}

void VarName::append_to(std::string& out) const {
    if (!is_whole()) {
        out += text();
        return;
    }
    uint64_t n;
    std::memcpy(&n, raw_, 8);
    char digits[24];
    char* end = digits + sizeof digits;
    char* p = end;
    do {
        *--p = static_cast<char>('0' + n % 10);
        n /= 10;
    } while (n);
    out.append(p, static_cast<size_t>(end - p));
}

Variable::~Variable() {
    if (is_stem && state != VarState::Exposed) delete tails;
}

// ---------------------------------------------------------------- tables

namespace {

// Slot arrays of a huge page or more come from the system, zeroed and
// advised for huge pages; smaller ones from the heap.
constexpr size_t kSlotSize = 16;

bool mapped_slots(size_t n) {
    return n * kSlotSize >= voren::platform::kHugePageSize;
}

} // namespace

void VarTable::Slots::reset() {
    if (slots) {
        size_t n = mask + 1;
        if (mapped_slots(n))
            voren::platform::unmap_block(slots, n * sizeof(Slot));
        else
            delete[] slots;
    }
    slots = nullptr;
    mask = count = limit = 0;
    scrambled = false;
}

void VarTable::Slots::rehash(bool scramble_now) {
    static_assert(sizeof(Slot) == kSlotSize);
    Slot* old = slots;
    size_t old_n = old ? mask + 1 : 0;
    size_t n = scramble_now ? old_n : old_n ? old_n * 2 : 8;
    if (scramble_now) scrambled = true;
    // Fresh pages from the system are zero already: empty slots need no
    // writing.
    slots = mapped_slots(n)
                ? static_cast<Slot*>(voren::platform::map_zeroed_block(n * sizeof(Slot)))
                : new Slot[n]();
    mask = n - 1;
    limit = n / 4 * 3;
    for (size_t j = 0; j < old_n; ++j) {
        const Slot& s = old[j];
        if (!s.v) continue;
        size_t i = home(s.hash);
        while (slots[i].v)
            i = (i + 1) & mask;
        slots[i] = s;
    }
    if (old) {
        if (mapped_slots(old_n))
            voren::platform::unmap_block(old, old_n * sizeof(Slot));
        else
            delete[] old;
    }
}

// A lookup that walked kLongProbe slots: a table still placed by the plain
// hash is scrambled and searched again; a scrambled one is searched on.
Variable* VarTable::Slots::find_far(uint64_t hash) {
    if (!scrambled) {
        rehash(true);
        return find(hash);
    }
    for (size_t i = home(hash);; i = (i + 1) & mask) {
        const Slot& s = slots[i];
        if (!s.v) return nullptr;
        if (s.hash == hash) return s.v;
    }
}

namespace {

constexpr size_t kFirstChunk = 4;
// Heap chunks double up to this size; beyond it a generation gets its
// records in huge-page blocks.
constexpr size_t kLargestHeapChunk = size_t{1} << 20;

void destroy_records(RecordChunk& c, size_t used) {
    for (size_t i = 0; i < used; ++i)
        c.records[i].~Variable();
}

void free_chunk(RecordChunk& c) {
    if (c.mapped)
        voren::platform::unmap_block(c.records, c.bytes);
    else
        ::operator delete (c.records, std::align_val_t{alignof(Variable)});
    c = RecordChunk{};
}

} // namespace

void Generation::add_chunk() {
    RecordChunk c;
    c.capacity = chunks.empty() ? kFirstChunk : chunks.back().capacity * 2;
    c.bytes = c.capacity * sizeof(Variable);
    if (c.bytes > kLargestHeapChunk) {
        c.bytes = voren::platform::kHugePageSize;
        c.capacity = c.bytes / sizeof(Variable);
        c.mapped = true;
        c.records = static_cast<Variable*>(voren::platform::map_zeroed_block(c.bytes));
    } else {
        c.records =
            static_cast<Variable*>(::operator new (c.bytes, std::align_val_t{alignof(Variable)}));
    }
    chunks.push_back(c);
    chunk_used = 0;
}

void Generation::clear_records() {
    for (size_t i = 0; i < chunks.size(); ++i)
        destroy_records(chunks[i], i + 1 == chunks.size() ? chunk_used : chunks[i].capacity);
    // The records' tables are gone; keep the first chunk for the next use.
    for (size_t i = 1; i < chunks.size(); ++i)
        free_chunk(chunks[i]);
    if (chunks.size() > 1) chunks.resize(1);
    chunk_used = 0;
    next_seq = 0;
}

Generation::~Generation() {
    clear_records();
    vars.clear();
    for (RecordChunk& c : chunks)
        free_chunk(c);
}

Pool::Pool() {
    levels.push_back(std::make_unique<Generation>());
    levels.back()->id = next_id++;
    top = levels.back().get();
    top_id = top->id;
}

// ---------------------------------------------------------------- analysis

SymbolRef analyse_symbol(std::string_view text, NameCase mode) {
    SymbolRef s;
    s.text = fold_case(text, mode);
    if (s.text.empty() || s.text[0] == '.' || (s.text[0] >= '0' && s.text[0] <= '9')) {
        s.kind = SymbolKind::Invalid;
        return s;
    }
    size_t dot = s.text.find('.');
    if (dot == std::string::npos) {
        s.kind = SymbolKind::Simple;
        s.base.name = s.text;
    } else {
        s.base.name = s.text.substr(0, dot + 1);
        if (dot + 1 == s.text.size()) {
            s.kind = SymbolKind::Stem;
        } else {
            s.kind = SymbolKind::Compound;
            size_t start = dot + 1;
            for (;;) {
                size_t next = s.text.find('.', start);
                size_t end = next == std::string::npos ? s.text.size() : next;
                TailPart part;
                part.var.name = s.text.substr(start, end - start);
                part.var.hash = name_hash(part.var.name);
                part.constant =
                    part.var.name.empty() || (part.var.name[0] >= '0' && part.var.name[0] <= '9');
                s.tails.push_back(std::move(part));
                if (next == std::string::npos) break;
                start = next + 1;
            }
            s.var_tail = s.tails.size() == 1 && !s.tails[0].constant;
            s.fixed_tail = true;
            for (const TailPart& part : s.tails)
                if (!part.constant) s.fixed_tail = false;
            if (s.fixed_tail) {
                s.fixed.name = s.text.substr(dot + 1);
                s.fixed.hash = name_hash(s.fixed.name);
            }
        }
    }
    s.base.hash = name_hash(s.base.name);
    return s;
}

// ---------------------------------------------------------------- lookup

Variable* find_variable(Generation& g, std::string_view name, uint64_t hash, bool create,
                        bool follow_exposure) {
    Variable* v = g.vars.find(name, hash);
    if (!v && create) {
        v = g.new_record();
        v->name.assign(name);
        if (!name.empty() && name.back() == '.') {
            v->is_stem = true;
            v->tails = new VarTable(&g);
        }
        g.vars.insert(v, hash);
    }
    if (v && follow_exposure)
        while (v->state == VarState::Exposed)
            v = v->target;
    return v;
}

namespace {

[[gnu::always_inline]] inline Variable* follow(Variable* v) {
    while (v->state == VarState::Exposed)
        v = v->target;
    return v;
}

// The current generation's record for r, through the cache.
[[gnu::always_inline]] inline Variable* lookup(Interp& in, const VarRef& r, bool create) {
    Generation& g = in.pool.current();
    if (r.gen_id == g.id) return r.rec;
    Variable* v = find_variable(g, r.name, r.hash, create, false);
    if (v) {
        r.gen_id = g.id;
        r.rec = v;
    }
    return v;
}

// The variable a tail part names (exposure followed), or null when the
// current generation has no record of it. A miss is remembered too: no
// record can appear without the generation's table growing.
[[gnu::noinline]] Variable* part_variable_slow(Generation& g, const TailPart& p) {
    Variable* v = g.vars.find(p.var.name, p.var.hash);
    if (!v) {
        p.missing_gen = g.id;
        p.missing_count = g.vars.size();
        return nullptr;
    }
    p.var.gen_id = g.id;
    p.var.rec = v;
    return follow(v);
}

// Whether the part's variable is known to have no record in g.
[[gnu::always_inline]] inline bool missing(const Generation& g, const TailPart& p) {
    return p.missing_gen == g.id && p.missing_count == g.vars.size();
}

[[gnu::always_inline]] inline Variable* part_variable(Interp& in, const TailPart& p) {
    Generation& g = in.pool.current();
    if (p.var.gen_id == g.id) return follow(p.var.rec);
    if (missing(g, p)) return nullptr;
    return part_variable_slow(g, p);
}

std::string_view part_text(Interp& in, const TailPart& p) {
    if (p.constant) return p.var.name;
    Variable* v = part_variable(in, p);
    if (v && v->state == VarState::Set) return v->value.text(in.numeric);
    return p.var.name;
}

// The derived tail of a compound. Valid until the pool changes.
std::string_view build_tail(Interp& in, const SymbolRef& s) {
    if (s.tails.size() == 1) return part_text(in, s.tails[0]);
    std::string& b = in.pool.scratch;
    b.clear();
    for (size_t i = 0; i < s.tails.size(); ++i) {
        if (i) b += '.';
        b += part_text(in, s.tails[i]);
    }
    return b;
}

// A stem's record keeps its table of compounds.
void clear_record(Variable* v) {
    if (v->state == VarState::Exposed) v->target = nullptr;
    v->state = VarState::Dropped;
    v->value = RexxValue();
}

void drop_compounds(Variable* stem) {
    if (VarTable* t = stem->stem_table()) t->each([](Variable* c) { clear_record(c); });
}

[[gnu::always_inline]] inline Variable* stem_record(Interp& in, const SymbolRef& s, bool create) {
    Variable* stem = lookup(in, s.base, create);
    return stem ? follow(stem) : nullptr;
}

// A compound's derived tail as a lookup key, hashed once. A tail that is
// one variable holding a whole number (a loop index) is keyed by its value,
// without writing its digits: the digits' hash is a function of the value.
struct TailKey {
    std::string_view text; // unless by_value
    uint64_t hash = 0;
    bool by_value = false;
    uint64_t value = 0;
};

const double kTailLimit[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                             1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

[[gnu::always_inline]] inline TailKey text_key(std::string_view text) {
    TailKey k;
    k.text = text;
    k.hash = hash_name(text);
    return k;
}

// A tail written as the part's own name: its hash is known already.
TailKey name_key(const TailPart& p) {
    TailKey k;
    k.text = p.var.name;
    k.hash = p.var.hash;
    return k;
}

// Whether x is a number whose text is its plain digits (below 10**DIGITS,
// so never written in exponential form), and which.
[[gnu::always_inline]] inline bool whole_tail_value(const Interp& in, const RexxValue& x,
                                                    uint64_t& n) {
    if (!x.is_number_form() || x.places() > 0) return false;
    double d = x.num();
    if (!(d >= 0 && d < kTailLimit[in.numeric.digits])) return false;
    n = static_cast<uint64_t>(d);
    return static_cast<double>(n) == d;
}

TailKey value_key(uint64_t n) {
    TailKey k;
    k.by_value = true;
    k.value = n;
    k.hash = digits_hash(n);
    return k;
}

[[gnu::always_inline]] inline TailKey tail_key(Interp& in, const SymbolRef& s) {
    if (s.tails.size() != 1) return text_key(build_tail(in, s));
    const TailPart& p = s.tails[0];
    if (p.constant) return name_key(p);
    Variable* v = part_variable(in, p);
    if (!v || v->state != VarState::Set) return name_key(p);
    uint64_t n;
    if (whole_tail_value(in, v->value, n)) return value_key(n);
    return text_key(v->value.text(in.numeric));
}

// A new compound record in stem for a tail not found there.
// A new compound record in stem for a tail not found there. A tail keyed
// by its value keeps the value as its name.
Variable* new_compound(Variable* stem, const TailKey& k) {
    VarTable* t = stem->tails;
    Variable* c = t->home->new_record();
    if (k.by_value)
        c->name.set_whole(k.value);
    else
        c->name.assign(k.text);
    t->insert(c, k.hash);
    return c;
}

[[gnu::always_inline]] inline Variable* compound_record(Variable* stem, const TailKey& k,
                                                        bool create) {
    Variable* c = stem->tails->find(k.text, k.hash);
    if (!c && create) c = new_compound(stem, k);
    return c;
}

// compound_of for the tails its inline part does not handle.
[[gnu::noinline]] Variable* compound_of_slow(Interp& in, const SymbolRef& s, Variable* stem,
                                             bool create) {
    Generation& g = in.pool.current();
    if (!s.fixed_tail) {
        Variable* c = compound_record(stem, tail_key(in, s), create);
        // A tail variable without a record: the tail is its name for as long
        // as the generation gets no new record, so the compound is
        // remembered as for a constant tail.
        if (c && s.var_tail && missing(g, s.tails[0])) {
            s.fixed.gen_id = g.id;
            s.fixed.rec = c;
        }
        return c;
    }
    TailKey k;
    k.text = s.fixed.name;
    k.hash = s.fixed.hash;
    Variable* c = compound_record(stem, k, create);
    if (c) {
        s.fixed.gen_id = g.id;
        s.fixed.rec = c;
    }
    return c;
}

// The compound record of s in stem (not followed), created when asked.
[[gnu::always_inline]] inline Variable* compound_of(Interp& in, const SymbolRef& s, Variable* stem,
                                                    bool create) {
    uint64_t id = in.pool.top->id;
    // A loop index as the tail: found by its value, in one probe. Any
    // other value of the tail variable: by its text.
    if (s.var_tail) {
        const TailPart& p = s.tails[0];
        if (p.var.gen_id == id) {
            Variable* v = follow(p.var.rec);
            if (v->state == VarState::Set) {
                uint64_t n;
                if (whole_tail_value(in, v->value, n)) {
                    Variable* c = stem->tails->find_whole(digits_hash(n));
                    if (!c && create) c = new_compound(stem, value_key(n));
                    return c;
                }
                return compound_record(stem, text_key(v->value.text(in.numeric)), create);
            }
        } else if (s.fixed.gen_id == id && missing(*in.pool.top, p)) {
            return s.fixed.rec;
        }
    } else if (s.fixed_tail && s.fixed.gen_id == id) {
        return s.fixed.rec;
    }
    return compound_of_slow(in, s, stem, create);
}

} // namespace

RexxValue* find_value(Interp& in, const SymbolRef& s) {
    switch (s.kind) {
    case SymbolKind::Invalid: raise_error(in, 31);
    case SymbolKind::Simple:
    case SymbolKind::Stem: {
        Variable* v = lookup(in, s.base, false);
        if (!v) return nullptr;
        v = follow(v);
        return v->state == VarState::Set ? &v->value : nullptr;
    }
    case SymbolKind::Compound: {
        Variable* stem = stem_record(in, s, false);
        if (!stem) return nullptr;
        if (Variable* c = compound_of(in, s, stem, false)) {
            c = follow(c);
            if (c->state == VarState::Set) return &c->value;
        }
        return stem->state == VarState::Set ? &stem->value : nullptr;
    }
    }
    return nullptr;
}

std::string derived_name(Interp& in, const SymbolRef& s) {
    if (s.kind != SymbolKind::Compound) return s.text;
    std::string name = s.base.name;
    name += build_tail(in, s);
    return name;
}

const RexxValue& fetch_value(Interp& in, const SymbolRef& s, RexxValue& fallback) {
    if (RexxValue* v = find_value(in, s)) return *v;
    std::string name = derived_name(in, s);
    novalue_condition(in, name);
    fallback.assign_text(name);
    return fallback;
}

RexxValue get_value(Interp& in, const SymbolRef& s) {
    RexxValue fallback;
    const RexxValue& v = fetch_value(in, s, fallback);
    return &v == &fallback ? std::move(fallback) : v;
}

void set_value(Interp& in, const SymbolRef& s, RexxValue v) {
    switch (s.kind) {
    case SymbolKind::Invalid: raise_error(in, 31);
    case SymbolKind::Simple: {
        Variable* rec = follow(lookup(in, s.base, true));
        rec->value = std::move(v);
        rec->state = VarState::Set;
        return;
    }
    case SymbolKind::Stem: {
        Variable* stem = stem_record(in, s, true);
        stem->value = std::move(v);
        stem->state = VarState::Set;
        drop_compounds(stem);
        return;
    }
    case SymbolKind::Compound: {
        Variable* stem = stem_record(in, s, true);
        Variable* c = follow(compound_of(in, s, stem, true));
        c->value = std::move(v);
        c->state = VarState::Set;
        return;
    }
    }
}

void drop_symbol(Interp& in, const SymbolRef& s) {
    switch (s.kind) {
    case SymbolKind::Invalid: raise_error(in, 31);
    case SymbolKind::Simple: {
        Variable* rec = lookup(in, s.base, false);
        if (rec) clear_record(follow(rec));
        return;
    }
    case SymbolKind::Stem: {
        Variable* stem = stem_record(in, s, false);
        if (!stem) return;
        clear_record(stem);
        drop_compounds(stem);
        return;
    }
    case SymbolKind::Compound: {
        Variable* stem = stem_record(in, s, false);
        if (!stem) return;
        Variable* c = compound_of(in, s, stem, false);
        if (c) clear_record(follow(c));
        return;
    }
    }
}

namespace {

template <class F>
void each_word(std::string_view list, F&& f) {
    size_t i = 0;
    while (i < list.size()) {
        while (i < list.size() && (list[i] == ' ' || list[i] == '\t' || list[i] == '\n'))
            ++i;
        size_t start = i;
        while (i < list.size() && list[i] != ' ' && list[i] != '\t' && list[i] != '\n')
            ++i;
        if (i > start) f(list.substr(start, i - start));
    }
}

bool is_simple_name(std::string_view name) {
    return !name.empty() && name.find('.') == std::string_view::npos && name[0] != '.' &&
           !(name[0] >= '0' && name[0] <= '9');
}

} // namespace

void drop_list(Interp& in, std::string_view list) {
    each_word(list, [&](std::string_view w) { drop_symbol(in, analyse_symbol(w, in.case_mode)); });
}

void set_var(Interp& in, std::string_view name, RexxValue v) {
    if (is_simple_name(name)) {
        Variable* rec = find_variable(in.pool.current(), name, name_hash(name), true, true);
        rec->value = std::move(v);
        rec->state = VarState::Set;
        return;
    }
    set_value(in, analyse_symbol(name, NameCase::Mixed), std::move(v));
}

void set_var(Interp& in, std::string_view name, std::string_view text) {
    set_var(in, name, RexxValue(text));
}

RexxValue* get_var(Interp& in, std::string_view name) {
    if (is_simple_name(name)) {
        Variable* rec = find_variable(in.pool.current(), name, name_hash(name), false, true);
        return rec && rec->state == VarState::Set ? &rec->value : nullptr;
    }
    return find_value(in, analyse_symbol(name, NameCase::Mixed));
}

void drop_var(Interp& in, std::string_view name) {
    drop_symbol(in, analyse_symbol(name, NameCase::Mixed));
}

// ---------------------------------------------------------------- generations

void new_generation(Interp& in) {
    Pool& p = in.pool;
    std::unique_ptr<Generation> g;
    if (!p.spare.empty()) {
        g = std::move(p.spare.back());
        p.spare.pop_back();
    } else {
        g = std::make_unique<Generation>();
    }
    g->id = p.next_id++;
    g->caller = p.levels.back().get();
    p.levels.push_back(std::move(g));
    p.top = p.levels.back().get();
    p.top_id = p.top->id;
}

void release_generation(Interp& in) {
    Pool& p = in.pool;
    if (p.levels.size() <= 1) return;
    std::unique_ptr<Generation> g = std::move(p.levels.back());
    p.levels.pop_back();
    p.top = p.levels.back().get();
    p.top_id = p.top->id;
    // Keep the first chunk of records and a small table (emptied, its room
    // kept) for the next PROCEDURE.
    g->clear_records();
    g->vars.clear(64);
    g->caller = nullptr;
    g->id = 0;
    if (p.spare.size() < 64) p.spare.push_back(std::move(g));
}

void expose(Interp& in, const SymbolRef& s) {
    Generation& g = in.pool.current();
    Generation* caller = g.caller;
    if (!caller) return; // the program level has nobody to share with
    // A record found before may be replaced below (a stem's table is reset).
    g.id = in.pool.next_id++;
    in.pool.top_id = g.id;
    switch (s.kind) {
    case SymbolKind::Invalid: raise_error(in, 31);
    case SymbolKind::Simple:
    case SymbolKind::Stem: {
        Variable* target = find_variable(*caller, s.base.name, s.base.hash, true, true);
        Variable* rec = find_variable(g, s.base.name, s.base.hash, true, false);
        if (rec == target) return;
        rec->value = RexxValue();
        if (VarTable* t = rec->stem_table()) delete t;
        rec->state = VarState::Exposed;
        rec->target = target;
        return;
    }
    case SymbolKind::Compound: {
        std::string tail(build_tail(in, s));
        Variable* local_stem = find_variable(g, s.base.name, s.base.hash, true, false);
        if (local_stem->state == VarState::Exposed) return; // the whole stem is shared
        Variable* caller_stem = find_variable(*caller, s.base.name, s.base.hash, true, true);
        Variable* target = follow(compound_record(caller_stem, text_key(tail), true));
        Variable* rec = compound_record(local_stem, text_key(tail), true);
        if (rec == target) return;
        rec->value = RexxValue();
        rec->state = VarState::Exposed;
        rec->target = target;
        return;
    }
    }
}

void expose_list(Interp& in, std::string_view list) {
    each_word(list, [&](std::string_view w) { expose(in, analyse_symbol(w, in.case_mode)); });
}

// ---------------------------------------------------------------- show

namespace {

struct ShowRow {
    unsigned hash;
    uint32_t seq;
    std::string name;
    const Variable* v;
};

} // namespace

void show_generation(Interp& in, const Generation& g, int level) {
    std::vector<ShowRow> rows;
    g.vars.each([&](Variable* v) {
        if (v->is_stem) {
            // The stem's own record is keyed apart from a simple variable.
            std::string stem = v->name.str();
            std::string key = stem.substr(0, stem.size() - 1) + "+";
            rows.push_back({show_hash(key), v->seq, key, v});
            if (VarTable* t = v->stem_table())
                t->each([&](Variable* c) {
                    std::string full = stem;
                    c->name.append_to(full);
                    rows.push_back({show_hash(full), c->seq, full, c});
                });
        } else {
            std::string name = v->name.str();
            rows.push_back({show_hash(name), v->seq, name, v});
        }
    });
    std::sort(rows.begin(), rows.end(), [](const ShowRow& a, const ShowRow& b) {
        return a.hash != b.hash ? a.hash < b.hash : a.seq < b.seq;
    });
    std::string out = "\n.......... show: level " + std::to_string(level) + "\n\n";
    for (const ShowRow& r : rows) {
        out += '"';
        out += r.name;
        switch (r.v->state) {
        case VarState::Dropped: out += "\" is DROPPED\n"; break;
        case VarState::Exposed: out += "\" is EXPOSED\n"; break;
        case VarState::Set:
            out += "\" = \"";
            out += r.v->value.text(in.numeric);
            out += "\"\n";
            break;
        }
    }
    in.out(out);
}

void show_pool(Interp& in) {
    show_generation(in, in.pool.current(), in.pool.depth());
}

// ---------------------------------------------------------------- labels

void LabelTable::add(std::string_view name, bool quoted, NameCase mode, const void* clause,
                     int line, bool nested) {
    std::string key = quoted ? std::string(name) : fold_case(name, mode);
    if (labels.count(key)) return;
    Label l;
    l.name = key;
    l.clause = clause;
    l.line = line;
    l.nested = nested;
    labels.emplace(std::move(key), std::move(l));
}

const Label* LabelTable::find(std::string_view folded_name) const {
    auto it = labels.find(std::string(folded_name));
    return it == labels.end() ? nullptr : &it->second;
}

} // namespace tolma
