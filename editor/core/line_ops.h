#pragma once
// The single line primitive and the undo/redo walks.
//
// xf_do is the only way lines of a file change. It acts on the current file:
//   'i' insert `text` after `line` (-1 inserts before the first line)
//   'I' insert `lines` (count of them) after `line`
//   'r' replace the text of `line` with `text`
//   'd' delete `line`
//   'D' delete `count` lines from `line`
//   's' set the flags of `line` to `count`
// Texts passed in become the store's. `record` says how the change is logged:
//   record_user   - written to the undo log as part of the current step, and
//                   new texts get the CASE, APL and LRECL/TRUNC treatment
//   record_replay - logged as given, without clearing the new-step flag (redo)
//   record_none   - not logged (undo)
// After every change the named lines follow their lines and every screen's
// current line of the file is clamped.
#include "editor/core/line_text.h"

#include <cstdint>
#include <vector>

namespace voren {

struct Editor;
struct File;

constexpr int record_none = 0;
constexpr int record_user = 1;
constexpr int record_replay = 2;

#define VOREN_STR2(x) #x
#define VOREN_STR(x) VOREN_STR2(x)
// The caller's source name and line, as trace tags want them.
#define XF_TAG (__FILE_NAME__ ":" VOREN_STR(__LINE__))

// Returns 0, or -1 (and changes nothing) for a wrong operation or a line
// outside the file, or when the ring is empty.
int xf_do(Editor& ed, char op, LineText text, int32_t line, int32_t count, int record,
          std::vector<LineText> lines, const char* tag);

// Shorthands for the common forms (user changes).
int insert_line(Editor& ed, int32_t after, std::string_view text, const char* tag);
int replace_line(Editor& ed, int32_t line, std::string_view text, const char* tag);
int delete_lines(Editor& ed, int32_t first, int32_t count, const char* tag);

// Marks the start of a command: its first change begins a new undo step in
// whichever file it changes.
void start_undo_step(Editor& ed);
// Undoes up to `steps` steps of the current file (all when negative);
// returns how many were undone.
int undo_steps(Editor& ed, int steps);
// Redoes one step of the current file; false when there is nothing to redo.
bool redo_step(Editor& ed);
void clear_undo(File& file);

// Named lines: set (replacing a name already set) and look up.
void set_line_name(File& file, const std::string& name, int32_t line);
int32_t find_line_name(const File& file, const std::string& name); // -2 when unknown

} // namespace voren
