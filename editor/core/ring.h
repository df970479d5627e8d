#pragma once
// The file ring and the screens' per-file views.
//
// Files are kept in creation order in `files`; "next" and "previous" follow the
// ring-order keys (File::ring_key) instead. Every screen keeps, for each file
// of the ring (same index), its own view, so the same file shown in two
// screens has two current lines. Adding and removing files keeps those arrays
// in step with `files`.
#include "editor/core/line_store.h"

#include <memory>
#include <utility>
#include <vector>

namespace voren {

struct Editor;

// The scope setting: DISPLAY, ALL, or the inverted form that shows the lines
// outside the DISPLAY range.
enum class ScopeMode { Display, All, Excluded };

struct ScreenFileView {
    int32_t current_line = -1;
};

struct Screen {
    int current_file = -1;
    std::vector<ScreenFileView> views; // indexed like Ring::files
    int32_t display_low = 0;
    int32_t display_high = 0;
    ScopeMode scope = ScopeMode::Display;
    // Column ranges (1-based, inclusive) written by a save "with columns";
    // an end of max_line_length means the end of the line.
    std::vector<std::pair<int32_t, int32_t>> column_ranges{{1, max_line_length}};
};

struct Ring {
    std::vector<std::unique_ptr<File>> files;
    int current = -1;             // index into files; -1 when the ring is empty
    int32_t last_file_number = 0; // file numbers wrap from 2147483647 to 0
};

// The current file, or null when the ring is empty.
File* current_file(Editor& ed);
const File* current_file(const Editor& ed);
Screen& current_screen(Editor& ed);
const Screen& current_screen(const Editor& ed);

// Adds an empty file right after the current one in ring order and makes it
// current; returns it.
File& add_file(Editor& ed);
// Makes file `index` current, in the ring and in the current screen.
void make_current(Editor& ed, int index);
// Removes the current file; the previous file in ring order becomes current
// (or the last one when the first was removed). Returns the new current index.
int remove_current_file(Editor& ed);
// Index of the next / previous file in ring order (wrapping); -1 when empty.
int next_in_ring(const Editor& ed);
int previous_in_ring(const Editor& ed);
// Index of the file whose resolved path is `path`, or -1.
int find_file_by_path(const Editor& ed, const std::string& path);

// Current line of file `index` in screen `screen` (-1 when out of range).
int32_t& screen_current_line(Editor& ed, int screen, int index);
// Current line of the current file in the current screen.
int32_t current_line(const Editor& ed);
void set_current_line(Editor& ed, int32_t line);
// Clamps the current line of the current file in every screen between the
// lowest allowed current line and the last line.
void clamp_current_lines(Editor& ed);

// True when `line` of the current file counts for commands under the current
// screen's SCOPE and DISPLAY settings.
bool in_scope(const Editor& ed, int32_t line);

// Adds a screen (split display) whose views start at the top of every file.
int add_screen(Editor& ed);

} // namespace voren
