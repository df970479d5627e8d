#pragma once
// The field layer: a character-cell window made of fields.
//
// The editor lays out its screens by creating fields (protected output or
// unprotected input), filling them with text and giving them colours; the user
// edits the input fields and ends an input turn with a key; the editor then reads
// back the key, the cursor position and the fields the user modified. All
// placement decisions belong to the caller: this layer only creates, fills,
// edits and reads fields.
//
// Coordinates are 0-based: row 0 is the top row of the window, column 0 its
// left column. Text is bytes: every byte takes one cell.
//
// Two backends sit behind the same FieldWindow: the terminal (ncursesw,
// terminal_curses.cpp) and a headless in-memory grid (headless.h) used by tests
// and batch mode. The backend is a table of functions chosen when the window is
// opened; everything else (fields, cells, editing) is shared code.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace voren::platform {

// ---- Keys ----------------------------------------------------------------

enum class KeyKind : std::uint8_t {
    None,      // nothing usable (an unknown escape sequence)
    Char,      // a typed byte, in `code`
    Control,   // Control with a character: `code` is the character, lower case for
               // letters; an upper-case letter means Control+Shift with that letter
    Alt,       // Alt with a character, in `code`
    Enter,     // Enter, with modifiers
    F,         // function key F`number` with modifiers
    L,         // left-hand block key L`number` with modifiers
    R,         // right-hand block key R`number` with modifiers (R8 Up, R10 Left ...)
    Tab,       // Tab; with ModShift it is Shift-Tab
    Backspace, // the key that produces the Backspace character
    Delete,    // Delete, with modifiers
    Insert,    // Insert, with modifiers
    Escape,    // Escape on its own (ModAlt when it came twice)
    Resize,    // the window changed size
    Hangup,    // the terminal hung up or the program was asked to terminate
    ScriptEnd, // headless window: the scripted input is used up
};

enum : std::uint8_t { ModShift = 1, ModControl = 2, ModAlt = 4 };

struct Key {
    KeyKind kind = KeyKind::None;
    int number = 0;             // F, L and R keys; the signal number for Hangup
    unsigned char code = 0;     // Char, Control, Alt
    std::uint8_t modifiers = 0; // ModShift | ModControl | ModAlt
};

inline bool operator==(const Key& a, const Key& b) {
    return a.kind == b.kind && a.number == b.number && a.code == b.code &&
           a.modifiers == b.modifiers;
}

// The modifier group of the key tables: 0 none, 1 Shift, 2 Control, 3 Alt,
// 4 Shift+Control, 5 Shift+Alt, 6 Control+Alt, 7 Shift+Control+Alt.
int modifier_group(std::uint8_t modifiers);

// A readable name in the style of the key definitions: "F1", "S-F1", "C+M-R8",
// "ENTER", "S-ENTER", "^a", "M-x", "TAB", "S-TAB", "a" ... Used in listings and tests.
std::string key_name(const Key& key);

// Built-in field-editing functions that a key can be bound to; the field layer
// performs them itself without ending the input turn.
enum class FieldFunction : std::uint8_t {
    None,
    Home,      // to the home field (the command line); again: back to where the cursor was
    PrevField, // to the start of this field, or of the previous input field
    NextField, // to the start of the next input field
    Insert,    // toggle insert / overtype
    Caps,      // toggle upper-casing of typed letters
    DownField, // to the input field below, same column
    UpField,   // to the input field above, same column
    EraseEof,  // erase from the cursor to the end of the field
};

// What ends an input turn and which keys run field functions. A key for which
// `ends_turn` answers true ends the turn (Enter always does). A key that does not
// end the turn runs the field function `field_function` names, else its built-in
// editing action (typing, Backspace, Delete, Insert, Tab, plain arrows), else nothing.
// Empty functions take the defaults: Enter and F keys end the turn; Insert toggles
// insert mode; no other field function is bound.
struct InputPolicy {
    std::function<bool(const Key&)> ends_turn;
    std::function<FieldFunction(const Key&)> field_function;
};

