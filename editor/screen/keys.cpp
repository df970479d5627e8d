// Key-definition tables: defaults, key-name parsing, SET, the listing and key execution.
#include "editor/screen/keys.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace voren {

namespace {

// ---------------------------------------------------------------------------
// Default definitions

struct DefaultRow {
    int key;
    int group;
    const char* definition;
};

// Raw default tables and their layout (keys per group).
constexpr int kRawFPerGroup = 12;
constexpr int kRawLPerGroup = 11;
constexpr int kRawRPerGroup = 15;

constexpr DefaultRow kDefaultF[] = {
    {1, 0, "quit"},
    {2, 0, "command c_ext"},
    {3, 0, "command save"},
    {4, 0, "command c_split"},
    {5, 0, "command switch"},
    {6, 0, "command c_endline"},
    {7, 0, "command backward"},
    {8, 0, "command forward"},
    {9, 0, "command ?"},
    {10, 0, "command home"},
    {11, 0, "command compress"},
    {12, 0, "command ="},
    {1, 1, "command c_lineadd"},
    {2, 1, "command c_ext"},
    {3, 1, "command file"},
    {5, 1, "command iswitch"},
    {6, 1, "command c_endcurl"},
    {7, 1, "command pgup"},
    {8, 1, "command pgdown"},
    {9, 1, "command ?i"},
    {10, 1, "command home"},
    {11, 1, "command top"},
    {12, 1, "command bot"},
    {1, 2, "command flquit"},
    {3, 2, "command flfile"},
    {7, 2, "command left40"},
    {8, 2, "command right40"},
    {9, 2, "command xshowhistory"},
    {7, 3, "command s_lshift"},
    {8, 3, "command s_rshift"},
    {9, 3, "command showhistory"},
};

// The L defaults are placed as if a group held 10 keys, although the raw table is
// laid out for 11: with the start-up count of 10 they land on the keys named here
// (entry 11 becomes Shift+L1, and so on).
constexpr int kLDefaultsPlacedPerGroup = 10;
constexpr DefaultRow kDefaultL[] = {
    {2, 0, "command match"},   {4, 0, "command undo"},   {6, 0, "command s_copy"},
    {8, 0, "command s_paste"}, {9, 0, "command s_find"}, {10, 0, "command s_cut"},
    {1, 1, "command help"},    {5, 1, "command redo"},   {10, 1, "command s_find"},
    {9, 2, "command s_find"},  {3, 5, "s_find"},
};

constexpr DefaultRow kDefaultR[] = {
    {5, 1, "macro extsel_start"},  {6, 1, "macro extsel_wback"}, {7, 1, "macro extsel_end"},
    {8, 1, "macro extsel_up"},     {9, 1, "macro extsel_wfor"},  {10, 1, "macro extsel_left"},
    {12, 1, "macro extsel_right"}, {14, 1, "macro extsel_down"}, {8, 2, "macro mvlineup"},
    {10, 2, "command prevword"},   {12, 2, "command nextword"},  {14, 2, "macro mvlinedown"},
};

struct DefaultCharRow {
    unsigned char ch;
    const char* definition;
};

constexpr DefaultCharRow kDefaultControl[] = {
    {'0', "macro goto_bookmark 5"}, {'1', "macro set_bookmark 1"},
    {'2', "macro set_bookmark 2"},  {'3', "macro set_bookmark 3"},
    {'4', "macro set_bookmark 4"},  {'5', "macro set_bookmark 5"},
    {'6', "macro goto_bookmark 1"}, {'7', "macro goto_bookmark 2"},
    {'8', "macro goto_bookmark 3"}, {'9', "macro goto_bookmark 4"},
    {'=', "command c_dup"},         {'A', "macro adjust_cursor"},
    {'C', "command center"},        {'F', "command flow"},
    {'H', "command s_help"},        {'O', "command s_paste overlay shelf"},
    {'P', "macro new_para"},        {'U', "command s_upper word"},
    {'W', "macro del_word"},        {'X', "command s_man"},
    {'a', "command c_lineadd"},     {'d', "command c_linedel"},
    {'e', "command c_apltrace"},    {'f', "command flist"},
    {'h', "command c_scrh"},        {'l', "command s_lower"},
    {'r', "macro dy_folder_tree"},  {'s', "command c_aplstop"},
    {'t', "macro dy_folder_tree"},  {'u', "command s_upper"},
    {'v', "command c_scrv"},        {'w', "command c_scrj"},
    {'x', "command s_xed"},         {'z', "command left0"},
};

constexpr DefaultCharRow kDefaultAlt[] = {
    {'+', "macro toggle_display"}, {'0', "macro rm_bookmarks"}, {'=', "macro dup_line"},
    {'u', "command s_set off"},    {'x', "command s_xed"},
};

template <size_t N>
std::vector<KeyEntry> build_raw_table(const DefaultRow (&rows)[N], int per_group, int placed) {
    std::vector<KeyEntry> table(static_cast<size_t>(per_group * kModifierGroups));
    for (const DefaultRow& row : rows) {
        table[static_cast<size_t>(row.key + placed * row.group - 1)].definition = row.definition;
    }
    return table;
}

// Copies `raw` into a live table of `count` keys per group, entry by entry.
std::vector<KeyEntry> fit_to_count(const std::vector<KeyEntry>& raw, int count) {
    std::vector<KeyEntry> table(static_cast<size_t>(count * kModifierGroups));
    size_t n = std::min(table.size(), raw.size());
    std::copy_n(raw.begin(), n, table.begin());
    return table;
}

// ---------------------------------------------------------------------------
// Small text helpers

bool is_blank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view skip_blanks(std::string_view s) {
    size_t i = 0;
    while (i < s.size() && is_blank(s[i]))
        ++i;
    return s.substr(i);
}

std::string_view trim(std::string_view s) {
    s = skip_blanks(s);
    while (!s.empty() && is_blank(s.back()))
        s.remove_suffix(1);
    return s;
}

// Splits off the first blank-delimited word; `rest` starts right after it.
std::string_view first_word(std::string_view s, std::string_view& rest) {
    s = skip_blanks(s);
    size_t end = 0;
    while (end < s.size() && !is_blank(s[end]))
        ++end;
    rest = s.substr(end);
    return s.substr(0, end);
}

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string upper(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

bool iequals(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

// A whole number made of decimal digits only; nothing for anything else or for
// numbers too large to be a key number.
std::optional<int> parse_small_number(std::string_view s) {
    if (s.empty() || s.size() > 4) return std::nullopt;
    int value = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

// ---------------------------------------------------------------------------
// Key names

struct Prefix {
    const char* text;
    int group;
};

// Longest first, so that "s+c-" is not taken for an unknown one-letter prefix.
constexpr Prefix kPrefixes[] = {
    {"s+c+m-", 7}, {"s+m+c-", 7}, {"c+s+m-", 7}, {"c+m+s-", 7}, {"m+s+c-", 7}, {"m+c+s-", 7},
    {"s+c-", 4},   {"c+s-", 4},   {"s+m-", 5},   {"m+s-", 5},   {"c+m-", 6},   {"m+c-", 6},
    {"s-", 1},     {"c-", 2},     {"m-", 3},     {"l-", 3},     {"r-", 3},
};

// Removes a modifier prefix from `name` (already lower case); returns its group, or
// -1 when there is none.
int take_prefix(std::string_view& name) {
    for (const Prefix& p : kPrefixes) {
        std::string_view text = p.text;
        if (name.size() > text.size() && name.substr(0, text.size()) == text) {
            name.remove_prefix(text.size());
            return p.group;
        }
    }
    return -1;
}

// Keyboard names that stand for R keys. Returns the R key number, 0 when `name` is
// no keyboard name, or -1 when it is one that this keyboard type lacks.
int keyboard_name_to_r_key(std::string_view name, const std::string& type) {
    struct Fixed {
        const char* name;
        int r;
    };
    static constexpr Fixed kFixed[] = {
        {"leftarrow", 10},  {"rightarrow", 12}, {"uparrow", 8}, {"downarrow", 14},
        {"printscreen", 1}, {"scrolllock", 2},  {"pause", 3},
    };
    for (const Fixed& f : kFixed) {
        if (name == f.name) return f.r;
    }
    // Home, End, PageUp and PageDown sit on the same R keys on every keyboard type
    // this system knows, except that DEC and Sequent keyboards have no End key.
    if (name == "home") return 7;
    if (name == "end") return (type == "dec" || type == "sequent") ? -1 : 13;
    if (name == "pageup") return 9;
    if (name == "pagedown") return 15;
    return 0;
}

std::optional<KeyClass> numbered_class(char c) {
    switch (c) {
    case 'f': return KeyClass::F;
    case 'l': return KeyClass::L;
    case 'r': return KeyClass::R;
    default: return std::nullopt;
    }
}

// Rewrites a keyboard name to "r<n>" in `storage`; leaves other names alone.
// Returns false for a keyboard name the keyboard type lacks.
bool translate_keyboard_name(std::string_view& rest, std::string& storage,
                             const std::string& type) {
    int r = keyboard_name_to_r_key(rest, type);
    if (r < 0) return false;
    if (r > 0) {
        storage = "r" + std::to_string(r);
        rest = storage;
    }
    return true;
}

// The shape of a key name without the count checks; shared by parsing and by
// is_key_setting.
struct NameShape {
    KeyClass cls = KeyClass::F;
    int group = 0;
    int number = 0;  // key number, pf entry, or character code
    bool pf = false; // "pf<n>": a raw F-table entry
};

std::optional<NameShape> shape_of_key_name(std::string_view name, const std::string& type) {
    if (name.empty()) return std::nullopt;
    NameShape shape;
    // "^c": a Control character, case kept, no prefix.
    if (name[0] == '^') {
        if (name.size() != 2) return std::nullopt;
        shape.cls = KeyClass::Control;
        shape.number = static_cast<unsigned char>(name[1]);
        return shape;
    }
    std::string lowered = lower(name);
    std::string_view rest = lowered;
    // "m-c" (and its synonyms "l-c", "r-c"): an Alt character, case kept.
    if (rest.size() == 3 && (rest[0] == 'm' || rest[0] == 'l' || rest[0] == 'r') &&
        rest[1] == '-') {
        shape.cls = KeyClass::Alt;
        shape.number = static_cast<unsigned char>(name[2]);
        return shape;
    }
    int group = take_prefix(rest);
    shape.group = std::max(group, 0);
    std::string translated;
    if (!translate_keyboard_name(rest, translated, type)) return std::nullopt;
    if (rest == "enter") {
        shape.cls = KeyClass::Enter;
        shape.number = shape.group;
        return shape;
    }
    if (rest.size() > 2 && rest.substr(0, 2) == "pf") {
        if (group >= 0) return std::nullopt; // pf<n> names an entry, modifiers included
        auto n = parse_small_number(rest.substr(2));
        if (!n) return std::nullopt;
        shape.pf = true;
        shape.number = *n;
        return shape;
    }
    if (rest.size() < 2) return std::nullopt;
    auto cls = numbered_class(rest[0]);
    auto n = parse_small_number(rest.substr(1));
    if (!cls || !n) return std::nullopt;
    shape.cls = *cls;
    shape.number = *n;
    return shape;
}

std::optional<KeyName> resolve_shape(const KeyTables& keys, const NameShape& shape) {
    switch (shape.cls) {
    case KeyClass::Control:
    case KeyClass::Alt:
        if (shape.number == 0) return std::nullopt;
        return KeyName{shape.cls, shape.number};
    case KeyClass::Enter: return KeyName{KeyClass::Enter, shape.group};
    case KeyClass::F:
    case KeyClass::L:
    case KeyClass::R: {
        int count = key_count(keys, shape.cls);
        if (shape.pf) {
            if (shape.number < 1 || shape.number > count * kModifierGroups) return std::nullopt;
            return KeyName{KeyClass::F, shape.number};
        }
        if (shape.number < 1 || shape.number > count) return std::nullopt;
        return KeyName{shape.cls, shape.number + count * shape.group};
    }
    }
    return std::nullopt;
}

// ---------------------------------------------------------------------------
// Field functions

constexpr const char* kFieldFunctionNames[kFieldFunctions] = {
    "home", "ihome", "prev_field", "ins", "caps", "apl", "down_field", "up_field", "eof",
};

int field_function_index(std::string_view lowered) {
    for (int i = 0; i < kFieldFunctions; ++i) {
        if (lowered == kFieldFunctionNames[i]) return i;
    }
    return -1;
}

constexpr bool kGroupShift[kModifierGroups] = {false, true, false, false, true, true, false, true};
constexpr bool kGroupControl[kModifierGroups] = {false, false, true, false,
                                                 true,  false, true, true};
constexpr bool kGroupAlt[kModifierGroups] = {false, false, false, true, false, true, true, true};

void set_group_flags(FieldKey& key, int group) {
    key.shift = kGroupShift[group];
    key.control = kGroupControl[group];
    key.alt = kGroupAlt[group];
}

FieldKeyKind field_kind_of(KeyClass cls) {
    switch (cls) {
    case KeyClass::F: return FieldKeyKind::F;
    case KeyClass::L: return FieldKeyKind::L;
    case KeyClass::R: return FieldKeyKind::R;
    default: return FieldKeyKind::None;
    }
}

// Key of SET <function> key: an optional prefix and pf/f/l/r with a number, or
// alt, lf, escape; or "^" with a letter a to z, without prefix.
std::optional<FieldKey> parse_field_key(const KeyTables& keys, std::string_view name) {
    FieldKey key;
    if (!name.empty() && name[0] == '^') {
        if (name.size() != 2 || name[1] < 'a' || name[1] > 'z') return std::nullopt;
        key.kind = FieldKeyKind::Control;
        key.number = name[1];
        return key;
    }
    std::string lowered = lower(name);
    std::string_view rest = lowered;
    int group = std::max(take_prefix(rest), 0);
    std::string translated;
    if (!translate_keyboard_name(rest, translated, keys.keyboard_type)) return std::nullopt;
    if (rest == "alt" || rest == "lf" || rest == "escape") {
        key.kind = rest == "alt"  ? FieldKeyKind::Alt
                   : rest == "lf" ? FieldKeyKind::Lf
                                  : FieldKeyKind::Escape;
        set_group_flags(key, group);
        return key;
    }
    if (rest.size() > 2 && rest.substr(0, 2) == "pf") {
        auto n = parse_small_number(rest.substr(2));
        if (!n || *n < 1 || *n > keys.nf * kModifierGroups) return std::nullopt;
        // An entry beyond the first group carries modifiers of its own; add the prefix's.
        int entry_group = (*n - 1) / keys.nf;
        key.kind = FieldKeyKind::F;
        key.number = (*n - 1) % keys.nf + 1;
        set_group_flags(key, entry_group);
        key.shift = key.shift || kGroupShift[group];
        key.control = key.control || kGroupControl[group];
        key.alt = key.alt || kGroupAlt[group];
        return key;
    }
    if (rest.size() < 2) return std::nullopt;
    auto cls = numbered_class(rest[0]);
    auto n = parse_small_number(rest.substr(1));
    if (!cls || !n || *n < 1 || *n > key_count(keys, *cls)) return std::nullopt;
    key.kind = field_kind_of(*cls);
    key.number = *n;
    set_group_flags(key, group);
    return key;
}

// The field-function key that a key name denotes, for clearing slots when the key
// gets a definition; None for keys no slot can hold.
FieldKey field_key_of(const KeyTables& keys, const KeyName& name) {
    FieldKey key;
    switch (name.cls) {
    case KeyClass::F:
    case KeyClass::L:
    case KeyClass::R: {
        int count = key_count(keys, name.cls);
        key.kind = field_kind_of(name.cls);
        key.number = (name.index - 1) % count + 1;
        set_group_flags(key, (name.index - 1) / count);
        return key;
    }
    case KeyClass::Control:
        if (name.index >= 'a' && name.index <= 'z') {
            key.kind = FieldKeyKind::Control;
            key.number = name.index;
        }
        return key;
    default: return key;
    }
}

const char* group_prefix(bool shift, bool control, bool alt) {
    static constexpr const char* kNames[kModifierGroups] = {"",     "S-",   "C-",   "M-",
                                                            "S+C-", "S+M-", "C+M-", "S+C+M-"};
    return kNames[modifier_group(shift, control, alt)];
}

std::string field_key_text(const FieldKey& key) {
    std::string text = group_prefix(key.shift, key.control, key.alt);
    switch (key.kind) {
    case FieldKeyKind::None: return "";
    case FieldKeyKind::F: return text + "F" + std::to_string(key.number);
    case FieldKeyKind::L: return text + "L" + std::to_string(key.number);
    case FieldKeyKind::R: return text + "R" + std::to_string(key.number);
    case FieldKeyKind::Alt: return text + "ALT";
    case FieldKeyKind::Lf: return text + "LF";
    case FieldKeyKind::Escape: return text + "ESCAPE";
    case FieldKeyKind::Control: return std::string("^") + static_cast<char>(key.number);
    }
    return "";
}

// ---------------------------------------------------------------------------
// SET

std::optional<KeyMode> mode_word(std::string_view word) {
    if (iequals(word, "ONLY")) return KeyMode::Only;
    if (iequals(word, "AFTER")) return KeyMode::After;
    if (iequals(word, "BEFORE")) return KeyMode::Before;
    if (iequals(word, "IGNORE")) return KeyMode::Ignore;
    return std::nullopt;
}

// ONLY for a definition that starts with "?", "=" or a word abbreviating COMPLete
// to at least 5 letters; BEFORE for any other.
KeyMode default_mode(std::string_view definition) {
    if (!definition.empty() && (definition[0] == '?' || definition[0] == '=')) return KeyMode::Only;
    std::string_view rest;
    std::string word = lower(first_word(definition, rest));
    std::string_view complete = "complete";
    if (word.size() >= 5 && word.size() <= complete.size() &&
        complete.substr(0, word.size()) == word)
        return KeyMode::Only;
    return KeyMode::Before;
}

void clear_field_slots_holding(KeyTables& keys, const FieldKey& key) {
    if (key.kind == FieldKeyKind::None) return;
    for (FieldKey& slot : keys.field_keys) {
        if (slot == key) slot = FieldKey{};
    }
}

int set_definition(KeyTables& keys, const KeyName& name, std::string_view text) {
    std::string_view after_mode;
    std::string_view maybe_mode = first_word(text, after_mode);
    std::optional<KeyMode> mode = mode_word(maybe_mode);
    std::string_view definition = skip_blanks(mode ? after_mode : text);
    if (trim(definition).empty()) definition = {};
    KeyMode chosen = mode ? *mode : default_mode(definition);
    if (definition.empty()) {
        // A removed definition returns the entry to its start-up state, so an
        // undefined key behaves the same whether it was ever set or not.
        chosen = name.cls == KeyClass::Enter ? KeyMode::Before : KeyMode::Only;
    } else {
        clear_field_slots_holding(keys, field_key_of(keys, name));
    }
    switch (name.cls) {
    case KeyClass::F:
    case KeyClass::L:
    case KeyClass::R: {
        KeyEntry& e = numbered_table(keys, name.cls)[static_cast<size_t>(name.index - 1)];
        e.definition = std::string(definition);
        e.mode = chosen;
        break;
    }
    case KeyClass::Control:
        keys.control_keys[static_cast<size_t>(name.index)] = {std::string(definition), chosen};
        break;
    case KeyClass::Alt:
        keys.alt_keys[static_cast<size_t>(name.index)] = {std::string(definition), chosen,
                                                          !definition.empty()};
        break;
    case KeyClass::Enter:
        keys.enter_keys[static_cast<size_t>(name.index)] = {std::string(definition), chosen};
        break;
    }
    return 0;
}

int set_nbkeys(KeyTables& keys, std::string_view operands) {
    std::string_view rest = operands;
    int counts[3] = {0, 0, 0};
    const int limits[3] = {kMaxLKeys, kMaxFKeys, kMaxRKeys};
    for (int i = 0; i < 3; ++i) {
        auto n = parse_small_number(first_word(rest, rest));
        if (!n || *n < 1 || *n > limits[i]) return kKeyMsgInvalidNumbers;
        counts[i] = *n;
    }
    if (!trim(rest).empty()) return kKeyMsgInvalidNumbers;
    int nl = counts[0], nf = counts[1], nr = counts[2];

    // Every definition keeps its key number and modifier group.
    auto rebuild = [](const std::vector<KeyEntry>& old, int old_count, int new_count) {
        std::vector<KeyEntry> table(static_cast<size_t>(new_count * kModifierGroups));
        int kept = std::min(old_count, new_count);
        for (int g = 0; g < kModifierGroups; ++g) {
            for (int k = 1; k <= kept; ++k) {
                table[static_cast<size_t>(k + new_count * g - 1)] =
                    old[static_cast<size_t>(k + old_count * g - 1)];
            }
        }
        return table;
    };
    keys.f_keys = rebuild(keys.f_keys, keys.nf, nf);
    keys.l_keys = rebuild(keys.l_keys, keys.nl, nl);
    keys.r_keys = rebuild(keys.r_keys, keys.nr, nr);
    keys.nf = nf;
    keys.nl = nl;
    keys.nr = nr;
    // A field function bound to a key that no longer exists is unbound.
    for (FieldKey& slot : keys.field_keys) {
        int count = slot.kind == FieldKeyKind::F   ? nf
                    : slot.kind == FieldKeyKind::L ? nl
                    : slot.kind == FieldKeyKind::R ? nr
                                                   : 0;
        if (count > 0 && slot.number > count) slot = FieldKey{};
    }
    return 0;
}

int set_backspace(KeyTables& keys, std::string_view operands) {
    std::string_view value = trim(operands);
    if (value == "^h" || value == "^H") {
        keys.backspace = 8;
    } else if (value == "^?") {
        keys.backspace = 127;
    } else {
        return kKeyMsgInvalidParameters;
    }
    return 0;
}

constexpr const char* kKeyboardTypes[] = {
    "sun",  "sgi",   "ibm",   "dec", "alphapc", "alpha",   "hp",
    "hppc", "linux", "i86pc", "sco", "siemens", "sequent", "unixware",
};

const char* kModeWords[] = {"ONLY ", "AFTER ", "BEFORE ", "IGNORE "};

const char* mode_text(KeyMode mode) {
    return kModeWords[static_cast<int>(mode)];
}

std::string pad16(std::string text) {
    if (text.size() < 16) text.resize(16, ' ');
    return text;
}

} // namespace

// ---------------------------------------------------------------------------

int modifier_group(bool shift, bool control, bool alt) {
    if (shift && control && alt) return 7;
    if (control && alt) return 6;
    if (shift && alt) return 5;
    if (shift && control) return 4;
    if (alt) return 3;
    if (control) return 2;
    if (shift) return 1;
    return 0;
}

const std::vector<KeyEntry>& builtin_default_keys(KeyClass cls) {
    static const std::vector<KeyEntry> f = build_raw_table(kDefaultF, kRawFPerGroup, kRawFPerGroup);
    static const std::vector<KeyEntry> l =
        build_raw_table(kDefaultL, kRawLPerGroup, kLDefaultsPlacedPerGroup);
    static const std::vector<KeyEntry> r = build_raw_table(kDefaultR, kRawRPerGroup, kRawRPerGroup);
    static const std::vector<KeyEntry> none;
    switch (cls) {
    case KeyClass::F: return f;
    case KeyClass::L: return l;
    case KeyClass::R: return r;
    default: return none;
    }
}

std::optional<FieldFunctionSlot>
bound_field_function(const std::array<FieldKey, kFieldFunctions>& slots, const FieldKey& key) {
    if (key.kind == FieldKeyKind::None) return std::nullopt;
    for (size_t i = 0; i < slots.size(); ++i) {
        if (slots[i] == key) return static_cast<FieldFunctionSlot>(i);
    }
    return std::nullopt;
}

std::vector<KeyEntry> default_numbered_keys(KeyClass cls, int count) {
    return fit_to_count(builtin_default_keys(cls), count);
}

std::array<KeyEntry, 256> default_control_keys() {
    std::array<KeyEntry, 256> table{};
    for (const DefaultCharRow& row : kDefaultControl)
        table[row.ch].definition = row.definition;
    return table;
}

std::array<AltKeyEntry, 256> default_alt_keys() {
    std::array<AltKeyEntry, 256> table{};
    for (const DefaultCharRow& row : kDefaultAlt) {
        table[row.ch].definition = row.definition;
        table[row.ch].captured = true;
    }
    return table;
}

std::array<KeyEntry, kModifierGroups> default_enter_keys() {
    std::array<KeyEntry, kModifierGroups> table{};
    for (KeyEntry& e : table)
        e.mode = KeyMode::Before;
    return table;
}

void load_default_keys(KeyTables& keys) {
    keys.f_keys = default_numbered_keys(KeyClass::F, keys.nf);
    keys.l_keys = default_numbered_keys(KeyClass::L, keys.nl);
    keys.r_keys = default_numbered_keys(KeyClass::R, keys.nr);
    keys.control_keys = default_control_keys();
    keys.alt_keys = default_alt_keys();
    keys.enter_keys = default_enter_keys();
}

std::vector<KeyEntry>& numbered_table(KeyTables& keys, KeyClass cls) {
    return cls == KeyClass::L ? keys.l_keys : cls == KeyClass::R ? keys.r_keys : keys.f_keys;
}

const std::vector<KeyEntry>& numbered_table(const KeyTables& keys, KeyClass cls) {
    return cls == KeyClass::L ? keys.l_keys : cls == KeyClass::R ? keys.r_keys : keys.f_keys;
}

int key_count(const KeyTables& keys, KeyClass cls) {
    switch (cls) {
    case KeyClass::F: return keys.nf;
    case KeyClass::L: return keys.nl;
    case KeyClass::R: return keys.nr;
    default: return 0;
    }
}

std::optional<KeyName> parse_key_name(const KeyTables& keys, std::string_view name) {
    auto shape = shape_of_key_name(name, keys.keyboard_type);
    if (!shape) return std::nullopt;
    return resolve_shape(keys, *shape);
}

bool is_key_setting(std::string_view first) {
    std::string lowered = lower(first);
    if (lowered == "backspace" || lowered == "nbkeys" || lowered == "server") return true;
    if (field_function_index(lowered) >= 0) return true;
    // Any keyboard type lacking a name still makes it a key name.
    return shape_of_key_name(first, "linux").has_value();
}

int set_key(KeyTables& keys, std::string_view operands) {
    std::string_view rest;
    std::string_view word = first_word(operands, rest);
    if (word.empty()) return kKeyMsgInvalidParameters;
    std::string lowered = lower(word);
    if (lowered == "backspace") return set_backspace(keys, rest);
    if (lowered == "nbkeys") return set_nbkeys(keys, rest);
    if (lowered == "server") {
        keys.server = std::string(trim(rest));
        return 0;
    }
    if (int fn = field_function_index(lowered); fn >= 0) {
        std::string_view after;
        std::string_view key_word = first_word(rest, after);
        if (!trim(after).empty()) return kKeyMsgInvalidParameters;
        if (key_word.empty()) { // no key: the function is unbound
            keys.field_keys[static_cast<size_t>(fn)] = FieldKey{};
            return 0;
        }
        auto key = parse_field_key(keys, key_word);
        if (!key) return kKeyMsgInvalidParameters;
        keys.field_keys[static_cast<size_t>(fn)] = *key;
        return 0;
    }
    auto name = parse_key_name(keys, word);
    if (!name) return kKeyMsgInvalidParameters;
    return set_definition(keys, *name, rest);
}

int set_keyboard_type(KeyTables& keys, std::string_view type) {
    std::string lowered = lower(trim(type));
    for (const char* known : kKeyboardTypes) {
        if (lowered == known) {
            keys.keyboard_type = lowered;
            return 0;
        }
    }
    return kKeyMsgInvalidKeyboardType;
}

std::vector<std::string> key_listing(const KeyTables& keys) {
    std::vector<std::string> lines;
    static constexpr const char* kNumberedFormats[kModifierGroups] = {
        "SET %s%-9d  ",   "SET S-%s%-9d",   "SET C-%s%-9d",   "SET M-%s%-9d",
        "SET S+C-%s%-7d", "SET S+M-%s%-7d", "SET C+M-%s%-7d", "SET S+C+M-%s%-5d",
    };
    auto numbered = [&](KeyClass cls, const char* letter) {
        const std::vector<KeyEntry>& table = numbered_table(keys, cls);
        int count = key_count(keys, cls);
        for (size_t i = 0; i < table.size(); ++i) {
            if (table[i].definition.empty()) continue;
            int group = static_cast<int>(i) / count;
            int key = static_cast<int>(i) % count + 1;
            char head[64];
            std::snprintf(head, sizeof head, kNumberedFormats[group], letter, key);
            lines.push_back(head + std::string(mode_text(table[i].mode)) + table[i].definition);
        }
    };
    numbered(KeyClass::F, "F");
    numbered(KeyClass::R, "R");
    numbered(KeyClass::L, "L");
    for (int c = 1; c < 256; ++c) {
        const KeyEntry& e = keys.control_keys[static_cast<size_t>(c)];
        if (e.definition.empty()) continue;
        lines.push_back(pad16(std::string("SET ^") + static_cast<char>(c)) + mode_text(e.mode) +
                        e.definition);
    }
    for (int c = 1; c < 256; ++c) {
        const AltKeyEntry& e = keys.alt_keys[static_cast<size_t>(c)];
        if (e.definition.empty()) continue;
        lines.push_back(pad16(std::string("SET M-") + static_cast<char>(c)) + mode_text(e.mode) +
                        e.definition);
    }
    static constexpr const char* kEnterNames[kModifierGroups] = {
        "SET ENTER",     "SET S-ENTER",   "SET C-ENTER",   "SET M-ENTER",
        "SET S+C-ENTER", "SET S+M-ENTER", "SET C+M-ENTER", "SET S+C+M-ENTER",
    };
    for (int g = 0; g < kModifierGroups; ++g) {
        const KeyEntry& e = keys.enter_keys[static_cast<size_t>(g)];
        if (e.definition.empty()) continue;
        lines.push_back(pad16(kEnterNames[g]) + mode_text(e.mode) + e.definition);
    }
    for (int fn = 0; fn < kFieldFunctions; ++fn) {
        const FieldKey& key = keys.field_keys[static_cast<size_t>(fn)];
        if (key.kind == FieldKeyKind::None) continue;
        lines.push_back(pad16("SET " + upper(kFieldFunctionNames[fn])) + field_key_text(key));
    }
    lines.push_back(keys.backspace == 8 ? "SET BACKSPACE   ^h" : "SET BACKSPACE   ^?");
    char counts[64];
    std::snprintf(counts, sizeof counts, "SET NBKEYS      %d %d %d", keys.nl, keys.nf, keys.nr);
    lines.push_back(counts);
    lines.push_back(pad16("SET SERVER") + keys.server);
    return lines;
}

std::vector<std::string> key_file_lines(const KeyTables& keys) {
    std::vector<std::string> lines = key_listing(keys);
    auto nbkeys = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
        return line.rfind("SET NBKEYS ", 0) == 0;
    });
    std::rotate(lines.begin(), nbkeys, nbkeys + 1);
    return lines;
}

int execute_key(std::string_view definition, KeyMode mode, std::string_view command_line_text,
                const std::function<int(std::string_view)>& run,
                const std::function<void(std::string_view)>& record_history, bool is_plain_enter) {
    bool has_text = !trim(command_line_text).empty();
    bool has_definition = !trim(definition).empty();
    int rc = 0;
    auto run_definition = [&] {
        if (has_definition) rc = run(definition);
    };
    auto run_text = [&] {
        if (!has_text) return;
        if (skip_blanks(command_line_text)[0] != '=') record_history(command_line_text);
        rc = run(command_line_text);
    };
    switch (mode) {
    case KeyMode::Only:
        if (is_plain_enter && !has_definition) {
            run_text();
        } else {
            run_definition();
        }
        break;
    case KeyMode::After:
        run_text();
        run_definition();
        break;
    case KeyMode::Before:
        run_definition();
        run_text();
        break;
    case KeyMode::Ignore:
        if (has_text) {
            run_text();
        } else {
            run_definition();
        }
        break;
    }
    return rc;
}

std::optional<KeyBinding> lookup_key(const KeyTables& keys, const KeyId& key) {
    int group = modifier_group(key.shift, key.control, key.alt);
    // Key kinds in the order a turn tries them. The numbered definitions and the
    // toolbar buttons, tried between F and R keys, are kept by the button layer.
    switch (key.cls) {
    case KeyClass::F:
    case KeyClass::R:
    case KeyClass::L: {
        int count = key_count(keys, key.cls);
        if (key.number < 1 || key.number > count) return std::nullopt;
        const KeyEntry& e =
            numbered_table(keys, key.cls)[static_cast<size_t>(key.number + count * group - 1)];
        return KeyBinding{e.definition, e.mode, false};
    }
    case KeyClass::Control: {
        if (key.number < 1 || key.number > 255) return std::nullopt;
        int c = key.number;
        if (key.shift && c >= 'a' && c <= 'z') c = c - 'a' + 'A';
        const KeyEntry& e = keys.control_keys[static_cast<size_t>(c)];
        return KeyBinding{e.definition, e.mode, false};
    }
    case KeyClass::Alt: {
        if (key.number < 1 || key.number > 255) return std::nullopt;
        const AltKeyEntry& e = keys.alt_keys[static_cast<size_t>(key.number)];
        return KeyBinding{e.definition, e.mode, false};
    }
    case KeyClass::Enter: {
        const KeyEntry& e = keys.enter_keys[static_cast<size_t>(group)];
        return KeyBinding{e.definition, e.mode, group == 0};
    }
    }
    return std::nullopt;
}

} // namespace voren
