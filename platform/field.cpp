// The backend-neutral part of the field layer: fields, the cell grid they are
// composed into, the cursor and the editing of input fields.
#include "platform/field.h"

#include "platform/hangup.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace voren::platform {

int modifier_group(std::uint8_t m) {
    static const int group[8] = {
        0, // none
        1, // Shift
        2, // Control
        4, // Shift+Control
        3, // Alt
        5, // Shift+Alt
        6, // Control+Alt
        7, // Shift+Control+Alt
    };
    return group[m & 7];
}

std::string key_name(const Key& key) {
    static const char* prefix[8] = {"", "S-", "C-", "M-", "S+C-", "S+M-", "C+M-", "S+C+M-"};
    std::string mods = prefix[modifier_group(key.modifiers)];
    switch (key.kind) {
    case KeyKind::None: return "NONE";
    case KeyKind::Char: return std::string(1, static_cast<char>(key.code));
    case KeyKind::Control: return mods + "^" + std::string(1, static_cast<char>(key.code));
    case KeyKind::Alt: return "M-" + std::string(1, static_cast<char>(key.code));
    case KeyKind::Enter: return mods + "ENTER";
    case KeyKind::F: return mods + "F" + std::to_string(key.number);
    case KeyKind::L: return mods + "L" + std::to_string(key.number);
    case KeyKind::R: return mods + "R" + std::to_string(key.number);
    case KeyKind::Tab: return mods + "TAB";
    case KeyKind::Backspace: return mods + "BACKSPACE";
    case KeyKind::Delete: return mods + "DELETE";
    case KeyKind::Insert: return mods + "INSERT";
    case KeyKind::Escape: return mods + "ESCAPE";
    case KeyKind::Resize: return "RESIZE";
    case KeyKind::Hangup: return "HANGUP";
    case KeyKind::ScriptEnd: return "SCRIPTEND";
    }
    return "?";
}

CellGlyph cell_glyph(unsigned char b) {
    if (b >= 0x20 && b < 0x7f) return {b, false};
    if (b >= 0xa0) return {b, false};
    if (b == 0x7f) return {U'?', true};
    return {static_cast<char32_t>('@' + (b & 0x1f)), true};
}

std::string title_for_terminal(std::string_view title, bool utf8) {
    std::string out;
    for (unsigned char b : title) {
        if (b < 0x20 || (b >= 0x7f && b < 0xa0)) {
            out.push_back('?');
        } else if (b >= 0x80 && utf8) {
            out.push_back(static_cast<char>(0xc0 | (b >> 6)));
            out.push_back(static_cast<char>(0x80 | (b & 0x3f)));
        } else {
            out.push_back(static_cast<char>(b));
        }
    }
    return out;
}

// ---- geometry helpers ----

static int capacity(const FieldSpec& s) {
    return s.height * s.width;
}

static bool cell_of(const FieldSpec& s, int offset, int& row, int& col) {
    if (offset < 0 || offset >= capacity(s)) return false;
    row = s.row + offset / s.width;
    col = s.col + offset % s.width;
    return true;
}

static int offset_of(const FieldSpec& s, int row, int col) {
    return (row - s.row) * s.width + (col - s.col);
}

static Field* field_by_id(FieldWindow& w, int id) {
    auto it = w.field_index.find(id);
    return it == w.field_index.end() ? nullptr : &w.fields[it->second];
}

const Field* find_field(const FieldWindow& w, int id) {
    auto it = w.field_index.find(id);
    return it == w.field_index.end() ? nullptr : &w.fields[it->second];
}

static Field* field_at(FieldWindow& w, int row, int col) {
    if (row < 0 || row >= w.rows || col < 0 || col >= w.cols) return nullptr;
    int o = w.owner[row * w.cols + col];
    return o ? &w.fields[o - 1] : nullptr;
}

static Field* input_field_at(FieldWindow& w, int row, int col) {
    Field* f = field_at(w, row, col);
    return f && f->desc.input ? f : nullptr;
}