// ---- Fields ----------------------------------------------------------------

// Every field reports the cursor when it stands in it (InputTurn::cursor), so no
// cursor-tracking flag is needed; a two-row input field is one of height 2.
enum FieldAttr : unsigned {
    AttrHighlight = 1, // bold / bright
    AttrReverse = 2,   // reverse video
    AttrUnderline = 4,
    AttrHome = 8, // the home field (the command line) that Home goes to; when several
                  // fields carry it, the one created last
};

struct FieldSpec {
    int id = 0;
    int row = 0, col = 0;
    int height = 1; // an input field of two rows continues on the next row at `col`
    int width = 0;
    bool input = false; // unprotected: the user may type into it
    int colour = 7;     // colour number 1..63 (see default_palette); 0: the terminal's default
    unsigned attrs = 0; // FieldAttr bits
};

struct Field {
    FieldSpec desc;
    std::string text;      // the content, at most height*width bytes
    std::string original;  // the text as last filled by the program
    bool modified = false; // text differs from original after the user's edits
};

struct ModifiedField {
    int id;
    std::string text; // the content as edited (trailing blanks included)
};

struct Cell {
    unsigned char ch = ' ';
    std::uint8_t colour = 0;
    std::uint8_t attrs = 0;
};

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
};
inline bool operator==(const Rgb& a, const Rgb& b) {
    return a.r == b.r && a.g == b.g && a.b == b.b;
}

// Colour numbers 1..63 with their RGB values; entry 0 is the background, 8 is unused.
using Palette = std::array<Rgb, 64>;
const Palette& default_palette();

struct CursorPos {
    int row = 0, col = 0;
    int field_id = -1; // the field under the cursor, -1 when none
    int offset = 0;    // position within that field (row-major over its rows)
};

struct InputTurn {
    Key key; // the key that ended the turn
    CursorPos cursor;
    bool cursor_moved = false; // the user moved the cursor during the turn
};

enum class Answer { Save, Cancel, Continue };

// ---- The window ----------------------------------------------------------

struct FieldWindow;

// The operations a backend provides. `state` of the window belongs to the backend.
struct FieldBackend {
    const char* name;
    void (*present)(FieldWindow& w);               // show what changed and the cursor
    Key (*read_key)(FieldWindow& w);               // wait for the next key
    void (*bell)(FieldWindow& w);                  //
    void (*flash)(FieldWindow& w, const Field& f); // draw attention to a field briefly
    void (*title)(FieldWindow& w);                 // w.title changed
    void (*colours)(FieldWindow& w);               // palette or background changed
    Answer (*question)(FieldWindow& w, std::string_view title, std::span<const std::string> lines);
    void (*close)(FieldWindow& w);
};

struct FieldWindow {
    const FieldBackend* backend = nullptr;
    std::shared_ptr<void> state; // backend state (curses or headless)

    int rows = 0, cols = 0;
    std::vector<Cell> cells;                  // rows*cols, composed from the fields
    std::vector<int> owner;                   // per cell: 1 + index of the topmost field, 0 none
    std::vector<bool> dirty_rows;             // rows changed since the last present
    std::vector<Field> fields;                // in creation order
    std::unordered_map<int, int> field_index; // id -> index in fields

    CursorPos cursor;
    CursorPos before_home; // where Home returns to
    bool insert_mode = false;
    bool caps = false;

    std::string title;
    Palette palette = default_palette();
    bool background_set = false, foreground_set = false;
    Rgb background, foreground;
};

// Opens the terminal (ncursesw). On failure returns false and says why in *error.
bool open_terminal_window(FieldWindow& w, std::string* error);
// A headless window of the given size (see headless.h for its script and dump).
void open_headless_window(FieldWindow& w, int rows, int cols);
void close_window(FieldWindow& w);

struct WindowSize {
    int rows, cols;
};
WindowSize window_size(const FieldWindow& w);

