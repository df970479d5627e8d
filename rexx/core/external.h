#pragma once
// External routines: finding a routine's file through "." and PATH, and
// running a routine in a child interpreter (NOLOAD).
//
// A routine called as N is looked up as a file named N (lower case when N
// was written as a symbol). A name with a directory part ("/", "~", ".", or
// a drive letter) is opened directly; a plain name is tried in ".", then in
// every absolute directory of PATH, first as D/N and then as D/N.tlm. A file
// is taken when its extension is ".tlm" or its first line is a "#!" line
// naming tolma. The executor loads what is found (LOAD) or hands it to
// run_child_routine (NOLOAD).
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tolma {

// The file name looked up for a routine called as `name`: backslashes made
// "/" (a leading "\\\\" network prefix kept), folded to lower case when the
// name was written as a symbol.
std::string external_file_name(std::string_view name, bool written_as_symbol);

// Whether the name is opened as a path rather than searched for: it begins
// with "/", "~" or ".", or has ":" as its second of at least 3 characters.
bool has_directory_part(std::string_view file);

// The extension of a path: from the first "." of its last component to the
// end ("a.b.tlm" has ".b.tlm"); empty when the component has no ".".
std::string_view path_extension(std::string_view path);

// A start line naming the interpreter: begins with "#!" and has "tolma"
// somewhere after the first character.
bool names_interpreter(std::string_view first_line);

// An absolute, lexically tidied form of a path: "~" is HOME, a relative
// path is taken from the current directory, "." components and doubled
// slashes go. Links are not followed, so the name stays the one written.
std::string full_path(std::string_view path);

// The directories searched for a plain name: "." (as a full path), then
// every entry of path_variable as a full path (split at ":"; empty entries
// and "." skipped, one trailing "/" removed, duplicates dropped).
std::vector<std::string>
external_search_directories(const std::optional<std::string>& path_variable);

// Receives the search's warning lines (with their newline).
using WarningSink = std::function<void(std::string_view)>;

// Searches the routine's file (`file` as made by external_file_name). Returns
// the path found, or nothing after writing any warnings to `warn` (which may
// be empty to keep them quiet).
std::optional<std::string> find_external_file(std::string_view file,
                                              const std::optional<std::string>& path_variable,
                                              const WarningSink& warn);

// Reads a whole file; false when it cannot be read in full.
bool read_whole_file(const std::string& path, std::string& text);

// The argument bytes written as two lower-case hexadecimal digits per byte.
std::string hex_bytes(std::string_view bytes);

// An argument of a call: nothing for an omitted one.
using CallArgument = std::optional<std::string>;

// The variables that pass a call's arguments to a child interpreter:
// "tolma_NB_ARGS" (the count) and "tolma_ARG<i>" for every present argument;
// an omitted argument's variable is listed without a value (removed, so that
// one inherited from elsewhere cannot stand in for it).
std::vector<std::pair<std::string, std::optional<std::string>>>
child_argument_variables(const std::vector<CallArgument>& args);

// The interpreter a NOLOAD call runs: `configured` when set, else
// <installation>/tolma, where the installation directory is `installation`
// when set, else REXXHOME, else the directory of the running program.
std::string child_interpreter(const std::string& configured, const std::string& installation);

// The variable naming the file where a child interpreter leaves the value
// its program returned ("R" followed by the value; empty when none).
inline constexpr const char* kResultFileVariable = "tolma_RESULT_FILE";

struct ChildOutcome {
    int status = -1;                  // exit status; -1: the child could not be started
    int error = 0;                    // the system's error number when it could not
    std::optional<std::string> value; // the value the routine returned, if any
};

// Runs the routine's file in a child interpreter with the arguments and
// waits for it.
ChildOutcome run_child_routine(const std::string& interpreter, const std::string& routine_file,
                               const std::vector<CallArgument>& args);

} // namespace tolma