// Writes a field's text into the cells it owns.
static void paint_field(FieldWindow& w, int index) {
    const Field& f = w.fields[index];
    const FieldSpec& s = f.desc;
    const int tag = index + 1;
    const int c0 = std::max(s.col, 0), c1 = std::min(s.col + s.width, w.cols);
    const auto colour = static_cast<std::uint8_t>(s.colour);
    const auto attrs = static_cast<std::uint8_t>(s.attrs);
    const auto* text = reinterpret_cast<const unsigned char*>(f.text.data());
    const long length = static_cast<long>(f.text.size());
    for (int r = std::max(s.row, 0); r < std::min(s.row + s.height, w.rows); ++r) {
        const std::size_t row_start = static_cast<std::size_t>(r) * w.cols;
        Cell* cells = w.cells.data() + row_start;
        const int* owner = w.owner.data() + row_start;
        long off = static_cast<long>(r - s.row) * s.width + (c0 - s.col);
        bool any = false;
        for (int c = c0; c < c1; ++c, ++off) {
            if (owner[c] != tag) continue;
            cells[c] =
                Cell{off < length ? text[off] : static_cast<unsigned char>(' '), colour, attrs};
            any = true;
        }
        if (any) w.dirty_rows[r] = true;
    }
}

void reset_grid(FieldWindow& w, int rows, int cols) {
    w.rows = std::max(rows, 0);
    w.cols = std::max(cols, 0);
    w.cells.assign(static_cast<std::size_t>(w.rows) * w.cols, Cell{});
    w.owner.assign(w.cells.size(), 0);
    w.dirty_rows.assign(w.rows, true);
    w.fields.clear();
    w.field_index.clear();
    w.cursor = CursorPos{};
    w.before_home = CursorPos{};
}

void resize_grid(FieldWindow& w, int rows, int cols) {
    std::vector<Field> fields = std::move(w.fields);
    CursorPos cursor = w.cursor, before_home = w.before_home;
    reset_grid(w, rows, cols);
    for (Field& f : fields) {
        if (!create_field(w, f.desc)) {
            // Wholly outside now: kept without cells, so what was typed is not lost.
            w.field_index[f.desc.id] = static_cast<int>(w.fields.size());
            w.fields.push_back(std::move(f));
            continue;
        }
        Field& now = w.fields.back();
        now.text = std::move(f.text);
        now.original = std::move(f.original);
        now.modified = f.modified;
        paint_field(w, static_cast<int>(w.fields.size() - 1));
    }
    w.before_home = before_home;
    place_cursor_at(w, cursor.row, cursor.col);
}

WindowSize window_size(const FieldWindow& w) {
    return {w.rows, w.cols};
}

void set_title(FieldWindow& w, std::string_view title) {
    if (title == w.title) return;
    w.title = title;
    if (w.backend && w.backend->title) w.backend->title(w);
}

void clear_fields(FieldWindow& w) {
    w.fields.clear();
    w.field_index.clear();
    std::fill(w.cells.begin(), w.cells.end(), Cell{});
    std::fill(w.owner.begin(), w.owner.end(), 0);
    std::fill(w.dirty_rows.begin(), w.dirty_rows.end(), true);
}

static void refresh_cursor_field(FieldWindow& w) {
    Field* f = field_at(w, w.cursor.row, w.cursor.col);
    w.cursor.field_id = f ? f->desc.id : -1;
    w.cursor.offset = f ? offset_of(f->desc, w.cursor.row, w.cursor.col) : 0;
}

// Gives every cell of the field at `index` to it, as the topmost field there.
static void claim_cells(FieldWindow& w, int index) {
    const FieldSpec& s = w.fields[index].desc;
    const int c0 = std::max(s.col, 0), c1 = std::min(s.col + s.width, w.cols);
    for (int r = std::max(s.row, 0); r < std::min(s.row + s.height, w.rows); ++r) {
        int* owner = w.owner.data() + static_cast<std::size_t>(r) * w.cols;
        std::fill(owner + c0, owner + c1, index + 1);
    }
    paint_field(w, index);
}

