#pragma once
// The command executor: every editor command, whatever its source, runs here.
#include <optional>
#include <string>
#include <string_view>

namespace voren {

struct Editor;

enum class MessageMode { Normal = 1, Stay = 2, StayBeep = 3 };

// Bits of the second context word of xfcom2.
enum CommandFlags : int {
    kNoSynonyms = 1,     // COMMAND: synonyms are not applied
    kNoMacros = 2,       // COMMAND: macros are not tried
    kProfileCommand = 4, // the profile: macros are tried before commands
};

// Splits text at the LINEND character and runs each piece; returns the last return code.
int execute_string(Editor& ed, std::string_view text);
// Runs one command; returns its return code (0 success, 1 failure, -1 unknown command).
// `source` says where the command came from (free for callers), `flags` is CommandFlags.
int xfcom2(Editor& ed, std::string_view text, int source = 0, int flags = 0);

// Numbered messages: 208 numbers, some without text.
constexpr int kMessageCount = 208;
// The text of message `number`: "" for an unused number, "....... Unknown error"
// for a number outside 0..207.
std::string_view message_text(int number);
// Shows numbered message `number`; in batch mode writes "voren: <text>" to the trace output.
void show_message(Editor& ed, int number, MessageMode mode = MessageMode::Normal);
void show_text(Editor& ed, std::string_view text, MessageMode mode = MessageMode::Normal);

// Records a tag in the ring of the last 500 trace tags.
void trace_tag(Editor& ed, std::string_view tag);
// Writes the trace ring, oldest tag first, to `path` (the emergency path uses
// "xed.trace"); on failure writes "..... Unable to create "<path>"" to the trace
// output and returns false.
bool write_trace_file(Editor& ed, const std::string& path = "xed.trace");


// Command history: the key layer records command-line texts it executes
// (blank texts and texts starting with "=" or "?" are not recorded).
void record_history(Editor& ed, std::string_view text);

// What the executor needs from the editor core (file ring, start-up).
bool ring_is_empty(const Editor& ed);
std::optional<std::string> current_file_path(const Editor& ed);
std::string program_directory(const Editor& ed);

} // namespace voren
