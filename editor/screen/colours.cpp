// Colour areas and colour names.
#include "editor/screen/colours.h"

#include "editor/screen/screen_state.h"

#include <cctype>
#include <cstring>

namespace voren {

namespace {

const ColourAreaRow area_rows[kColourAreas] = {
    {"Filearea", 7},   {"CURLine", 2},    {"Arrow", 14},
    {"MSgline", 2},    {"CURrent", 12},   {"Nocurrent", 1},
    {"Edited", 2},     {"PEnding", 1},    {"PRefix", 13},
    {"Idline", 12},    {"CMdline", 7},    {"PFline", 12},
    {"SIze", 12},      {"MOd", 1},        {"SHadow", 1},
    {"SCale", 4},      {"Tabline", 1},    {"PDelete", 11},
    {"RStart", 4},     {"REnd", 3},       {"POint", 2},
    {"FL_Idline", 12}, {"FL_MSgline", 2}, {"FL_Names", 7},
    {"FL_MOde", 7},    {"FL_Cmdline", 7}, {"FL_Size", 13},
    {"FL_Removed", 1}, {"FL_Pfline", 12}, {"FL_Directories", 13},
    {"CURSor", 1},     {"TR_Box", 13},    {"TR_HBox", 2},
    {"TR_CPBox", 9},   {"TR_CUrrent", 1}, {"TR_HIdden", 9},
};

const ColourNameRow name_rows[64] = {
    {""},
    {"BLUe"},
    {"Red"},
    {"Orange"},
    {"Green"},
    {"Indigo"},
    {"Yellow"},
    {"BLAck"},
    {""},
    {"MAGenta"},
    {"Cyan"},
    {"MAGENTA2"},
    {"MARoon"},
    {"MAROON2"},
    {"PInk"},
    {"Aquamarine"},
    {"BEige"},
    {"BRown"},
    {"CAdetblue"},
    {"CHArtreuse"},
    {"CHOcolate"},
    {"COral"},
    {"DARKGOLdenrod"},
    {"DARKOLIvegreen"},
    {"DARKSLATEBlue"},
    {"DARKSLATEGray"},
    {"DEeppink"},
    {"DImgray"},
    {"FIrebrick"},
    {"FOrestgreen"},
    {"GOld"},
    {"HOtpink"},
    {"INdianred"},
    {"KHaki"},
    {"LAwngreen"},
    {"LEmonchiffon"},
    {"LIGHTCyan"},
    {"LIGHTGoldenrod"},
    {"LIGHTGOLDENRODYellow"},
    {"LIGHTSEagreen"},
    {"LIGHTSLateblue"},
    {"MEDIUMAquamarine"},
    {"MEDIUMSEagreen"},
    {"MEDIUMSPringgreen"},
    {"MIdnightblue"},
    {"MOccasin"},
    {"OLivedrab"},
    {"ORchid"},
    {"PALEGoldenrod"},
    {"PALETurquoise"},
    {"ROSybrown"},
    {"ROYalblue"},
    {"SADdlebrown"},
    {"SALmon"},
    {"SIenna"},
    {"SLATEBlue"},
    {"SLATEGray"},
    {"SPringgreen"},
    {"STeelblue"},
    {"TUrquoise"},
    {"VIOLETRed"},
    {"WHEat"},
    {"White"},
    {"PUrple"},
};

// Length of the capitalised leading part (digits and "_" count with it).
size_t minimum_length(std::string_view name) {
    size_t n = 0;
    while (n < name.size() && !std::islower(static_cast<unsigned char>(name[n])))
        ++n;
    return n;
}

} // namespace

const ColourAreaRow* colour_area_table() {
    return area_rows;
}
const ColourNameRow* colour_name_table() {
    return name_rows;
}

bool abbreviation_matches(std::string_view word, std::string_view name) {
    if (word.size() < minimum_length(name) || word.size() > name.size() || word.empty())
        return false;
    for (size_t i = 0; i < word.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(word[i])) !=
            std::tolower(static_cast<unsigned char>(name[i])))
            return false;
    return true;
}

std::optional<int> find_colour_area(std::string_view word) {
    for (int i = 0; i < kColourAreas; ++i)
        if (abbreviation_matches(word, area_rows[i].name)) return i;
    return std::nullopt;
}

std::optional<int> find_colour(std::string_view word) {
    for (int i = 1; i < 64; ++i)
        if (name_rows[i].name[0] != '\0' && abbreviation_matches(word, name_rows[i].name)) return i;
    return std::nullopt;
}

ScreenState::ScreenState() {
    layouts[0].rect = ScreenRect{kBatchRows - 1, kBatchColumns, 1, 1};
    for (int i = 0; i < kColourAreas; ++i)
        area_colours[size_t(i)] = static_cast<std::uint8_t>(area_rows[i].default_colour);
}

} // namespace voren
