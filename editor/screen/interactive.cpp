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

#include <algorithm>
#include <csignal>

namespace voren {

namespace {

// The hang-up is handled in normal context: the field layer notices it while
// waiting for input and calls this, so a save never runs inside a signal handler.
void on_window_closed(int signal_number, void* context) {
    hangup_emergency(*static_cast<Editor*>(context), signal_number);
}

// Field-function slots as the field layer performs them; IHOME and APL have no
// action on a terminal.
platform::FieldFunction field_function_of(FieldFunctionSlot slot) {
    switch (slot) {
    case FieldFunctionSlot::Home: return platform::FieldFunction::Home;
    case FieldFunctionSlot::PrevField: return platform::FieldFunction::PrevField;
    case FieldFunctionSlot::Ins: return platform::FieldFunction::Insert;
    case FieldFunctionSlot::Caps: return platform::FieldFunction::Caps;
    case FieldFunctionSlot::DownField: return platform::FieldFunction::DownField;
    case FieldFunctionSlot::UpField: return platform::FieldFunction::UpField;
    case FieldFunctionSlot::Eof: return platform::FieldFunction::EraseEof;
    case FieldFunctionSlot::IHome:
    case FieldFunctionSlot::Apl: break;
    }
    return platform::FieldFunction::None;
}

std::string trim_right(std::string_view text) {
    size_t end = text.find_last_not_of(' ');
    return std::string(text.substr(0, end == std::string_view::npos ? 0 : end + 1));
}

// A file-area row the user typed over: the shown part is replaced; the columns
// hidden at the left and the part of the line beyond the field are kept.
void apply_line_edit(Editor& ed, const ShownRow& row, std::string_view typed) {
    File* file = current_file(ed);
    if (!file || row.line < 0 || row.line >= file->line_count()) return;
    std::string_view old = file->lines[size_t(row.line)].text.view();
    std::string text(old.substr(0, std::min(old.size(), size_t(row.left))));
    text.resize(size_t(row.left), ' ');
    size_t end = size_t(row.left) + size_t(row.text_width);
    if (old.size() > end) {
        text.append(typed);
        text.append(old.substr(end));
    } else {
        text = trim_right(text + std::string(typed));
    }
    if (text != old) replace_line(ed, row.line, text, XF_TAG);
}

void take_modified_fields(Editor& ed, platform::FieldWindow& w) {
    ScreenState& st = ed.display;
    bool step_started = false;
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
            // Every line typed over in this turn belongs to one undo step.
            if (!step_started) start_undo_step(ed);
            step_started = true;
            for (const ShownRow& shown : st.layouts[size_t(screen)].shown)
                if (shown.row == row) apply_line_edit(ed, shown, field.text);
        }
    }
}

// The cursor goes where the last command asked: a file line when it is shown
// in the current screen, else the command line.
void place_requested_cursor(Editor& ed, platform::FieldWindow& w) {
    ScreenState& st = ed.display;
    if (st.cursor_target == ScreenState::CursorTarget::FileLine) {
        for (const ShownRow& shown : st.layouts[size_t(ed.screen_index)].shown) {
            if (shown.line != st.cursor_line) continue;
            int id = field_id(ed.screen_index, kFieldText, shown.row);
            int offset = std::clamp(st.cursor_column - shown.left, 0, shown.text_width - 1);
            if (platform::find_field(w, id) && platform::place_cursor(w, id, offset)) return;
        }
    }
    int id = field_id(ed.screen_index, kFieldCmdline);
    int offset = st.command_cursor >= 0 ? st.command_cursor : int(ed.cmd.command_line.size());
    if (platform::find_field(w, id)) platform::place_cursor(w, id, offset);
}

// Makes screen `s` current with its file: the command line being typed there
// becomes the editor's, the current screen keeps its own text.
void make_screen_current(Editor& ed, int s) {
    ScreenState& st = ed.display;
    if (s == ed.screen_index || s < 0 || s >= int(ed.screens.size()) || s >= int(st.layouts.size()))
        return;
    st.layouts[size_t(ed.screen_index)].command_text = ed.cmd.command_line;
    ed.cmd.command_line = std::move(st.layouts[size_t(s)].command_text);
    st.layouts[size_t(s)].command_text.clear();
    ed.screen_index = s;
    int file = ed.screens[size_t(s)].current_file;
    if (file >= 0 && file < int(ed.ring.files.size())) make_current(ed, file);
}

