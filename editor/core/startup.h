#pragma once
// Start-up: the command line, the program-name personalities, the profile
// choice and search, and the queueing of the files and -c commands.
#include <optional>
#include <string>
#include <vector>

namespace voren {

struct Editor;

enum class Personality { Editor, Xeda, Tree, FileList };

// What the command line asks for.
struct StartOptions {
    Personality personality = Personality::Editor;
    bool batch = false;
    std::string command_file; // -filec
    enum class Profile { Default, Explicit, None } profile = Profile::Default;
    std::string profile_name;          // -p / -P
    std::vector<std::string> commands; // -c, in order
    std::vector<std::string> files;
    std::string identity = "VOREN";
    bool ispf = false;  // -pdf
    bool kedit = false; // -kedit
    // Options the screen layer reads (name without its "-" or "/", arguments).
    std::vector<std::vector<std::string>> screen_options;
    std::string personality_arguments; // "tree"/"fli": files joined, or " "
};

// Parses argv[1..]; the personality comes from the base name of argv[0].
// Returns nothing for an unknown option or missing option arguments.
std::optional<StartOptions> parse_command_line(const std::vector<std::string>& args);
Personality personality_of(const std::string& argv0);

// The profile file to run, or nothing. `exists` answers whether a file exists.
struct ProfilePlaces {
    std::string home;        // $HOME (may be empty)
    std::string program_dir; // directory of the program
};
std::vector<std::string> profile_candidates(const StartOptions& options,
                                            const ProfilePlaces& places);
std::optional<std::string> find_profile(const StartOptions& options, const ProfilePlaces& places,
                                        bool (*exists)(const std::string& path));

// "macro <base name> <arguments from the second on>" for a found profile.
std::string profile_command(const std::string& profile_path, const std::vector<std::string>& args);

// Queues "xed "<file>"" for every file, then the -c and -filec commands in
// command-line order.
void queue_startup_commands(Editor& ed, const StartOptions& options);

// The screen layer's start-up: opens the terminal and draws the first screen,
// installing the editor's interactive hooks (redisplay, wait_for_user ...).
constexpr int screen_started = 0;
constexpr int screen_cannot_start = 1;
constexpr int screen_too_small = 2;
struct ScreenLayer {
    int (*start)(Editor& ed, const StartOptions& options) = nullptr;
};

// The start-up sequence up to the main loop or the batch loop; returns the
// exit status for the early failures, or runs to the exit path.
int voren_main(int argc, char** argv, const ScreenLayer& screen = {});

} // namespace voren
