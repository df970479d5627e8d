// The terminal backend of the field layer, on ncursesw.
//
// Keys are read as raw bytes (keypad off) and translated by decode_key, so that
// every modifier the terminal reports reaches the editor. Cells are written into
// curses' screen image, which sends only what changed.
#include "platform/field.h"
#include "platform/hangup.h"
#include "platform/term_keys.h"

#include <algorithm>
#include <clocale>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <langinfo.h>
#include <poll.h>
#include <string>
#include <unistd.h>

#ifndef NCURSES_WIDECHAR
#define NCURSES_WIDECHAR 1
#endif
#include <ncursesw/curses.h>
#include <ncursesw/term.h>

namespace voren::platform {

namespace {

enum class ColourMode { None, Basic8, Palette256 };

struct CursesState {
    SCREEN* screen = nullptr;
    bool utf8 = false;
    bool title_supported = false;
    bool title_pushed = false; // the terminal's own title was saved and is restored at the end
    bool other_keys = false;   // xterm modifyOtherKeys switched on
    ColourMode colour_mode = ColourMode::None;
    bool can_redefine = false; // the terminal takes new RGB values and restores them at exit
    KeyDecodeOptions decode_options;
    std::string pending; // bytes read but not yet decoded
    int quiet_reads = 0; // reads that found input ready but got nothing
    // The cells as last handed to curses, so that only changed cells are written;
    // emptied whenever the terminal's picture is not the grid's any more.
    std::vector<Cell> shown;