void route_hangup(Editor& ed) {
    if (ed.display.hangup_routed) return;
    platform::set_hangup_handler(on_window_closed, &ed);
    ed.display.hangup_routed = true;
}

} // namespace

std::optional<KeyId> table_key(const KeyTables& keys, const platform::Key& key) {
    KeyId id;
    id.shift = key.modifiers & platform::ModShift;
    id.control = key.modifiers & platform::ModControl;
    id.alt = key.modifiers & platform::ModAlt;
    switch (key.kind) {
    case platform::KeyKind::Enter: id.cls = KeyClass::Enter; break;
    case platform::KeyKind::F:
        id.cls = KeyClass::F, id.number = key.number;
        if (key.number > keys.nf) {
            // F13.. beyond the count are the PF entries of that number: the keys
            // of the next modifier groups (F13 is S-F1 with 12 keys).
            if (key.modifiers != 0) return std::nullopt;
            int group = (key.number - 1) / keys.nf;
            if (group >= kModifierGroups) return std::nullopt;
            id.number = (key.number - 1) % keys.nf + 1;
            id.shift = group == 1 || group == 4 || group == 5 || group == 7;
            id.control = group == 2 || group == 4 || group == 6 || group == 7;
            id.alt = group == 3 || group == 5 || group == 6 || group == 7;
        }
        break;
    case platform::KeyKind::L: id.cls = KeyClass::L, id.number = key.number; break;
    case platform::KeyKind::R: id.cls = KeyClass::R, id.number = key.number; break;
    case platform::KeyKind::Control: id.cls = KeyClass::Control, id.number = key.code; break;
    case platform::KeyKind::Alt: id.cls = KeyClass::Alt, id.number = key.code; break;
    default: return std::nullopt;
    }
    return id;
}

platform::FieldFunction bound_function(const KeyTables& keys, const platform::Key& key) {
    FieldKey fk;
    fk.shift = key.modifiers & platform::ModShift;
    fk.control = key.modifiers & platform::ModControl;
    fk.alt = key.modifiers & platform::ModAlt;
    switch (key.kind) {
    case platform::KeyKind::F: fk.kind = FieldKeyKind::F, fk.number = key.number; break;
    case platform::KeyKind::L: fk.kind = FieldKeyKind::L, fk.number = key.number; break;
    case platform::KeyKind::R: fk.kind = FieldKeyKind::R, fk.number = key.number; break;
    case platform::KeyKind::Escape: fk.kind = FieldKeyKind::Escape; break;
    case platform::KeyKind::Control:
        if (key.code == 'j') {
            fk.kind = FieldKeyKind::Lf;
            if (auto slot = bound_field_function(keys.field_keys, fk))
                return field_function_of(*slot);
        }
        fk = FieldKey{};
        if (key.code < 'a' || key.code > 'z') return platform::FieldFunction::None;
        fk.kind = FieldKeyKind::Control, fk.number = key.code;
        break;
    default: return platform::FieldFunction::None;
    }
    if (auto slot = bound_field_function(keys.field_keys, fk)) return field_function_of(*slot);
    return platform::FieldFunction::None;
}

platform::InputPolicy input_policy(const KeyTables& keys) {
    platform::InputPolicy policy;
    // Enter always ends the turn; any other key only when it has a definition.
    policy.ends_turn = [&keys](const platform::Key& key) {
        if (key.kind == platform::KeyKind::Enter) return true;
        std::optional<KeyId> id = table_key(keys, key);
        if (!id) return false;
        std::optional<KeyBinding> binding = lookup_key(keys, *id);
        return binding && !binding->definition.empty();
    };
    policy.field_function = [&keys](const platform::Key& key) { return bound_function(keys, key); };
    return policy;
}

