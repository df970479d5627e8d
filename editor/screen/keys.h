#pragma once
// Key definitions: what each key that ends an input turn does.
//
// Three numbered key classes (F, L, R) each have a table of 8 x N entries, one
// block of N keys per modifier group; key n (1..N) in group g is entry n + N x g
// (entries are numbered from 1, stored from index 0). Control and Alt characters
// have a table of 256 entries indexed by the character code, Enter has one entry
// per modifier group. Nine field-editing functions can be bound to keys; the
// screen layer performs those itself.
//
// Everything is plain data in KeyTables plus free functions, so tests build as
// many fresh tables as they like. A default-constructed KeyTables holds the
// start-up state: counts 12/10/15 (F/L/R) and the default definitions.
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace voren {

// How a key's definition combines with the command-line text (see execute_key).
enum class KeyMode : int { Only = 0, After = 1, Before = 2, Ignore = 3 };

enum class KeyClass { F, L, R, Control, Alt, Enter };

// Modifier groups in table order: 0 none, 1 Shift, 2 Control, 3 Alt, 4 Shift+Control,
// 5 Shift+Alt, 6 Control+Alt, 7 Shift+Control+Alt.
constexpr int kModifierGroups = 8;
constexpr int kMaxFKeys = 24;
constexpr int kMaxLKeys = 15;
constexpr int kMaxRKeys = 15;
constexpr int kDefaultFKeys = 12;
constexpr int kDefaultLKeys = 10;
constexpr int kDefaultRKeys = 15;

// Message numbers returned by the setters.
constexpr int kKeyMsgInvalidParameters = 16;
constexpr int kKeyMsgInvalidNumbers = 120;
constexpr int kKeyMsgInvalidKeyboardType = 48;

int modifier_group(bool shift, bool control, bool alt);

struct KeyEntry {
    std::string definition; // empty: no definition
    KeyMode mode = KeyMode::Only;
    bool operator==(const KeyEntry&) const = default;
};

struct AltKeyEntry {
    std::string definition;
    KeyMode mode = KeyMode::Only;
    // Set whenever the definition is non-empty: the screen layer leaves Alt with
    // this character to the editor instead of treating it itself.
    bool captured = false;
    bool operator==(const AltKeyEntry&) const = default;
};

// Slots of the field-editing functions, in listing order (index into
// KeyTables::field_keys).
enum class FieldFunctionSlot {
    Home,
    IHome,
    PrevField,
    Ins,
    Caps,
    Apl,
    DownField,
    UpField,
    Eof,
};
constexpr int kFieldFunctions = 9;

// The key bound to a field function. Numbered keys keep their key number within the
// group (1..N) and the modifiers as flags; Control holds a letter 'a'..'z'.
enum class FieldKeyKind { None, F, L, R, Alt, Lf, Escape, Control };
struct FieldKey {
    FieldKeyKind kind = FieldKeyKind::None;
    int number = 0;
    bool shift = false;
    bool control = false;
    bool alt = false;
    bool operator==(const FieldKey&) const = default;
};

// The slot whose function is bound to `key`, or nothing.
std::optional<FieldFunctionSlot>
bound_field_function(const std::array<FieldKey, kFieldFunctions>& slots, const FieldKey& key);

std::vector<KeyEntry> default_numbered_keys(KeyClass cls, int count);
std::array<KeyEntry, 256> default_control_keys();
std::array<AltKeyEntry, 256> default_alt_keys();
std::array<KeyEntry, kModifierGroups> default_enter_keys();

struct KeyTables {
    int nf = kDefaultFKeys;
    int nl = kDefaultLKeys;
    int nr = kDefaultRKeys;
    std::vector<KeyEntry> f_keys = default_numbered_keys(KeyClass::F, kDefaultFKeys);
    std::vector<KeyEntry> l_keys = default_numbered_keys(KeyClass::L, kDefaultLKeys);
    std::vector<KeyEntry> r_keys = default_numbered_keys(KeyClass::R, kDefaultRKeys);
    std::array<KeyEntry, 256> control_keys = default_control_keys();
    std::array<AltKeyEntry, 256> alt_keys = default_alt_keys();
    std::array<KeyEntry, kModifierGroups> enter_keys = default_enter_keys();
    std::array<FieldKey, kFieldFunctions> field_keys{};
    // The character the Backspace key produces: 8 (^h) or 127 (^?). Terminals on
    // this platform send DEL.
    char backspace = 127;
    std::string keyboard_type = "linux";
    std::string server;
    bool operator==(const KeyTables&) const = default;
};

// The built-in default tables, before they are fitted to the current counts:
// 96 F, 88 L and 120 R entries, laid out for 12, 11 and 15 keys per group.
const std::vector<KeyEntry>& builtin_default_keys(KeyClass cls);
// Replaces every definition with the defaults, keeping the current counts: each
// default table is copied entry by entry up to the smaller of the two sizes.
void load_default_keys(KeyTables& keys);

// The live numbered table of a class, and its key count (F, L or R only).
std::vector<KeyEntry>& numbered_table(KeyTables& keys, KeyClass cls);
const std::vector<KeyEntry>& numbered_table(const KeyTables& keys, KeyClass cls);
int key_count(const KeyTables& keys, KeyClass cls);

// A parsed key name. For F, L and R `index` is the table entry (1..8 x N); for
// Control and Alt the character code; for Enter the modifier group.
struct KeyName {
    KeyClass cls = KeyClass::F;
    int index = 0;
    bool operator==(const KeyName&) const = default;
};
// Parses a key name (case ignored except for the character of "^c" and "m-c").
std::optional<KeyName> parse_key_name(const KeyTables& keys, std::string_view name);

// True when `first_word` of SET's operands names a key or a key setting (field
// function, BACKSPACE, NBKEYS, SERVER). Names shaped like a key but out of range
// still count, so that set_key can answer them with message 16.
bool is_key_setting(std::string_view first_word);

// SET with operands that start with a key name or key setting. Returns 0, or the
// message number (16 or 120) with the tables unchanged.
int set_key(KeyTables& keys, std::string_view operands);
// SET KEYBOARD type: returns 0 or 48 (unknown type, tables unchanged).
int set_keyboard_type(KeyTables& keys, std::string_view type);

// The key settings in SET form, in listing order.
std::vector<std::string> key_listing(const KeyTables& keys);
// The same lines for the key file (setkeys.voren), with SET NBKEYS moved to the
// front: read back line by line, the counts must be in place before keys beyond
// the start-up counts can be set.
std::vector<std::string> key_file_lines(const KeyTables& keys);

// Runs a key's definition together with the command-line text according to the
// mode. `run` hands a string to the command executor and returns its return code;
// `record_history` receives the command-line text before it runs (blank texts and
// texts starting with "=" are not recorded). Returns the return code of the last
// string run, or 0 when nothing ran.
int execute_key(std::string_view definition, KeyMode mode, std::string_view command_line_text,
                const std::function<int(std::string_view)>& run,
                const std::function<void(std::string_view)>& record_history, bool is_plain_enter);

// A key as the field layer reports it: F/L/R with the key number 1..N, Control and
// Alt with the character code, Enter with no number; modifiers as flags. A Control
// event with Shift and a lower-case letter is looked up under the upper-case letter.
// From the field layer's Key: kind F/L/R/Enter -> the same class with `number`;
// Control and Alt -> `code` as the number; the Shift/Control/Alt modifier bits ->
// the flags. Other kinds (typed characters, Tab, Delete, ...) have no table entry.
struct KeyId {
    KeyClass cls = KeyClass::Enter;
    int number = 0;
    bool shift = false;
    bool control = false;
    bool alt = false;
};

struct KeyBinding {
    std::string_view definition; // refers into the tables; empty: no definition
    KeyMode mode = KeyMode::Only;
    bool plain_enter = false;
};
// The entry a key event selects, or nothing for a key outside the current counts.
std::optional<KeyBinding> lookup_key(const KeyTables& keys, const KeyId& key);

} // namespace voren
