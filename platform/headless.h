#pragma once
// The headless backend: the window is an in-memory grid of cells; input comes
// from a script of keys, field edits, cursor moves and resizes; question boxes
// take scripted answers. Tests and batch mode use it.
#include "platform/field.h"

#include <deque>
#include <string>
#include <vector>

namespace voren::platform {

struct ScriptStep {
    enum Kind { PressKey, EditField, MoveCursor, Resize } kind = PressKey;
    Key key;
    int id = 0;           // EditField
    std::string text;     // EditField
    int row = 0, col = 0; // MoveCursor; Resize: rows and columns
};

struct AskedQuestion {
    std::string title;
    std::vector<std::string> lines;
    Answer answer;
};

struct HeadlessState {
    std::deque<ScriptStep> script;
    std::deque<Answer> answers; // for question boxes; when empty the answer is Cancel
    int bells = 0;
    std::vector<int> flashed; // field ids, in order
    std::vector<AskedQuestion> questions;
    int titles_set = 0; // how often the title reached the window
    int presents = 0;   // how often the window was shown
};

// The headless state of a window, or null when the window is not headless.
HeadlessState* headless_state(FieldWindow& w);

void script_key(FieldWindow& w, Key key);
// Each byte of `text` as a typed character (control bytes as their keys).
void script_text(FieldWindow& w, std::string_view text);
void script_field_edit(FieldWindow& w, int id, std::string_view text);
void script_cursor(FieldWindow& w, int row, int col);
void script_resize(FieldWindow& w, int rows, int cols);
void script_answer(FieldWindow& w, Answer answer);

// The grid as text, one line per row separated by "\n". Control bytes show as
// '.'; with `trim` the blanks at the end of each row are dropped.
std::string dump_text(const FieldWindow& w, bool trim = false);
std::string dump_row(const FieldWindow& w, int row);

} // namespace voren::platform