// Rebuilds the index, the owners and the cells from the list of fields.
static void rebuild(FieldWindow& w) {
    w.field_index.clear();
    std::fill(w.cells.begin(), w.cells.end(), Cell{});
    std::fill(w.owner.begin(), w.owner.end(), 0);
    std::fill(w.dirty_rows.begin(), w.dirty_rows.end(), true);
    for (std::size_t i = 0; i < w.fields.size(); ++i) {
        w.field_index[w.fields[i].desc.id] = static_cast<int>(i);
        claim_cells(w, static_cast<int>(i));
    }
}

// Limits that keep every position and size computation well inside an int.
constexpr int max_field_width = 100000, max_field_height = 10000, max_position = 1000000;

// The text as a field of this size holds it: cut to height x width bytes.
static std::string field_text(const FieldSpec& s, std::string_view text) {
    std::size_t cap = static_cast<std::size_t>(s.height) * static_cast<std::size_t>(s.width);
    return std::string(text.substr(0, std::min(text.size(), cap)));
}

bool create_field(FieldWindow& w, const FieldSpec& desc, std::string_view text) {
    if (desc.width <= 0 || desc.height <= 0 || desc.width > max_field_width ||
        desc.height > max_field_height || std::abs(desc.row) > max_position ||
        std::abs(desc.col) > max_position)
        return false;
    if (desc.row >= w.rows || desc.col >= w.cols || desc.row + desc.height <= 0 ||
        desc.col + desc.width <= 0)
        return false;
    FieldSpec s = desc;
    if (s.colour < 0 || s.colour > 63) s.colour = 0;
    Field field{s, field_text(s, text), {}, false};
    if (s.input) field.original = field.text;
    auto old = w.field_index.find(s.id);
    if (old != w.field_index.end()) {
        // Re-creating a field: it goes on top, as a new field would.
        w.fields.erase(w.fields.begin() + old->second);
        w.fields.push_back(std::move(field));
        rebuild(w);
    } else {
        int index = static_cast<int>(w.fields.size());
        w.fields.push_back(std::move(field));
        w.field_index[s.id] = index;
        claim_cells(w, index);
    }
    refresh_cursor_field(w);
    return true;
}

bool set_field_text(FieldWindow& w, int id, std::string_view text) {
    Field* f = field_by_id(w, id);
    if (!f) return false;
    f->text = field_text(f->desc, text);
    if (f->desc.input) f->original = f->text; // output fields are never edited
    f->modified = false;
    paint_field(w, static_cast<int>(f - w.fields.data()));
    return true;
}

bool set_field_colour(FieldWindow& w, int id, int colour, unsigned attrs) {
    Field* f = field_by_id(w, id);
    if (!f || colour < 0 || colour > 63) return false;
    f->desc.colour = colour;
    f->desc.attrs = attrs;
    paint_field(w, static_cast<int>(f - w.fields.data()));
    return true;
}

bool user_edit_field(FieldWindow& w, int id, std::string_view text) {
    Field* f = field_by_id(w, id);
    if (!f || !f->desc.input) return false;
    f->text = field_text(f->desc, text);
    f->modified = f->text != f->original;
    paint_field(w, static_cast<int>(f - w.fields.data()));
    return true;
}

static void colours_changed(FieldWindow& w) {
    if (w.backend && w.backend->colours) w.backend->colours(w);
}

bool set_colour_rgb(FieldWindow& w, int colour, Rgb rgb) {
    if (colour < 1 || colour > 63) return false;
    if (w.palette[colour] == rgb) return true;
    w.palette[colour] = rgb;
    colours_changed(w);
    return true;
}

void set_background_rgb(FieldWindow& w, Rgb rgb) {
    w.background = rgb;
    w.background_set = true;
    w.palette[0] = rgb;
    colours_changed(w);
}

void set_foreground_rgb(FieldWindow& w, Rgb rgb) {
    w.foreground = rgb;
    w.foreground_set = true;
    colours_changed(w);
}

std::vector<ModifiedField> modified_fields(const FieldWindow& w) {
    std::vector<ModifiedField> out;
    for (const Field& f : w.fields)
        if (f.modified) out.push_back({f.desc.id, f.text});
    return out;
}

