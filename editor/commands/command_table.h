#pragma once
// The command table: one row per editor command, in a fixed order that decides
// which command keeps an abbreviation shared by two names.
#include <span>
#include <string_view>

namespace voren {

struct Editor;
struct CommandEntry;

// What a handler is called with. All views stay valid for the handler's call.
struct CommandCall {
    std::string_view text;     // the command as typed, after "$" expansion
    std::string_view typed;    // the command before "$" expansion
    std::string_view lower;    // `text` lower-cased
    std::string_view spaced;   // `text` with a blank inserted after the command word if needed
    std::string_view upper;    // `spaced` upper-cased
    std::string_view word;     // the command word as typed
    std::string_view operands; // what follows the command word and its blank in `spaced`
    int source = 0;            // the caller's context words (see xfcom2)
    int flags = 0;
    const CommandEntry* entry = nullptr;
};

// Returns true when it handled the command and leaves its code in
// Editor::return_code; false lets the executor go on to its later steps.
// The trace tag is recorded by call_command before the handler runs, so a
// handler of the table does not record it again; only the five special
// entries, which may decline, record their own tag when they accept.
using CommandHandler = bool (*)(Editor& ed, const CommandCall& call);

struct CommandEntry {
    const char* name; // minimum abbreviation in capitals, the rest in lower case
    int length;       // full length of the name
    int min_length;   // shortest accepted form
    bool settable;    // also reachable through SET
    bool queryable;   // QUERY may run it without operands
    CommandHandler handler;
    const char* trace; // "Commande <name>" recorded on entry
    const char* help;
};

constexpr int kCommandCount = 356;
constexpr int kHostItemCount = 28;
constexpr int kHashChains = 8192;

// Every handler of the table, named xfcm_<name>.
#define VOREN_COMMAND(id, name, set, query, help)                                                  \
    bool xfcm_##id(Editor& ed, const CommandCall& call);
#define VOREN_SPECIAL VOREN_COMMAND
#include "editor/commands/command_list.def"
#undef VOREN_COMMAND
#undef VOREN_SPECIAL
// The SET forms of "=" and MACRO.
bool xfcm_set_equal(Editor& ed, const CommandCall& call);
bool xfcm_set_macro(Editor& ed, const CommandCall& call);

std::span<const CommandEntry> command_table();
// The SET table: the settable entries in table order (with the SET forms of
// "=" and MACRO), then the 28 host-compatibility names, which have no handler.
std::span<const CommandEntry> set_table();

// One hash probe: the entry whose accepted forms include `word` (any case), or null.
const CommandEntry* find_command(std::string_view word);
// The hash of a key, as the table is built: starts at c0, then
// hash = (hash * 31 + c) % 8192 for every character.
unsigned command_hash(std::string_view lower_key);
// True when `word` is at least the entry's minimum length, at most its full
// length, and agrees with its name without regard to case.
bool abbreviates(std::string_view word, const CommandEntry& entry);
// SET's linear search; `host_compat` allows the 28 host names.
const CommandEntry* find_set_item(std::string_view word, bool host_compat);
// The host-compatibility names typed as commands.
const CommandEntry* find_host_item(std::string_view word);

// Body of a command whose behaviour is not built yet: shows
// "..... Not implemented" and returns code 1.
bool not_implemented(Editor& ed, const CommandCall& call);
// Records the entry's trace tag and runs its handler.
bool call_command(Editor& ed, const CommandEntry& entry, const CommandCall& call);

} // namespace voren
