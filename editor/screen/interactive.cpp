// The screen layer's turn: redisplay, read one input turn, run what its key asks.
#include "editor/screen/interactive.h"

#include "editor/commands/executor.h"
#include "editor/core/editor.h"
#include "editor/core/emergency.h"
#include "editor/core/line_ops.h"
#include "editor/screen/keys.h"
#include "editor/screen/layout.h"
#include "platform/environment.h"
#include "platform/field.h"
#include "platform/hangup.h"

#include <csignal>

namespace voren {

namespace {

// The hang-up is handled in normal context: the field layer notices it while
// waiting for input and calls this, so a save never runs inside a signal handler.
void on_window_closed(int signal_number, void* context) {
    hangup_emergency(*static_cast<Editor*>(context), signal_number);
}

// The key tables the keys layer will own; until then the start-up defaults decide
// what Enter and the PF keys run.
const KeyTables& key_tables() {
    static const KeyTables defaults;
    return defaults;
}

std::optional<KeyId> key_id(const platform::Key& key) {
    KeyId id;
    id.shift = key.modifiers & platform::ModShift;
    id.control = key.modifiers & platform::ModControl;
    id.alt = key.modifiers & platform::ModAlt;
    switch (key.kind) {
    case platform::KeyKind::Enter: id.cls = KeyClass::Enter; break;
    case platform::KeyKind::F: id.cls = KeyClass::F, id.number = key.number; break;
    case platform::KeyKind::L: id.cls = KeyClass::L, id.number = key.number; break;
    case platform::KeyKind::R: id.cls = KeyClass::R, id.number = key.number; break;
    case platform::KeyKind::Control: id.cls = KeyClass::Control, id.number = key.code; break;
    case platform::KeyKind::Alt: id.cls = KeyClass::Alt, id.number = key.code; break;
    default: return std::nullopt;
    }
    return id;
}

std::string trim_right(std::string_view text) {
    size_t end = text.find_last_not_of(' ');
    return std::string(text.substr(0, end == std::string_view::npos ? 0 : end + 1));
}

// A file-area row the user typed over: the visible part is replaced, the part of
// the line beyond the field is kept.
void apply_line_edit(Editor& ed, const ShownRow& row, std::string_view typed) {
    File* file = current_file(ed);
    if (!file || row.line < 0 || row.line >= file->line_count()) return;
    std::string_view old = file->lines[size_t(row.line)].text.view();
    std::string text;
    if (int(old.size()) > row.text_width) {
        text.assign(typed);
        text.append(old.substr(size_t(row.text_width)));
    } else {
        text = trim_right(typed);
    }
    if (text != old) replace_line(ed, row.line, text, XF_TAG);
}

void take_modified_fields(Editor& ed, platform::FieldWindow& w) {
    ScreenState& st = ed.display;
    for (const platform::ModifiedField& field : platform::modified_fields(w)) {
        int screen = (field.id >> 16) - 1;
        int element = (field.id >> 12) & 0xf;
        int row = field.id & 0xfff;
        if (screen < 0 || screen >= int(st.layouts.size())) continue;
        if (element == kFieldCmdline) {
            if (screen == ed.screen_index)
                ed.cmd.command_line = trim_right(field.text);
            else
                st.layouts[size_t(screen)].command_text = trim_right(field.text);
        } else if (element == kFieldText && screen == ed.screen_index) {
            for (const ShownRow& shown : st.layouts[size_t(screen)].shown)
                if (shown.row == row) apply_line_edit(ed, shown, field.text);
        }
    }
}

void route_hangup(Editor& ed) {
    if (ed.display.hangup_routed) return;
    platform::set_hangup_handler(on_window_closed, &ed);
    ed.display.hangup_routed = true;
}

} // namespace

bool ask_user_yes_no(Editor& ed, const std::string& question) {
    ScreenState& st = ed.display;
    if (!st.window || !st.usable || !st.layout_valid) return false;
    platform::FieldWindow& w = *st.window;
    // The question takes the message line, its lines joined by blanks.
    std::string text;
    for (char c : question)
        text += c == '\n' ? ' ' : c;
    text += " (y/n)";
    std::string kept = ed.cmd.message_line;
    ed.cmd.message_line = text;
    redisplay_screens(ed);
    ed.cmd.message_line = kept;
    for (;;) {
        platform::Key key = platform::wait_key(w);
        switch (key.kind) {
        case platform::KeyKind::Char:
            if (key.code == 'y' || key.code == 'Y') return true;
            if (key.code == 'n' || key.code == 'N') return false;
            break;
        case platform::KeyKind::Resize:
            set_window_size(ed, w.rows, w.cols);
            ed.cmd.message_line = text;
            redisplay_screens(ed);
            ed.cmd.message_line = kept;
            break;
        case platform::KeyKind::Hangup: hangup_emergency(ed, key.number ? key.number : SIGHUP);
        case platform::KeyKind::Enter:
        case platform::KeyKind::Escape:
        case platform::KeyKind::ScriptEnd: return false;
        default: break;
        }
    }
}

void redisplay_screens(Editor& ed) {
    ScreenState& st = ed.display;
    if (!st.window) return;
    platform::FieldWindow& w = *st.window;
    if (w.rows != st.rows || w.cols != st.columns) set_window_size(ed, w.rows, w.cols);
    sync_layouts(ed);
    ed.cmd.message_width = st.layouts[size_t(ed.screen_index)].rect.columns;
    compose_window(ed, w);
    int id = field_id(ed.screen_index, kFieldCmdline);
    if (platform::find_field(w, id)) platform::place_cursor(w, id, int(ed.cmd.command_line.size()));
    if (st.usable) {
        if (st.user_name.empty())
            st.user_name = platform::environment_variable("USER").value_or(
                platform::environment_variable("LOGNAME").value_or(""));
        std::string title = window_title(ed);
        if (title != st.last_title) {
            platform::set_title(w, title);
            st.last_title = title;
        }
    }
    for (; ed.cmd.pending_beeps > 0; --ed.cmd.pending_beeps)
        platform::ring_bell(w);
    platform::refresh_window(w);
}

void wait_for_user_input(Editor& ed) {
    ScreenState& st = ed.display;
    st.input_ready = false;
    // Routed here, after start-up installed the core's emergency handlers.
    if (st.window) route_hangup(ed);
    // Queued commands run first; the user is asked only when nothing is waiting.
    if (!st.window || !ed.pending_commands.empty()) return;
    platform::FieldWindow& w = *st.window;
    for (;;) {
        platform::InputTurn turn = platform::read_input(w);
        switch (turn.key.kind) {
        case platform::KeyKind::Resize:
            set_window_size(ed, w.rows, w.cols);
            redisplay_screens(ed);
            continue;
        case platform::KeyKind::Hangup:
            hangup_emergency(ed, turn.key.number ? turn.key.number : SIGHUP);
        case platform::KeyKind::ScriptEnd:
            // A headless window whose script is used up: nobody is left to type.
            exit_editor(ed, 0);
        default: break;
        }
        if (!st.usable || !st.layout_valid) continue; // nothing shown, nothing to take
        take_modified_fields(ed, w);
        st.last_input = turn;
        st.input_ready = true;
        return;
    }
}

void run_input_key(Editor& ed) {
    ScreenState& st = ed.display;
    if (!st.input_ready) return;
    st.input_ready = false;
    std::optional<KeyId> id = key_id(st.last_input.key);
    if (!id) return;
    std::optional<KeyBinding> binding = lookup_key(key_tables(), *id);
    if (!binding) return;
    const std::string text = ed.cmd.command_line;
    ed.cmd.message_line.clear();
    // The command line empties when its text is what runs; a failed command
    // puts it back. A key whose definition runs alone leaves it as it is.
    execute_key(
        binding->definition, binding->mode, text,
        [&ed, &text](std::string_view command) {
            if (command.data() == text.data()) {
                ed.cmd.command_line.clear();
                ed.cmd.command_line_stays = false;
            }
            return execute_string(ed, command);
        },
        [&ed](std::string_view command) { record_history(ed, command); }, binding->plain_enter);
}

void attach_window(Editor& ed, std::shared_ptr<platform::FieldWindow> window) {
    ed.display.window = std::move(window);
    platform::FieldWindow& w = *ed.display.window;
    set_window_size(ed, w.rows, w.cols);
    ed.redisplay = redisplay_screens;
    ed.wait_for_user = wait_for_user_input;
    ed.run_key = run_input_key;
    ed.ask_user = ask_user_yes_no;
    ed.close_screen = [](Editor& e) {
        if (e.display.window) platform::close_window(*e.display.window);
        platform::set_hangup_handler(nullptr, nullptr);
        e.display.hangup_routed = false;
    };
}

int start_terminal_screen(Editor& ed, const StartOptions&) {
    auto window = std::make_shared<platform::FieldWindow>();
    std::string error;
    if (!platform::open_terminal_window(*window, &error)) return screen_cannot_start;
    if (window->rows < kMinScreenLines || window->cols < kMinScreenColumns) {
        platform::close_window(*window);
        return screen_too_small;
    }
    attach_window(ed, std::move(window));
    redisplay_screens(ed);
    return screen_started;
}

ScreenLayer terminal_screen_layer() {
    return ScreenLayer{start_terminal_screen};
}

} // namespace voren
