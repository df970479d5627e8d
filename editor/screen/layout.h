#pragma once
// Screen geometry and composition: where every element of a screen goes, the
// split of the window into screens, and the drawing of all screens into the
// field window.
#include "editor/screen/screen_state.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace voren {

struct Editor;
struct File;

// ---- Geometry of the window ------------------------------------------------

// SCREEN n: stacked, screens 1..n-1 get U/n rows from the top and the last the
// rest; side by side, every screen but the first gets columns/n columns, placed
// from the left in the order n, n-1, ..., 2, and screen 1 takes the rest at the right.
std::vector<ScreenRect> even_split(int rows, int columns, int pf_rows, int n, bool vertical);
// SCREEN SIZE h1 ... hk / SCREEN WIDTH w1 ... wk: the last screen takes what remains.
std::vector<ScreenRect> sized_split(int rows, int columns, int pf_rows,
                                    const std::vector<int>& sizes, bool vertical);
// The first fault of a layout as the message to show, or nothing when it is valid.
std::optional<std::string> layout_fault(const std::vector<ScreenRect>& rects, int rows, int columns,
                                        int pf_rows);

// Takes a new window size (clamped to 3000 x 1000): re-splits a kept even split,
// and notes whether anything can be drawn.
void set_window_size(Editor& ed, int rows, int columns);
// Recreates the screens with the given geometry (Editor::screens follows).
void apply_layout(Editor& ed, const std::vector<ScreenRect>& rects);
// Keeps the layouts in step with Editor::screens.
void sync_layouts(Editor& ed);

// ---- Rows of one screen ------------------------------------------------------

// A row expression: m, n, + n, - n, m + n, m - n (blanks optional).
std::optional<RowSpec> parse_row_spec(std::string_view text);
int resolve_row(const RowSpec& desc, int lines);

// Where the elements of screen `s` go for its current file (1-based screen rows;
// 0 = not shown).
struct ScreenPlan {
    int lines = 0, columns = 0;
    bool cmdline_shown = false, cmdline_top = true, cmdline_two_rows = false;
    int cmdline_row = 0;
    int message_row = 0;
    int area_first = 0, area_last = 0; // the file area
    int curline_row = 0;
    int scale_row = 0; // 0 when off
    int tabline_row = 0;
    int prefix_width = 0; // 0 when the prefix area is off
    PrefixSide prefix = PrefixSide::Off;
};
ScreenPlan plan_screen(const Editor& ed, int s);
// A current-line row clamped to where the plan allows it.
int clamp_curline(const ScreenPlan& plan, int row);

// The display settings in force for `file` (may be null) in screen `s`.
const ViewDisplay& view_display(const Editor& ed, int s, const File* file);
// The settings of the current file's view in screen `s`, made its own.
ViewDisplay& own_view_display(Editor& ed, int s, const File& file);

// ---- Texts -------------------------------------------------------------------

// Prefix width for a file of `line_count` lines: 5, widened from 99,940 lines on.
int prefix_width_for(int64_t line_count);
// d of the identification line: 6, 7 or 9.
int id_digits(int64_t line_count, bool ring_empty);
// The shadow row for `count` hidden lines on a text area `width` wide.
std::string shadow_text(int64_t count, int width);
std::string scale_text(int width);
std::string tabline_text(const std::vector<int32_t>& tabs, int width);
// The last non-blank index of a command text decides one or two rows.
bool command_needs_two_rows(std::string_view text, int columns);
// The window title by the four rules.
std::string window_title(const Editor& ed);

// ---- Drawing -------------------------------------------------------------------

// Lays out every screen and the PF area into `w` (clear, then one field per element).
void compose_window(Editor& ed, platform::FieldWindow& w);

} // namespace voren
