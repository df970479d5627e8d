#pragma once
// The command executor: every editor command, whatever its source, runs here.
#include <string_view>

namespace voren {

struct Editor;

enum class MessageMode { Normal = 1, Stay = 2, StayBeep = 3 };

// Splits text at the LINEND character and runs each piece; returns the last return code.
int execute_string(Editor& ed, std::string_view text);
// Runs one command; returns its return code (0 success, 1 failure, -1 unknown command).
int xfcom2(Editor& ed, std::string_view text);
// Shows numbered message `number`; in batch mode writes "voren: <text>" to standard output.
void show_message(Editor& ed, int number, MessageMode mode = MessageMode::Normal);
void show_text(Editor& ed, std::string_view text, MessageMode mode = MessageMode::Normal);
// Records a tag in the ring of the last 500 trace tags.
void trace_tag(Editor& ed, std::string_view tag);

} // namespace voren
