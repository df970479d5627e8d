#include "editor/core/main_loop.h"

#include "editor/commands/executor.h"
#include "editor/core/editor.h"
#include "editor/core/emergency.h"
#include "editor/core/file_io.h"
#include "editor/core/line_ops.h"
#include "platform/environment.h"
#include "platform/files.h"
#include "platform/hangup.h"

#include <cstdio>

namespace voren {

void queue_command(Editor& ed, std::string command) {
    ed.pending_commands.push_back(std::move(command));
}

void queue_command_first(Editor& ed, std::string command) {
    ed.pending_commands.push_front(std::move(command));
}

namespace {

void run_command(Editor& ed, const std::string& command) {
    start_undo_step(ed);
    execute_string(ed, command);
}

} // namespace

bool run_turn(Editor& ed) {
    // A hang-up or termination request that arrived meanwhile ends the program
    // here (after saving modified files).
    platform::run_pending_hangup();
    for (auto& file : ed.ring.files)
        file->modification_count_at_turn_start = file->modification_count;
    if (!ed.batch_mode) {
        // Files changed on disk by someone else are offered for reloading.
        for (int i = 0; i < int(ed.ring.files.size()); ++i)
            if (ed.ring.files[size_t(i)]->watch) reload_check(ed, i, false);
        if (ed.pending_commands.empty() && ed.redisplay) ed.redisplay(ed);
        if (ed.wait_for_user) ed.wait_for_user(ed);
        if (ed.run_prefix_commands) ed.run_prefix_commands(ed);
    }
    std::string command;
    if (!ed.pending_commands.empty()) {
        command = std::move(ed.pending_commands.front());
        ed.pending_commands.pop_front();
        run_command(ed, command);
    } else if (ed.take_stack_line && ed.take_stack_line(ed, command)) {
        run_command(ed, command);
    } else if (ed.batch_mode) {
        return false;
    } else if (ed.run_key) {
        start_undo_step(ed);
        ed.run_key(ed);
    } else {
        // Nothing can ever arrive: without a screen there is no user.
        return false;
    }
    autosave_accounting(ed);
    return true;
}

void run_main_loop(Editor& ed) {
    for (;;)
        if (!run_turn(ed)) exit_editor(ed, 0);
}

void run_batch(Editor& ed) {
    while (run_turn(ed)) {
    }
    append_message_logs(ed);
    exit_editor(ed, 0);
}

namespace {

bool ends_with(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

} // namespace

bool append_message_logs(Editor& ed) {
    for (auto& entry : ed.ring.files) {
        const File& file = *entry;
        if (!ends_with(file.path, ".@messages")) continue;
        std::tm now = platform::local_time_now();
        int first = now.tm_mday, second = now.tm_mon + 1;
        if (ed.settings.date_month_first) std::swap(first, second);
        char header[96];
        std::snprintf(header, sizeof header,
                      "****** VOREN batch run %2.2d/%2.2d/%4.4d %2.2d:%2.2d:%2.2d", first, second,
                      now.tm_year + 1900, now.tm_hour, now.tm_min, now.tm_sec);
        const char* line_end = file.lf_only ? "\n" : "\r\n";
        std::string text = std::string(header) + line_end;
        for (const Line& line : file.lines) {
            text.append(line.text.view());
            text.append(line_end);
        }
        int error = 0;
        platform::FileHandle out = platform::open_for_append(file.path, 0666, &error);
        bool ok = out.is_open() && platform::write_all(out, text, &error) &&
                  platform::sync_file(out, &error) && platform::close_file(out, &error);
        if (!ok) {
            std::fflush(stdout);
            std::fprintf(stderr, "VOREN: Unable to save \"%s\" (%s).\n", file.path.c_str(),
                         platform::system_error_text(error).c_str());
            return false;
        }
    }
    return true;
}

} // namespace voren