// Sets the window title; the terminal is told only when the text changed.
void set_title(FieldWindow& w, std::string_view title);

// Removes every field; the window becomes blank.
void clear_fields(FieldWindow& w);
// Creates (or re-creates) a field, filled with `text` as set_field_text would.
// Parts outside the window are clipped; a field wholly outside, or with a
// non-positive or absurd size, is refused (false). A re-created field goes on top.
bool create_field(FieldWindow& w, const FieldSpec& desc, std::string_view text = {});
// Fills a field: the text is cut to the field's size; an output field is padded
// with blanks. Resets the field's modified flag. False when there is no such field.
bool set_field_text(FieldWindow& w, int id, std::string_view text);
bool set_field_colour(FieldWindow& w, int id, int colour, unsigned attrs);
const Field* find_field(const FieldWindow& w, int id);

// Colour numbers 1..63. Black (7) and White (62) can be redefined here too; the
// caller decides which colours are fixed.
bool set_colour_rgb(FieldWindow& w, int colour, Rgb rgb);
void set_background_rgb(FieldWindow& w, Rgb rgb);
void set_foreground_rgb(FieldWindow& w, Rgb rgb);

// The input fields whose text the user changed (it differs from what the program
// last put there), in creation order.
std::vector<ModifiedField> modified_fields(const FieldWindow& w);

// Places the cursor at `offset` within a field (clamped to the field), or at a cell.
bool place_cursor(FieldWindow& w, int id, int offset);
void place_cursor_at(FieldWindow& w, int row, int col);
CursorPos cursor_position(const FieldWindow& w);

void ring_bell(FieldWindow& w);
bool flash_field(FieldWindow& w, int id);

// Shows what changed since the last call (the terminal diffs; nothing is repainted
// that did not change).
void refresh_window(FieldWindow& w);

// One input turn: the user edits the input fields until a key ends the turn.
InputTurn read_input(FieldWindow& w, const InputPolicy& policy = {});
// Waits for one key without editing anything (for yes/no style prompts).
Key wait_key(FieldWindow& w);

// A modal question box with a title and up to three lines (more are ignored).
Answer ask_question(FieldWindow& w, std::string_view title, std::span<const std::string> lines);

// Applies one key to the fields as the input turn would, without ending anything:
// true when the key did something. Exposed for the backends and tests.
bool apply_edit_key(FieldWindow& w, const Key& key, const InputPolicy& policy = {});
// Replaces an input field's content as if the user had typed it.
bool user_edit_field(FieldWindow& w, int id, std::string_view text);

// For backends: sets up an empty grid of the given size (no fields), or changes
// the size keeping the fields (they are clipped to the new size, nothing typed is lost).
void reset_grid(FieldWindow& w, int rows, int cols);
void resize_grid(FieldWindow& w, int rows, int cols);

// ---- Colours -------------------------------------------------------------

// The nearest xterm 256-colour index (16..255: the colour cube and the grey ramp),
// leaving out the indexes marked in `avoid`.
int nearest_colour_256(Rgb rgb, const std::array<bool, 256>* avoid = nullptr);
// The nearest of the 8 basic colours (curses COLOR_BLACK .. COLOR_WHITE order).
int nearest_colour_8(Rgb rgb);

// ---- Bytes on the screen -------------------------------------------------

// How a byte shows in its cell: printable ASCII as itself, 160..255 as the Latin-1
// character of that code; control bytes (0..31, 127, 128..159) as a visible
// substitute letter flagged `control` (drawn in reverse video).
struct CellGlyph {
    char32_t ch;
    bool control;
};
CellGlyph cell_glyph(unsigned char byte);

// The window title as bytes for the terminal: control bytes become '?' (so that a
// file name cannot smuggle escape sequences), 160..255 are Latin-1, encoded as
// UTF-8 when the terminal speaks it.
std::string title_for_terminal(std::string_view title, bool utf8);

} // namespace voren::platform