bool place_cursor(FieldWindow& w, int id, int offset) {
    Field* f = field_by_id(w, id);
    if (!f) return false;
    offset = std::clamp(offset, 0, capacity(f->desc) - 1);
    int row = 0, col = 0;
    cell_of(f->desc, offset, row, col);
    place_cursor_at(w, row, col);
    return true;
}

void place_cursor_at(FieldWindow& w, int row, int col) {
    if (w.rows == 0 || w.cols == 0) return;
    w.cursor.row = std::clamp(row, 0, w.rows - 1);
    w.cursor.col = std::clamp(col, 0, w.cols - 1);
    refresh_cursor_field(w);
}

CursorPos cursor_position(const FieldWindow& w) {
    return w.cursor;
}

void ring_bell(FieldWindow& w) {
    if (w.backend && w.backend->bell) w.backend->bell(w);
}

bool flash_field(FieldWindow& w, int id) {
    Field* f = field_by_id(w, id);
    if (!f) return false;
    if (w.backend && w.backend->flash) w.backend->flash(w, *f);
    return true;
}

void refresh_window(FieldWindow& w) {
    if (w.backend && w.backend->present) w.backend->present(w);
    std::fill(w.dirty_rows.begin(), w.dirty_rows.end(), false);
}

void close_window(FieldWindow& w) {
    if (w.backend && w.backend->close) w.backend->close(w);
    w.backend = nullptr;
    w.state.reset();
}

// ---- cursor movement ----

static long position_key(const FieldWindow& w, int row, int col) {
    return static_cast<long>(row) * w.cols + col;
}

// The first cell a field still owns (a later field may cover its start), as a
// position key; -1 when the field shows nowhere.
static long first_visible_cell(const FieldWindow& w, const Field& f) {
    int index = static_cast<int>(&f - w.fields.data());
    for (int off = 0; off < capacity(f.desc); ++off) {
        int r = 0, c = 0;
        cell_of(f.desc, off, r, c);
        if (r >= 0 && r < w.rows && c >= 0 && c < w.cols && w.owner[r * w.cols + c] == index + 1)
            return position_key(w, r, c);
    }
    return -1;
}

// The starts of the input fields on the window, in reading order.
static std::vector<long> input_field_starts(const FieldWindow& w) {
    std::vector<long> starts;
    for (const Field& f : w.fields) {
        if (!f.desc.input) continue;
        long start = first_visible_cell(w, f);
        if (start >= 0) starts.push_back(start);
    }
    std::sort(starts.begin(), starts.end());
    return starts;
}

static void move_to(FieldWindow& w, long position) {
    place_cursor_at(w, static_cast<int>(position / w.cols), static_cast<int>(position % w.cols));
}

static bool move_to_field_start(FieldWindow& w, const Field& f) {
    long start = first_visible_cell(w, f);
    if (start < 0) return false;
    move_to(w, start);
    return true;
}

static void next_field(FieldWindow& w) {
    std::vector<long> starts = input_field_starts(w);
    if (starts.empty()) return;
    long here = position_key(w, w.cursor.row, w.cursor.col);
    auto next = std::upper_bound(starts.begin(), starts.end(), here);
    move_to(w, next == starts.end() ? starts.front() : *next); // wraps to the first
}

static void previous_field(FieldWindow& w) {
    std::vector<long> starts = input_field_starts(w);
    if (starts.empty()) return;
    long here = position_key(w, w.cursor.row, w.cursor.col);
    auto at = std::lower_bound(starts.begin(), starts.end(), here);
    move_to(w, at == starts.begin() ? starts.back() : *(at - 1)); // wraps to the last
}

// Moves to the input field on another row (direction +1 below, -1 above),
// keeping the column when that field covers it.
static void vertical_field(FieldWindow& w, int direction) {
    for (int step = 1; step < w.rows; ++step) {
        int row = ((w.cursor.row + direction * step) % w.rows + w.rows) % w.rows;
        if (input_field_at(w, row, w.cursor.col)) {
            place_cursor_at(w, row, w.cursor.col);
            return;
        }
        // No input field in this column: take the nearest one on that row.
        int best = -1;
        for (int c = 0; c < w.cols; ++c)
            if (input_field_at(w, row, c) &&
                (best < 0 || std::abs(c - w.cursor.col) < std::abs(best - w.cursor.col)))
                best = c;
        if (best >= 0) {
            place_cursor_at(w, row, best);
            return;
        }
    }
}

