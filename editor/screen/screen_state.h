#pragma once
// The screen layer's part of the editor state: the window size, the split
// screens and their display settings, the colour areas, the PF line area and
// the field window the screens are drawn into.
#include "platform/field.h"

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace voren {

constexpr int kMinScreenLines = 6;
constexpr int kMinScreenColumns = 38;
constexpr int kMaxWindowRows = 3000;
constexpr int kMaxWindowColumns = 1000;
constexpr int kBatchRows = 24;
constexpr int kBatchColumns = 80;
constexpr int kColourAreas = 36;

inline constexpr const char* kDefaultPfLine =
    "1:Q  2:E  3:Save  4:Sp  5:x  6:cu  7:U  8:D  9:?  10:h  12:=  S-11:top  S-12:bot";

// Command-line setting: on at the top or bottom, or off (drawn at its top or
// bottom place only when it has something to show).
enum class CmdlineSetting : int { Top = 1, Bottom = 2, OffTop = -1, OffBottom = -2 };
inline bool cmdline_at_top(CmdlineSetting s) {
    return s == CmdlineSetting::Top || s == CmdlineSetting::OffTop;
}
inline bool cmdline_on(CmdlineSetting s) {
    return s == CmdlineSetting::Top || s == CmdlineSetting::Bottom;
}

// A row of the screen as the user gave it, kept as given so that it follows the
// screen's size: row n from the top, n from the bottom (lines - n + 2), or the
// middle (lines / 2) plus an offset.
struct RowSpec {
    enum Kind : std::uint8_t { FromTop, FromBottom, Middle } kind = Middle;
    int n = 0;
    bool operator==(const RowSpec&) const = default;
};

enum class NumberMode : std::uint8_t { Off, On, Zero };
enum class PrefixSide : std::uint8_t { Off = 0, Left = 1, Right = 2 };

// The display settings a file's view can override (the plain commands) and a
// screen holds for every view that did not (the _Screen commands).
struct ViewDisplay {
    bool scale_on = false;
    RowSpec scale_row{RowSpec::Middle, 1};
    bool tabline_on = false;
    RowSpec tabline_row{RowSpec::FromBottom, 3};
    PrefixSide prefix = PrefixSide::Left;
    bool prefix_nulls = false; // PREFIX NULLS: blank instead of '=' filler
    NumberMode number = NumberMode::Off;
    bool shadow = true;
};

// A screen's rectangle in window cells, 1-based.
struct ScreenRect {
    int lines = 0, columns = 0;
    int top = 1, left = 1;
    bool operator==(const ScreenRect&) const = default;
};

// Field identifiers: (screen + 1) << 16 | element << 12 | row.
enum FieldElement : int {
    kFieldIdName = 0,
    kFieldIdLen,
    kFieldIdSize,
    kFieldIdMod,
    kFieldIdCounter,
    kFieldPrompt,
    kFieldCmdline,
    kFieldMessage,
    kFieldText,   // one per file-area row
    kFieldPrefix, // one per file-area row
    kFieldReserved,
};
constexpr int kPfFieldBase = 1 << 28; // + PF row
inline int field_id(int screen, int element, int row = 0) {
    return (screen + 1) << 16 | element << 12 | row;
}

// What one file-area row of the last display showed (for reading edits back).
struct ShownRow {
    int row = 0;        // 1-based row within the screen
    int32_t line = -2;  // file line; -2 for a scale, tab or shadow row
    int text_width = 0; // width of the text field
    int left = 0;       // line column (0-based) shown in the field's first cell
};

// One split screen (same index as Editor::screens).
struct ScreenLayout {
    ScreenRect rect;
    CmdlineSetting cmdline = CmdlineSetting::Top;
    bool show_cmdline_once = false; // an OFF command line shows for one redisplay
    RowSpec curline{RowSpec::Middle, 0};
    ViewDisplay defaults;
    std::unordered_map<int32_t, ViewDisplay> file_views; // by file number
    std::map<int, std::string> reserved;                 // row -> text
    std::string command_text; // this screen's command line when it is not current
    int left_column = 0;      // LEFT / RIGHT: line columns hidden at the left

    // Filled by the last display.
    bool cmdline_two_rows = false;
    int cmdline_row = 0; // 0: not drawn
    int message_row = 0;
    int prefix_width = 0;
    std::vector<ShownRow> shown;
};

// The even split kept for re-layout on resize (SCREEN n [HORIZONTAL|VERTICAL]).
struct KeptSplit {
    int count = 1;
    bool vertical = false;
};

struct ScreenState {
    // The window; null in batch mode and in tests that compose without one.
    std::shared_ptr<platform::FieldWindow> window;

    int rows = kBatchRows, columns = kBatchColumns;
    bool usable = true; // the window can hold at least one screen
    std::vector<std::string> pf_lines{kDefaultPfLine};

    std::vector<ScreenLayout> layouts{ScreenLayout{}};
    std::optional<KeptSplit> kept_split = KeptSplit{};

    bool colour_on = true;
    std::array<std::uint8_t, kColourAreas> area_colours{};
    platform::Palette palette = platform::default_palette();

    std::string last_title;
    std::string user_name; // empty: not looked up yet
    bool hangup_routed = false;
    bool layout_valid = true; // the layouts fit the current window

    // The input turn read by the last wait for the user, until its key has run.
    platform::InputTurn last_input;
    bool input_ready = false;

    // Where the next redisplay puts the cursor: on the command line (the
    // default), or on a file line at a 0-based line column.
    enum class CursorTarget : std::uint8_t {
        CommandLine,
        FileLine
    } cursor_target = CursorTarget::CommandLine;
    int32_t cursor_line = 0;
    int cursor_column = 0;
    int command_cursor = -1; // command-line offset; -1: after its text
    // Set by an input turn that Enter ended on a file line with nothing typed on
    // the command line: that line becomes current.
    bool pending_cursor_move = false;

    ScreenState();
};

} // namespace voren
