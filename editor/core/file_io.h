#pragma once
// Reading files into the ring and writing them back.
//
// A save never destroys the only copy of the user's text: the new contents go
// to a temporary file beside the target, are flushed to disk, and only then
// replace the old file (which becomes the backup). Files with several hard
// links (or with PRESERVLINKS ON) are rewritten in place, after a flushed
// backup copy has been made.
#include <cstdint>
#include <string>
#include <string_view>

namespace voren {

struct Editor;
struct File;
struct CoreSettings;

// Results of open_file and read_lines.
constexpr int open_ok = 0;
constexpr int open_name_too_long = 1;
constexpr int open_read_error = 3;
constexpr int open_not_editable = 4;
constexpr int open_line_too_long = 5;
constexpr int open_too_many_lines = 6;

// Makes the named file current, reading it first when it is not in the ring.
// A name that does not exist on disk becomes a new, empty file (nothing is
// created until it is saved).
int open_file(Editor& ed, std::string_view name);
// Fills `file`'s line store from `path` (which must name a readable regular
// file), setting its line-end, binary and keep-blanks flags.
int read_lines(Editor& ed, File& file, const std::string& path);
// Gives `file` the values of the pattern-selected settings for `path`.
void apply_pattern_settings(const CoreSettings& settings, File& file, const std::string& path);

// Results of save_file.
constexpr int save_ok = 0;
constexpr int save_failed = 2;
constexpr int save_protection_kept = 3;

// Writes the current file to its path. `crlf` forces CR LF line ends;
// `columns` writes only the current screen's column ranges. On success the
// file counts as unmodified (and its undo log is emptied under SAVECLEARUNDO).
int save_file(Editor& ed, bool crlf, bool columns);
// Writes file `file` of the ring to `path` by the same rules, without
// changing the file's state.
int write_file(Editor& ed, const File& file, const std::string& path, bool crlf, bool columns);

// The name autosave uses for `file`.
std::string autosave_name(const Editor& ed, const File& file);
// Writes an autosave copy of ring file `index`; false on failure.
bool autosave(Editor& ed, int index);
// Counts the changes made during the turn and autosaves the files that
// reached the AUTOSAVE count.
void autosave_accounting(Editor& ed);

// Reloads ring file `index` when the file on disk is newer than when it was
// read (asking first when it has unsaved changes, or always when `forced`).
// Returns true when the file was reloaded.
bool reload_check(Editor& ed, int index, bool forced);

} // namespace voren
