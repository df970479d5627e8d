#include "editor/core/emergency.h"

#include "editor/commands/executor.h"
#include "editor/core/editor.h"
#include "editor/core/file_io.h"
#include "editor/core/line_text.h"
#include "platform/hangup.h"
#include "platform/signals.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

namespace voren {

namespace {

Editor* target = nullptr;
// Memory set aside at installation and released when memory runs out, so that
// the emergency save itself has room to work.
void* reserve = nullptr;
constexpr size_t reserve_size = 8u << 20;

void release_reserve() {
    std::free(reserve);
    reserve = nullptr;
}

void on_allocation_failure() {
    release_reserve();
    if (!target) throw std::bad_alloc();
    memory_emergency(*target, 0, false);
}

void on_fault(int signal_number) {
    release_reserve();
    if (target) internal_error_emergency(*target, signal_number);
}

// Runs in normal context (see platform/hangup.h), from the input loop or
// from the start of a turn.
void on_hangup(int signal_number, void* context) {
    if (context) hangup_emergency(*static_cast<Editor*>(context), signal_number);
}

// Saves one modified file as <path>.check; true on success.
bool save_check_copy(Editor& ed, int index) {
    make_current(ed, index);
    File& file = *ed.ring.files[size_t(index)];
    file.path += ".check";
    return save_file(ed, false, false) == save_ok;
}

} // namespace

[[noreturn]] void LineText::throw_allocation_failure(size_t size) {
    release_reserve();
    if (target) memory_emergency(*target, size, false);
    throw std::bad_alloc();
}

void exit_editor(Editor& ed, int status) {
    if (!ed.batch_mode && ed.close_screen) ed.close_screen(ed);
    std::fflush(stdout);
    std::fflush(stderr);
    std::exit(status);
}

namespace {

// The end of an emergency: the state of the program may be inconsistent (a
// fault, or memory gone), so no destructors or exit handlers run.
[[noreturn]] void emergency_exit(Editor& ed, int status) {
    if (!ed.batch_mode && ed.close_screen) ed.close_screen(ed);
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(status);
}

} // namespace

void memory_emergency(Editor& ed, size_t size, bool max_lines) {
    release_reserve();
    for (auto& file : ed.ring.files)
        file->display_changed = true;
    std::fflush(stdout);
    std::fputs("\n", stderr);
    if (max_lines) {
        show_text(ed, "Maximum number of lines exceeded.");
        show_text(ed, "Edited files will be saved with a \".check\" filetype.");
    } else {
        std::fputs("VOREN: ********      No more memory available      ******** \n", stderr);
        std::fprintf(stderr, "VOREN:               ( size = %zu )\n", size);
    }
    if (ed.emergency_running) {
        std::fputs("VOREN: exiting without saving files\n", stderr);
        emergency_exit(ed, 0);
    }
    ed.emergency_running = true;
    for (int i = 0; i < int(ed.ring.files.size()); ++i) {
        File& file = *ed.ring.files[size_t(i)];
        if (file.modification_count == 0) continue;
        std::fprintf(stderr, "VOREN: ... Trying to save %s", file.path.c_str());
        std::fprintf(stderr, " after renaming in %s.check\n", file.path.c_str());
        bool saved = save_check_copy(ed, i);
        std::fputs(saved ? "VOREN: ................. Save successfull\n"
                         : "VOREN: ................. Save failed\n",
                   stderr);
    }
    emergency_exit(ed, 0);
}

void internal_error_emergency(Editor& ed, int number) {
    std::fflush(stdout);
    if (ed.emergency_running) {
        std::fputs("VOREN: Unable to save modified files\n", stderr);
        show_text(ed, "VOREN: Unable to save modified files");
        emergency_exit(ed, number);
    }
    std::fprintf(stderr, "VOREN internal error %d.\n", number);
    show_text(ed, "VOREN internal error " + std::to_string(number) + ".");
    ed.emergency_running = true;
    write_trace_file(ed, "xed.trace");
    int previous = ed.ring.current;
    bool any = false;
    for (int i = 0; i < int(ed.ring.files.size()); ++i) {
        if (ed.ring.files[size_t(i)]->modification_count == 0) continue;
        any = true;
        show_message(ed, 35);
        save_check_copy(ed, i);
    }
    if (!any) show_message(ed, 35);
    if (!ed.ring.files.empty()) make_current(ed, std::min(previous, int(ed.ring.files.size()) - 1));
    emergency_exit(ed, number);
}

void hangup_emergency(Editor& ed, int signal_number) {
    ed.emergency_running = true;
    for (int i = 0; i < int(ed.ring.files.size()); ++i)
        if (ed.ring.files[size_t(i)]->modification_count != 0) save_check_copy(ed, i);
    ed.close_screen = nullptr; // the terminal is gone
    emergency_exit(ed, 128 + signal_number);
}

void install_emergency_handlers(Editor* ed) {
    target = ed;
    if (!ed) {
        std::set_new_handler(nullptr);
        platform::remove_fault_handlers();
        platform::set_hangup_handler(nullptr, nullptr);
        release_reserve();
        return;
    }
    if (!reserve) reserve = std::malloc(reserve_size);
    std::set_new_handler(on_allocation_failure);
    platform::install_fault_handlers(on_fault);
    platform::set_hangup_handler(on_hangup, ed);
    platform::ignore_file_size_signal();
}

Editor* emergency_editor() {
    return target;
}

} // namespace voren