static void home(FieldWindow& w) {
    Field* home_field = nullptr;
    for (Field& f : w.fields)
        if (f.desc.input && (f.desc.attrs & AttrHome)) home_field = &f;
    if (!home_field) return;
    if (w.cursor.field_id == home_field->desc.id) {
        place_cursor_at(w, w.before_home.row, w.before_home.col);
        return;
    }
    w.before_home = w.cursor;
    move_to_field_start(w, *home_field);
}

static void move_cursor(FieldWindow& w, int drow, int dcol) {
    if (w.rows == 0 || w.cols == 0) return;
    long cells = static_cast<long>(w.rows) * w.cols;
    long pos = position_key(w, w.cursor.row, w.cursor.col);
    if (dcol) pos = ((pos + dcol) % cells + cells) % cells;
    int row = static_cast<int>(pos / w.cols), col = static_cast<int>(pos % w.cols);
    if (drow) row = ((row + drow) % w.rows + w.rows) % w.rows;
    place_cursor_at(w, row, col);
}

// ---- editing ----

// Shows a field's new text; it counts as modified when it differs from what the
// program last put there.
static void put_text(FieldWindow& w, Field& f, const std::string& before) {
    if (f.text == before) return;
    f.modified = f.text != f.original;
    paint_field(w, static_cast<int>(&f - w.fields.data()));
}

// Whether the field shows at `offset` (a cell inside the window that it owns).
static bool shows_at(const FieldWindow& w, const Field& f, int offset) {
    int r = 0, c = 0;
    if (!cell_of(f.desc, offset, r, c)) return false;
    if (r < 0 || r >= w.rows || c < 0 || c >= w.cols) return false;
    return w.owner[r * w.cols + c] == static_cast<int>(&f - w.fields.data()) + 1;
}

static void type_byte(FieldWindow& w, unsigned char ch) {
    Field* f = input_field_at(w, w.cursor.row, w.cursor.col);
    if (!f) {
        ring_bell(w); // protected cell
        return;
    }
    if (w.caps && ch < 0x80) ch = static_cast<unsigned char>(std::toupper(ch));
    std::size_t off = static_cast<std::size_t>(w.cursor.offset);
    std::size_t cap = static_cast<std::size_t>(capacity(f->desc));
    std::string& t = f->text;
    std::string before = t;
    if (w.insert_mode && off < t.size()) {
        // Inserting pushes the rest right; only blanks may fall off the end.
        if (t.size() >= cap) {
            if (t.back() != ' ') {
                ring_bell(w);
                return;
            }
            t.pop_back();
        }
        t.insert(t.begin() + static_cast<long>(off), static_cast<char>(ch));
    } else {
        if (t.size() <= off) t.resize(off + 1, ' ');
        t[off] = static_cast<char>(ch);
    }
    put_text(w, *f, before);
    int next = static_cast<int>(off) + 1;
    if (shows_at(w, *f, next)) {
        int r = 0, c = 0;
        cell_of(f->desc, next, r, c);
        place_cursor_at(w, r, c);
    } else {
        next_field(w); // the field ends here: on to the next input field
    }
}

static void delete_at(FieldWindow& w, Field& f, std::size_t off) {
    std::string before = f.text;
    if (off < f.text.size()) f.text.erase(off, 1);
    put_text(w, f, before);
}

static void backspace(FieldWindow& w) {
    Field* f = input_field_at(w, w.cursor.row, w.cursor.col);
    if (!f || w.cursor.offset == 0) {
        if (!f) move_cursor(w, 0, -1);
        return;
    }
    int r = 0, c = 0;
    cell_of(f->desc, w.cursor.offset - 1, r, c);
    place_cursor_at(w, r, c);
    delete_at(w, *f, static_cast<std::size_t>(w.cursor.offset));
}

