#pragma once
// The colour areas of the screens and the named colours.
#include <optional>
#include <string_view>

namespace voren {

// Colour area numbers, in table order.
enum ColourArea : int {
    kAreaFilearea = 0,
    kAreaCurline,
    kAreaArrow,
    kAreaMsgline,
    kAreaCurrent,
    kAreaNocurrent,
    kAreaEdited,
    kAreaPending,
    kAreaPrefix,
    kAreaIdline,
    kAreaCmdline,
    kAreaPfline,
    kAreaSize,
    kAreaMod,
    kAreaShadow,
    kAreaScale,
    kAreaTabline,
    kAreaPdelete,
    kAreaRstart,
    kAreaRend,
    kAreaPoint,
    kAreaCursor = 30,
    kAreaTrBox = 31,
};

struct ColourAreaRow {
    const char* name; // minimum abbreviation in capitals
    int default_colour;
};
struct ColourNameRow {
    const char* name; // minimum abbreviation in capitals; empty for unused numbers
};

// The 36 areas and the 64 colour numbers (0 is the background, never selectable).
const ColourAreaRow* colour_area_table();
const ColourNameRow* colour_name_table();

// True when `word` is at least the name's capitalised part and agrees with it
// without regard to case.
bool abbreviation_matches(std::string_view word, std::string_view name);
std::optional<int> find_colour_area(std::string_view word);
// A colour number 1..63 by name (never 0 or 8).
std::optional<int> find_colour(std::string_view word);

} // namespace voren
