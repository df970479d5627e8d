#include "editor/core/startup.h"

#include "editor/commands/executor.h"
#include "editor/core/editor.h"
#include "editor/core/emergency.h"
#include "editor/core/main_loop.h"
#include "platform/environment.h"
#include "platform/files.h"

#include <cstdio>
#include <cstring>
#include <memory>

namespace voren {

namespace {

struct OptionRow {
    const char* name;
    int arguments;
    bool screen; // read by the screen layer
};

// Matched exactly (case-sensitive).
constexpr OptionRow option_table[] = {
    {"-Ww", 1, true},           {"-Wh", 1, true},      {"-Wp", 2, true},
    {"-Wf", 3, true},           {"-width", 1, true},   {"-height", 1, true},
    {"-position", 2, true},     {"-font", 1, true},    {"-display", 1, false},
    {"-p", 1, false},           {"-P", 1, false},      {"-geometry", 1, false},
    {"-synchronous", 0, false}, {"-iconic", 0, true},  {"-icon_position", 2, true},
    {"-WP", 2, true},           {"-c", 1, false},      {"-xrm", 1, false},
    {"-scope", 1, false},       {"-dy_font", 1, true}, {"-np", 0, false},
    {"-pdf", 0, false},         {"-noauto", 0, true},  {"-kedit", 0, false},
    {"-batch", 0, false},       {"-filec", 1, false},  {"-id", 1, false},
};

const OptionRow* find_option(const std::string& word) {
    for (const OptionRow& row : option_table)
        if (word == row.name) return &row;
    return nullptr;
}

bool last_component_has_dot(const std::string& name) {
    return platform::base_name(name).find('.') != std::string::npos;
}

} // namespace

Personality personality_of(const std::string& argv0) {
    std::string base = platform::base_name(argv0);
    if (base == "xeda") return Personality::Xeda;
    if (base == "tree") return Personality::Tree;
    if (base == "fli") return Personality::FileList;
    return Personality::Editor;
}

std::optional<StartOptions> parse_command_line(const std::vector<std::string>& args) {
    StartOptions options;
    if (!args.empty()) options.personality = personality_of(args[0]);
    size_t i = 1;
    while (i < args.size() && !args[i].empty() && args[i][0] == '-') {
        const OptionRow* row = find_option(args[i]);
        if (!row || i + size_t(row->arguments) >= args.size()) return std::nullopt;
        std::vector<std::string> values(args.begin() + long(i) + 1,
                                        args.begin() + long(i) + 1 + row->arguments);
        std::string name = row->name;
        if (row->screen) {
            values.insert(values.begin(), name.substr(1));
            options.screen_options.push_back(values);
            values.erase(values.begin());
        }
        if (name == "-p" || name == "-P") {
            options.profile = StartOptions::Profile::Explicit;
            options.profile_name = values[0];
            if (!last_component_has_dot(options.profile_name)) options.profile_name += ".voren";
        } else if (name == "-np") {
            options.profile = StartOptions::Profile::None;
        } else if (name == "-batch" || name == "-filec") {
            options.batch = true;
            if (options.profile == StartOptions::Profile::Default)
                options.profile = StartOptions::Profile::None;
            if (name == "-filec") {
                const std::string& file = values[0];
                options.command_file = file;
                options.commands.push_back(
                    last_component_has_dot(file) ? "hash " + file : "hash " + file + ".voren");
                options.commands.push_back(file);
            }
        } else if (name == "-c") {
            options.commands.push_back(values[0]);
        } else if (name == "-id") {
            options.identity = values[0];
        } else if (name == "-pdf") {
            options.ispf = true;
        } else if (name == "-kedit") {
            options.kedit = true;
        }
        i += 1 + size_t(row->arguments);
    }
    for (; i < args.size(); ++i)
        options.files.push_back(args[i]);
    if (options.personality == Personality::Tree || options.personality == Personality::FileList) {
        std::string joined;
        for (const std::string& file : options.files)
            joined += (joined.empty() ? "" : " ") + file;
        options.personality_arguments = joined.empty() ? " " : joined;
    }
    return options;
}

std::vector<std::string> profile_candidates(const StartOptions& options,
                                            const ProfilePlaces& places) {
    std::vector<std::string> names;
    if (options.profile == StartOptions::Profile::None) return {};
    if (options.profile == StartOptions::Profile::Explicit)
        names = {options.profile_name};
    else
        names = {"profile.voren", "profile.x"};
    std::vector<std::string> dirs{""};
    if (!places.home.empty())
        dirs.push_back(places.home.back() == '/' ? places.home : places.home + "/");
    if (!places.program_dir.empty())
        dirs.push_back(places.program_dir.back() == '/' ? places.program_dir
                                                        : places.program_dir + "/");
    std::vector<std::string> candidates;
    for (const std::string& dir : dirs)
        for (const std::string& name : names) {
            if (!dir.empty() && !name.empty() && name[0] == '/')
                continue; // an absolute name is only looked for as given
            candidates.push_back(dir + name);
        }
    return candidates;
}

std::optional<std::string> find_profile(const StartOptions& options, const ProfilePlaces& places,
                                        bool (*exists)(const std::string& path)) {
    for (const std::string& candidate : profile_candidates(options, places))
        if (exists(candidate)) return candidate;
    return std::nullopt;
}

std::string profile_command(const std::string& profile_path, const std::vector<std::string>& args) {
    std::string base = platform::base_name(profile_path);
    size_t dot = base.rfind('.');
    if (dot != std::string::npos && dot > 0) base.erase(dot);
    std::string command = "macro " + base;
    for (size_t i = 1; i < args.size(); ++i)
        command += " " + args[i];
    return command;
}

namespace {

bool regular_file_exists(const std::string& path) {
    return platform::file_status(path).type == platform::FileType::Regular;
}

void run_profile(Editor& ed, const StartOptions& options) {
    ProfilePlaces places{platform::environment_variable("HOME").value_or(""), ed.program_directory};
    std::optional<std::string> found = find_profile(options, places, regular_file_exists);
    if (!found) {
        if (options.profile == StartOptions::Profile::Explicit) {
            show_text(ed, "File " + options.profile_name + " not found.");
            exit_editor(ed, 0);
        }
        return;
    }
    std::string dir = platform::directory_part(*found);
    ed.profile_directory = platform::absolute_path(dir.empty() ? "." : dir);
    ed.in_profile = true;
    ++ed.cmd.in_profile;
    int rc = execute_string(ed, profile_command(*found, ed.arguments));
    --ed.cmd.in_profile;
    ed.in_profile = false;
    if (rc != 0) {
        show_text(ed, "Warning: unable to complete profile \"" + *found + "\"");
        ed.cmd.command_line.clear();
        ed.cmd.command_line_stays = false;
    }
}

} // namespace

void queue_startup_commands(Editor& ed, const StartOptions& options) {
    for (const std::string& file : options.files)
        queue_command(ed, "xed \"" + file + "\"");
    for (const std::string& command : options.commands)
        queue_command(ed, command);
}

int voren_main(int argc, char** argv, const ScreenLayer& screen) {
    std::vector<std::string> args(argv, argv + argc);
    if (args.empty()) args.push_back("voren");
    if (personality_of(args[0]) == Personality::Xeda) {
        std::fputs("xeda: not supported\n", stderr);
        return 1;
    }
    std::optional<StartOptions> parsed = parse_command_line(args);
    if (!parsed) {
        std::fputs("VOREN: invalid option\n", stderr);
        return 1;
    }
    const StartOptions& options = *parsed;

    auto editor = std::make_unique<Editor>();
    Editor& ed = *editor;
    ed.arguments = args;
    ed.identity = options.identity;
    ed.batch_mode = options.batch;
    ed.ispf_mode = options.ispf;
    ed.kedit = options.kedit;
    ed.tree_mode = options.personality == Personality::Tree;
    ed.file_list_mode = options.personality == Personality::FileList;
    ed.start_directory = platform::current_directory().value_or("/");
    ed.program_directory = platform::program_directory(args[0].c_str());

    if (!ed.batch_mode) {
        int started = screen.start ? screen.start(ed, options) : screen_cannot_start;
        if (started == screen_too_small) {
            std::fputs("voren: too small window\n", stderr);
            return 1;
        }
        if (started != screen_started) {
            std::fputs("voren: can't initialize\n", stderr);
            return 1;
        }
    }
    // From here on the editor lives until the process ends: the exit path does
    // not free it (the emergency paths hold it).
    editor.release();
    install_emergency_handlers(&ed);

    run_profile(ed, options);
    queue_startup_commands(ed, options);
    if (ed.batch_mode) run_batch(ed);
    if (ed.redisplay) ed.redisplay(ed);
    if (ed.file_list_mode) queue_command(ed, "f " + options.personality_arguments);
    if (ed.tree_mode) queue_command(ed, "tree " + options.personality_arguments);
    run_main_loop(ed);
}

} // namespace voren
