#pragma once
// Helpers shared by the executor and the command families of this folder.
#include <string>
#include <string_view>

#include "editor/commands/command_table.h"

namespace voren {

// Length of the command word at the start of `text`: the first character,
// then letters and "_"; a leading 0xBD or 0xEE is a word of its own.
size_t command_word_length(std::string_view text);

// The working copies a handler receives, built from one command text.
struct PreparedCommand {
    std::string text;   // as typed (after "$" expansion)
    std::string lower;  // text lower-cased
    std::string spaced; // blank inserted after the command word when needed
    std::string upper;  // spaced upper-cased
    size_t word_length = 0;

    void prepare(std::string_view command);
    CommandCall call(int source = 0, int flags = 0) const;
};

// Blanks are the blank and the tab.
inline bool is_blank(char c) {
    return c == ' ' || c == '\t';
}
std::string_view trim_blanks(std::string_view s);
// Splits off the first blank-delimited word; `rest` starts after the blanks that follow it.
std::string_view first_word(std::string_view s, std::string_view* rest = nullptr);
bool equals_ignore_case(std::string_view a, std::string_view b);

// "$" expansion of one command; false (message shown) when a file variable is
// used while no file is current.
bool expand_dollar_variables(Editor& ed, std::string_view in, std::string& out);

} // namespace voren
