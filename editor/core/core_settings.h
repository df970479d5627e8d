#pragma once
// Global settings of the editor core (reading, saving, undo, autosave) and the
// lists of file-name-pattern settings applied when a file is read.
#include "editor/core/line_store.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace voren {

enum class ReadConversion { Auto, Unix };

template <typename Value>
struct PatternSetting {
    std::string pattern; // shell-style pattern matched against the file's path
    Value value{};
};
// The pattern that applies to every file when no other pattern matches.
inline constexpr const char* default_pattern = "*";

using TranslationTable = std::array<unsigned char, 256>;
TranslationTable identity_table();

struct CoreSettings {
    // -1 when the top-of-file line may be current, else 0.
    int32_t lowest_current_line = -1;

    bool autobin = true;
    // Control characters that do not make a file binary.
    std::string autobin_controls{'\t', '\f', '\r', '\x1a'};
    ReadConversion read_conversion = ReadConversion::Auto;
    bool new_file_crlf = false; // line end of files with none to detect (LF here)
    int64_t limit = 0;          // largest readable file in bytes; 0 = none
    bool backup = true;
    char backup_char = '%';
    bool preserve_links = false;
    TranslationTable input_table = identity_table();
    TranslationTable output_table = identity_table();
    int64_t autosave_every = 0; // AUTOSAVE count; 0 = off
    std::string autosave_dir;   // "" = the current directory
    bool save_clear_undo = true;
    bool binary_all = false;      // global BINARY ON
    bool keep_blanks_all = false; // global KEEPBLANKS ON
    bool date_month_first = false;

    // Limits of the reader (lowered by tests to exercise their messages).
    int32_t read_max_lines = max_line_count;
    int32_t read_max_line_length = max_line_length;

    std::vector<PatternSetting<std::vector<int32_t>>> tabs_patterns;
    std::vector<PatternSetting<CaseMode>> case_patterns;
    std::vector<PatternSetting<int32_t>> lrecl_patterns;
    std::vector<PatternSetting<int32_t>> trunc_patterns;
    std::vector<PatternSetting<bool>> keep_blanks_patterns;
    std::vector<PatternSetting<bool>> binary_patterns;
    std::vector<PatternSetting<std::string>> syntax_patterns;
};

} // namespace voren
