// The headless backend of the field layer.
#include "platform/headless.h"

#include "platform/term_keys.h"

namespace voren::platform {

static HeadlessState& state_of(FieldWindow& w) {
    return *static_cast<HeadlessState*>(w.state.get());
}

static void headless_present(FieldWindow& w) {
    ++state_of(w).presents;
}

static Key headless_read_key(FieldWindow& w) {
    HeadlessState& s = state_of(w);
    while (!s.script.empty()) {
        ScriptStep step = std::move(s.script.front());
        s.script.pop_front();
        switch (step.kind) {
        case ScriptStep::PressKey: return step.key;
        case ScriptStep::EditField: user_edit_field(w, step.id, step.text); break;
        case ScriptStep::MoveCursor: place_cursor_at(w, step.row, step.col); break;
        case ScriptStep::Resize: {
            resize_grid(w, step.row, step.col);
            Key k;
            k.kind = KeyKind::Resize;
            return k;
        }
        }
    }
    Key k;
    k.kind = KeyKind::ScriptEnd;
    return k;
}

static void headless_bell(FieldWindow& w) {
    ++state_of(w).bells;
}

static void headless_flash(FieldWindow& w, const Field& f) {
    state_of(w).flashed.push_back(f.desc.id);
}

static void headless_title(FieldWindow& w) {
    ++state_of(w).titles_set;
}

static void headless_colours(FieldWindow&) {}

static Answer headless_question(FieldWindow& w, std::string_view title,
                                std::span<const std::string> lines) {
    HeadlessState& s = state_of(w);
    Answer a = Answer::Cancel;
    if (!s.answers.empty()) {
        a = s.answers.front();
        s.answers.pop_front();
    }
    s.questions.push_back({std::string(title), {lines.begin(), lines.end()}, a});
    return a;
}

static void headless_close(FieldWindow&) {}

static const FieldBackend headless_backend = {
    "headless",     headless_present, headless_read_key, headless_bell,  headless_flash,
    headless_title, headless_colours, headless_question, headless_close,
};

void open_headless_window(FieldWindow& w, int rows, int cols) {
    w = FieldWindow{};
    w.backend = &headless_backend;
    w.state = std::make_shared<HeadlessState>();
    reset_grid(w, rows, cols);
}

HeadlessState* headless_state(FieldWindow& w) {
    return w.backend == &headless_backend ? &state_of(w) : nullptr;
}

static void push(FieldWindow& w, ScriptStep step) {
    if (HeadlessState* s = headless_state(w)) s->script.push_back(std::move(step));
}

void script_key(FieldWindow& w, Key key) {
    ScriptStep step;
    step.key = key;
    push(w, step);
}

void script_text(FieldWindow& w, std::string_view text) {
    KeyDecodeOptions options;
    options.utf8 = false;
    for (char c : text)
        script_key(w, decode_key(std::string_view(&c, 1), options, false).key);
}

void script_field_edit(FieldWindow& w, int id, std::string_view text) {
    ScriptStep step;
    step.kind = ScriptStep::EditField;
    step.id = id;
    step.text = text;
    push(w, step);
}

void script_cursor(FieldWindow& w, int row, int col) {
    ScriptStep step;
    step.kind = ScriptStep::MoveCursor;
    step.row = row;
    step.col = col;
    push(w, step);
}

void script_resize(FieldWindow& w, int rows, int cols) {
    ScriptStep step;
    step.kind = ScriptStep::Resize;
    step.row = rows;
    step.col = cols;
    push(w, step);
}

void script_answer(FieldWindow& w, Answer answer) {
    if (HeadlessState* s = headless_state(w)) s->answers.push_back(answer);
}

std::string dump_row(const FieldWindow& w, int row) {
    std::string line;
    if (row < 0 || row >= w.rows) return line;
    line.reserve(static_cast<std::size_t>(w.cols));
    for (int c = 0; c < w.cols; ++c) {
        unsigned char ch = w.cells[static_cast<std::size_t>(row) * w.cols + c].ch;
        line.push_back(cell_glyph(ch).control ? '.' : static_cast<char>(ch));
    }
    return line;
}

std::string dump_text(const FieldWindow& w, bool trim) {
    std::string out;
    for (int r = 0; r < w.rows; ++r) {
        std::string line = dump_row(w, r);
        if (trim) line.erase(line.find_last_not_of(' ') + 1);
        if (r) out.push_back('\n');
        out += line;
    }
    return out;
}

} // namespace voren::platform