std::optional<FilePosition> cursor_file_position(const Editor& ed) {
    const ScreenState& st = ed.display;
    const platform::CursorPos& cursor = st.last_input.cursor;
    if (cursor.field_id < 0 || cursor.field_id >= kPfFieldBase) return std::nullopt;
    int screen = (cursor.field_id >> 16) - 1;
    int element = (cursor.field_id >> 12) & 0xf;
    int row = cursor.field_id & 0xfff;
    if (screen != ed.screen_index || element != kFieldText || screen >= int(st.layouts.size()))
        return std::nullopt;
    for (const ShownRow& shown : st.layouts[size_t(screen)].shown)
        if (shown.row == row && shown.line >= 0)
            return FilePosition{shown.line, shown.left + cursor.offset};
    return std::nullopt;
}

bool cursor_on_command_line(const Editor& ed) {
    return ed.display.last_input.cursor.field_id == field_id(ed.screen_index, kFieldCmdline);
}

platform::Key wait_for_key(Editor& ed) {
    ScreenState& st = ed.display;
    platform::Key none;
    none.kind = platform::KeyKind::ScriptEnd;
    if (!st.window) return none;
    platform::FieldWindow& w = *st.window;
    redisplay_screens(ed);
    for (;;) {
        platform::Key key = platform::wait_key(w);
        switch (key.kind) {
        case platform::KeyKind::Resize:
            set_window_size(ed, w.rows, w.cols);
            redisplay_screens(ed);
            continue;
        case platform::KeyKind::Hangup: hangup_emergency(ed, key.number ? key.number : SIGHUP);
        default: return key;
        }
    }
}

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
    place_requested_cursor(ed, w);
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
        platform::InputTurn turn = platform::read_input(w, input_policy(ed.keys));
        switch (turn.key.kind) {
        case platform::KeyKind::Resize:
            // What was typed so far is taken before the fields are laid out again.
            if (st.usable && st.layout_valid) take_modified_fields(ed, w);
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
        // The screen under the cursor becomes current.
        if (turn.cursor.field_id >= 0 && turn.cursor.field_id < kPfFieldBase)
            make_screen_current(ed, (turn.cursor.field_id >> 16) - 1);
        st.last_input = turn;
        st.input_ready = true;
        // Enter on a file line with nothing typed on the command line makes
        // that line current.
        std::optional<FilePosition> at = cursor_file_position(ed);
        const File* file = current_file(ed);
        st.pending_cursor_move = turn.key.kind == platform::KeyKind::Enter &&
                                 turn.key.modifiers == 0 && at && file &&
                                 at->line < file->line_count() &&
                                 ed.cmd.command_line.find_first_not_of(' ') == std::string::npos;
        if (st.pending_cursor_move) st.cursor_line = at->line;
        return;
    }
}

void run_input_key(Editor& ed) {
    ScreenState& st = ed.display;
    if (!st.input_ready) return;
    st.input_ready = false;
    // Unless a command asks otherwise, the cursor returns to the command line.
    st.cursor_target = ScreenState::CursorTarget::CommandLine;
    st.command_cursor = -1;
    if (st.pending_cursor_move) {
        st.pending_cursor_move = false;
        set_current_line(ed, st.cursor_line);
        clamp_current_lines(ed);
        ed.cmd.message_line.clear();
        return;
    }
    std::optional<KeyId> id = table_key(ed.keys, st.last_input.key);
    if (!id) return;
    std::optional<KeyBinding> found = lookup_key(ed.keys, *id);
    if (!found) return;
    // The definition is copied: a command may redefine the key it runs from.
    const std::string definition(found->definition);
    const KeyMode mode = found->mode;
    const bool plain_enter = found->plain_enter;
    std::string typed = ed.cmd.command_line;
    typed.erase(0, typed.find_first_not_of(' ') == std::string::npos
                       ? typed.size()
                       : typed.find_first_not_of(' '));
    // "&text" runs text and leaves "&text" on the command line.
    const bool stays = !typed.empty() && typed[0] == '&';
    const std::string text = stays ? typed.substr(1) : typed;
    ed.cmd.message_line.clear();
    ed.cmd.command_line_stays = false;
    execute_key(
        definition, mode, text,
        [&ed](std::string_view command) { return execute_string(ed, command); },
        [&ed](std::string_view command) { record_history(ed, command); }, plain_enter);
    if (stays && !ed.cmd.command_line_stays)
        ed.cmd.command_line = typed;
    else if (!ed.cmd.command_line_stays)
        ed.cmd.command_line.clear();
    ed.cmd.command_line_stays = false;
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