static void erase_eof(FieldWindow& w) {
    Field* f = input_field_at(w, w.cursor.row, w.cursor.col);
    if (!f) return;
    std::string before = f->text;
    std::size_t off = static_cast<std::size_t>(w.cursor.offset);
    if (off < f->text.size()) f->text.resize(off);
    put_text(w, *f, before);
}

static bool is_default_end(const Key& k) {
    return k.kind == KeyKind::F;
}

static FieldFunction default_function(const Key& k) {
    if (k.kind == KeyKind::Insert && k.modifiers == 0) return FieldFunction::Insert;
    return FieldFunction::None;
}

static void run_function(FieldWindow& w, FieldFunction fn) {
    switch (fn) {
    case FieldFunction::None: break;
    case FieldFunction::Home: home(w); break;
    case FieldFunction::PrevField: previous_field(w); break;
    case FieldFunction::NextField: next_field(w); break;
    case FieldFunction::Insert: w.insert_mode = !w.insert_mode; break;
    case FieldFunction::Caps: w.caps = !w.caps; break;
    case FieldFunction::DownField: vertical_field(w, 1); break;
    case FieldFunction::UpField: vertical_field(w, -1); break;
    case FieldFunction::EraseEof: erase_eof(w); break;
    }
}

bool apply_edit_key(FieldWindow& w, const Key& k, const InputPolicy& policy) {
    FieldFunction fn = policy.field_function ? policy.field_function(k) : default_function(k);
    if (fn != FieldFunction::None) {
        run_function(w, fn);
        return true;
    }
    switch (k.kind) {
    case KeyKind::Char: type_byte(w, k.code); return true;
    case KeyKind::Backspace: backspace(w); return true;
    case KeyKind::Delete:
        if (k.modifiers) return false;
        if (Field* f = input_field_at(w, w.cursor.row, w.cursor.col))
            delete_at(w, *f, static_cast<std::size_t>(w.cursor.offset));
        return true;
    case KeyKind::Tab:
        if (k.modifiers == ModShift)
            previous_field(w);
        else if (k.modifiers == 0)
            next_field(w);
        else
            return false;
        return true;
    case KeyKind::R:
        if (k.modifiers) return false;
        switch (k.number) {
        case 8: move_cursor(w, -1, 0); return true;
        case 10: move_cursor(w, 0, -1); return true;
        case 12: move_cursor(w, 0, 1); return true;
        case 14: move_cursor(w, 1, 0); return true;
        default: return false;
        }
    default: return false;
    }
}

static bool ends_turn(const Key& k, const InputPolicy& policy) {
    switch (k.kind) {
    case KeyKind::Enter:
    case KeyKind::Resize:
    case KeyKind::Hangup:
    case KeyKind::ScriptEnd: return true;
    default: break;
    }
    return policy.ends_turn ? policy.ends_turn(k) : is_default_end(k);
}

static Key next_key(FieldWindow& w) {
    if (hangup_pending()) return Key{KeyKind::Hangup, run_pending_hangup()};
    if (!w.backend || !w.backend->read_key) return Key{KeyKind::ScriptEnd};
    Key k = w.backend->read_key(w);
    if (k.kind == KeyKind::Hangup && hangup_pending()) k.number = run_pending_hangup();
    return k;
}

InputTurn read_input(FieldWindow& w, const InputPolicy& policy) {
    refresh_window(w);
    const int start_row = w.cursor.row, start_col = w.cursor.col;
    for (;;) {
        Key k = next_key(w);
        if (ends_turn(k, policy)) {
            refresh_cursor_field(w);
            bool moved = w.cursor.row != start_row || w.cursor.col != start_col;
            return InputTurn{k, w.cursor, moved};
        }
        if (apply_edit_key(w, k, policy)) refresh_window(w);
    }
}

Key wait_key(FieldWindow& w) {
    refresh_window(w);
    return next_key(w);
}

Answer ask_question(FieldWindow& w, std::string_view title, std::span<const std::string> lines) {
    if (lines.size() > 3) lines = lines.first(3);
    if (!w.backend || !w.backend->question) return Answer::Cancel;
    return w.backend->question(w, title, lines);
}

} // namespace voren::platform