    void shut_down();
    ~CursesState() { shut_down(); }
};

// The terminal in use, so that a program that exits without closing its window
// (exit() from a hangup handler, say) still gives the user a sane terminal back.
CursesState* active_terminal = nullptr;

void restore_terminal_at_exit() {
    if (active_terminal) active_terminal->shut_down();
}

void CursesState::shut_down() {
    if (!screen) return;
    if (active_terminal == this) active_terminal = nullptr;
    std::string restore;
    if (other_keys) restore += "\x1b[>4m";
    if (title_pushed) restore += "\x1b[23;2t";
    endwin();
    if (!restore.empty()) {
        [[maybe_unused]] ssize_t n = ::write(STDOUT_FILENO, restore.data(), restore.size());
    }
    delscreen(screen);
    screen = nullptr;
}

// Colours keep to the terminal's standard palette; only a colour whose RGB value
// was changed gets a palette slot of its own (16 + its number) with that value,
// where the terminal can change colours. The other colours avoid those slots.
constexpr int own_slot_base = 16;

CursesState& state_of(FieldWindow& w) {
    return *static_cast<CursesState*>(w.state.get());
}

short scale_1000(std::uint8_t v) {
    return static_cast<short>(v * 1000 / 255);
}

void define_colours(FieldWindow& w) {
    CursesState& s = state_of(w);
    if (s.colour_mode == ColourMode::None) return;
    const Palette& defaults = default_palette();
    std::array<bool, 256> own{};
    if (s.colour_mode == ColourMode::Palette256 && s.can_redefine) {
        for (int i = 1; i < 64; ++i) {
            if (w.palette[i] == defaults[i]) continue;
            own[own_slot_base + i] = true;
            const Rgb& c = w.palette[i];
            init_color(static_cast<short>(own_slot_base + i), scale_1000(c.r), scale_1000(c.g),
                       scale_1000(c.b));
        }
    }
    auto slot = [&](Rgb rgb) -> short {
        if (s.colour_mode == ColourMode::Basic8) return static_cast<short>(nearest_colour_8(rgb));
        return static_cast<short>(nearest_colour_256(rgb, &own));
    };
    short background = w.background_set ? slot(w.background) : -1;
    short foreground = w.foreground_set ? slot(w.foreground) : -1;
    int pairs = std::min(COLOR_PAIRS, 64);
    for (int i = 1; i < pairs; ++i) {
        short fg =
            own[own_slot_base + i] ? static_cast<short>(own_slot_base + i) : slot(w.palette[i]);
        // Black is the text colour: on the terminal's own background it takes the
        // terminal's own foreground, so that it stays readable on dark terminals.
        if (i == 7 && !w.background_set) fg = foreground;
        init_pair(static_cast<short>(i), fg, background);
    }
    if (w.background_set || w.foreground_set) assume_default_colors(foreground, background);
}

attr_t cell_attrs(const Cell& cell) {
    attr_t a = A_NORMAL;
    if (cell.attrs & AttrHighlight) a |= A_BOLD;
    if (cell.attrs & AttrReverse) a |= A_REVERSE;
    if (cell.attrs & AttrUnderline) a |= A_UNDERLINE;
    return a;
}

// Set when the locale cannot show Latin-1: such bytes then show as a reversed
// '?' like control bytes (the text itself is untouched).
bool show_ascii_only = false;

void put_cell(WINDOW* win, int row, int col, unsigned char byte, attr_t attrs, short pair) {
    CellGlyph g = cell_glyph(byte);
    if (show_ascii_only && g.ch >= 0x80) g = {U'?', true};
    wchar_t text[2] = {static_cast<wchar_t>(g.ch), 0};
    if (g.control) {
        attrs |= A_REVERSE;
        if (byte >= 0x80) attrs |= A_UNDERLINE; // C1 controls apart from C0
    }
    cchar_t cc;
    setcchar(&cc, text, attrs, pair, nullptr);
    mvwadd_wch(win, row, col, &cc);
}

short cell_pair(const FieldWindow& w, const Cell& cell) {
    const CursesState& s = *static_cast<const CursesState*>(w.state.get());
    if (s.colour_mode == ColourMode::None || cell.colour >= COLOR_PAIRS) return 0;
    return cell.colour;
}

bool same_cell(const Cell& a, const Cell& b) {
    return a.ch == b.ch && a.colour == b.colour && a.attrs == b.attrs;
}

// Hands the changed cells of the changed rows to curses.
void paint_rows(FieldWindow& w) {
    CursesState& s = state_of(w);
    if (s.shown.size() != w.cells.size()) {
        Cell unknown;
        unknown.colour = 255; // matches no real cell
        s.shown.assign(w.cells.size(), unknown);
    }
    int rows = std::min(w.rows, LINES), cols = std::min(w.cols, COLS);
    for (int r = 0; r < rows; ++r) {
        if (!w.dirty_rows[r]) continue;
        for (int c = 0; c < cols; ++c) {
            std::size_t i = static_cast<std::size_t>(r) * w.cols + c;
            const Cell& cell = w.cells[i];
            if (same_cell(cell, s.shown[i])) continue;
            put_cell(stdscr, r, c, cell.ch, cell_attrs(cell), cell_pair(w, cell));
            s.shown[i] = cell;
        }
    }
}

void forget_shown(FieldWindow& w) {
    state_of(w).shown.clear();
    std::fill(w.dirty_rows.begin(), w.dirty_rows.end(), true);
}

void place_terminal_cursor(FieldWindow& w) {
    if (w.cursor.row < LINES && w.cursor.col < COLS) wmove(stdscr, w.cursor.row, w.cursor.col);
}

void curses_present(FieldWindow& w) {
    paint_rows(w);
    place_terminal_cursor(w);
    wnoutrefresh(stdscr);
    doupdate();
}

// The terminal's input is gone when the descriptor reports a hangup, or when it
// keeps saying "ready" while reads return nothing (end of file).
bool input_gone(CursesState& s) {
    pollfd p{STDIN_FILENO, POLLIN, 0};
    if (poll(&p, 1, 0) < 0) return false;
    if (p.revents & (POLLHUP | POLLERR | POLLNVAL)) return true;
    if (p.revents & POLLIN) return ++s.quiet_reads > 3;
    s.quiet_reads = 0;
    return false;
}

Key curses_read_key(FieldWindow& w) {
    CursesState& s = state_of(w);
    for (;;) {
        if (!s.pending.empty()) {
            KeyDecoding d = decode_key(s.pending, s.decode_options, true);
            if (d.complete) {
                s.pending.erase(0, d.length);
                return d.key;
            }
        }
        // Short waits while a sequence is incomplete; otherwise wake up now and
        // then to notice a hangup signal.
        wtimeout(stdscr, s.pending.empty() ? 200 : 40);
        int ch = wgetch(stdscr);
        if (ch == KEY_RESIZE) {
            resize_grid(w, LINES, COLS);
            forget_shown(w);
            Key k;
            k.kind = KeyKind::Resize;
            return k;
        }
        if (ch == ERR) {
            if (hangup_pending()) {
                Key k;
                k.kind = KeyKind::Hangup;
                return k;
            }
            if (!s.pending.empty()) {
                KeyDecoding d = decode_key(s.pending, s.decode_options, false);
                s.pending.erase(0, std::max<std::size_t>(d.length, 1));
                return d.key;
            }
            if (input_gone(s)) {
                note_hangup(SIGHUP);
                Key k;
                k.kind = KeyKind::Hangup;
                return k;
            }
            continue;
        }
        s.quiet_reads = 0;
        if (ch >= 0 && ch <= 255) s.pending.push_back(static_cast<char>(ch));
    }
}

void curses_bell(FieldWindow&) {
    beep();
}

void curses_flash(FieldWindow& w, const Field& f) {
    const FieldSpec& sp = f.desc;
    for (int r = std::max(sp.row, 0); r < std::min({sp.row + sp.height, w.rows, LINES}); ++r)
        for (int c = std::max(sp.col, 0); c < std::min({sp.col + sp.width, w.cols, COLS}); ++c) {
            const Cell& cell = w.cells[static_cast<std::size_t>(r) * w.cols + c];
            put_cell(stdscr, r, c, cell.ch, cell_attrs(cell) ^ A_REVERSE, cell_pair(w, cell));
        }
    wnoutrefresh(stdscr);
    doupdate();
    napms(120);
    forget_shown(w);
    curses_present(w);
}

void write_all(std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = ::write(STDOUT_FILENO, bytes.data(), bytes.size());
        if (n <= 0) return;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
}

void curses_title(FieldWindow& w) {
    CursesState& s = state_of(w);
    if (!s.title_supported) return;
    if (!s.title_pushed) {
        write_all("\x1b[22;2t"); // save the terminal's title, restored at the end
        s.title_pushed = true;
    }
    write_all("\x1b]2;" + title_for_terminal(w.title, s.utf8) + "\x07");
}

void curses_colours(FieldWindow& w) {
    define_colours(w);
    forget_shown(w);
}

void put_text(WINDOW* win, int row, int col, std::string_view text, int width, attr_t attrs) {
    for (int i = 0; i < width; ++i) {
        unsigned char b =
            i < static_cast<int>(text.size()) ? static_cast<unsigned char>(text[i]) : ' ';
        put_cell(win, row, col + i, b, attrs, 0);
    }
}

Answer curses_question(FieldWindow& w, std::string_view title,
                       std::span<const std::string> text_lines) {
    static const char* labels[3] = {"Save", "Cancel", "Continue"};
    static const Answer answers[3] = {Answer::Save, Answer::Cancel, Answer::Continue};
    const std::string button_row = "< Save >  < Cancel >  < Continue >";
    int selected = 1; // Cancel keeps everything as it is
    for (;;) {
        int width = static_cast<int>(std::max(title.size(), button_row.size()));
        for (const std::string& l : text_lines)
            width = std::max(width, static_cast<int>(l.size()));
        width = std::min(width + 4, std::max(COLS, 1));
        int height = std::min(static_cast<int>(text_lines.size()) + 4, std::max(LINES, 1));
        WINDOW* popup = newwin(height, width, std::max((LINES - height) / 2, 0),
                               std::max((COLS - width) / 2, 0));
        if (!popup) return Answer::Cancel;
        werase(popup);
        box(popup, 0, 0);
        int inner = width - 4;
        put_text(popup, 0, 2, title.substr(0, static_cast<std::size_t>(std::max(inner, 0))),
                 std::min(static_cast<int>(title.size()), inner), A_BOLD);
        for (std::size_t i = 0; i < text_lines.size() && static_cast<int>(i) + 1 < height - 2; ++i)
            put_text(popup, static_cast<int>(i) + 1, 2, text_lines[i], inner, A_NORMAL);
        int col = 2 + std::max(inner - static_cast<int>(button_row.size()), 0) / 2;
        for (int b = 0; b < 3; ++b) {
            std::string label = std::string("< ") + labels[b] + " >";
            put_text(popup, height - 2, col, label, static_cast<int>(label.size()),
                     b == selected ? A_REVERSE : A_NORMAL);
            col += static_cast<int>(label.size()) + 2;
        }
        wnoutrefresh(popup);
        doupdate();
        Key k = curses_read_key(w);
        delwin(popup);
        touchwin(stdscr);
        wnoutrefresh(stdscr);
        int choice = -1;
        switch (k.kind) {
        case KeyKind::Enter: choice = selected; break;
        case KeyKind::Escape:
        case KeyKind::Hangup: choice = 1; break;
        case KeyKind::Tab: selected = (selected + (k.modifiers & ModShift ? 2 : 1)) % 3; break;
        case KeyKind::R:
            if (k.number == 10) selected = (selected + 2) % 3;
            if (k.number == 12) selected = (selected + 1) % 3;
            break;
        case KeyKind::Char:
            switch (k.code) {
            case 's':
            case 'S': choice = 0; break;
            case 'c':
            case 'C': choice = 1; break;
            case 'o':
            case 'O':
            case 'n':
            case 'N': choice = 2; break;
            default: break;
            }
            break;
        default: break;
        }
        if (choice >= 0) {
            std::fill(w.dirty_rows.begin(), w.dirty_rows.end(), true);
            curses_present(w);
            return answers[choice];
        }
    }
}

void curses_close(FieldWindow& w) {
    state_of(w).shut_down();
}

const FieldBackend curses_backend = {
    "curses",     curses_present, curses_read_key, curses_bell,  curses_flash,
    curses_title, curses_colours, curses_question, curses_close,
};

bool term_starts_with(const char* term, std::initializer_list<const char*> prefixes) {
    if (!term) return false;
    for (const char* p : prefixes)
        if (std::strncmp(term, p, std::strlen(p)) == 0) return true;
    return false;
}

} // namespace

bool open_terminal_window(FieldWindow& w, std::string* error) {
    if (!isatty(STDIN_FILENO) || !isatty(STDOUT_FILENO)) {
        if (error) *error = "standard input and output must be a terminal";
        return false;
    }
    // Only the character type: number formatting must stay in the C locale.
    std::setlocale(LC_CTYPE, "");
    auto s = std::make_shared<CursesState>();
    s->screen = newterm(nullptr, stdout, stdin);
    if (!s->screen) {
        if (error) *error = "cannot initialise the terminal";
        return false;
    }
    const char* codeset = nl_langinfo(CODESET);
    s->utf8 = codeset && std::strcmp(codeset, "UTF-8") == 0;
    s->decode_options.utf8 = s->utf8;
    show_ascii_only = codeset && (std::strcmp(codeset, "ANSI_X3.4-1968") == 0 ||
                                  std::strcmp(codeset, "ASCII") == 0);
    raw();
    noecho();
    nonl();
    keypad(stdscr, FALSE);
    meta(stdscr, TRUE);
    intrflush(stdscr, FALSE);
    curs_set(1);

    const char* term = std::getenv("TERM");
    s->title_supported =
        tigetflag(const_cast<char*>("XT")) > 0 ||
        term_starts_with(term, {"xterm", "rxvt", "screen", "tmux", "alacritty", "foot", "kitty",
                                "st-", "vte", "gnome", "konsole"});
    if (term_starts_with(term, {"xterm"})) {
        // Ask xterm to report keys it otherwise folds together (Control+digit,
        // Control+Shift+letter, Shift+Enter ...).
        write_all("\x1b[>4;1m");
        s->other_keys = true;
    }

    if (has_colors()) {
        start_color();
        use_default_colors();
        char* reset = tigetstr(const_cast<char*>("oc"));
        bool can_restore = reset && reset != reinterpret_cast<char*>(-1);
        if (COLORS >= 256) {
            s->colour_mode = ColourMode::Palette256;
            s->can_redefine = can_change_color() && can_restore;
        } else if (COLORS >= 8) {
            s->colour_mode = ColourMode::Basic8;
        }
    }

    Palette palette = w.palette;
    w = FieldWindow{};
    w.palette = palette;
    w.backend = &curses_backend;
    w.state = s;
    static bool exit_hook = false;
    if (!exit_hook) exit_hook = std::atexit(restore_terminal_at_exit) == 0;
    active_terminal = s.get();
    reset_grid(w, LINES, COLS);
    define_colours(w);
    return true;
}

} // namespace voren::platform
