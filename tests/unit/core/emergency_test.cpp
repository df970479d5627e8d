#include "editor/core/editor.h"
#include "editor/core/emergency.h"
#include "editor/core/file_io.h"
#include "editor/core/line_ops.h"
#include "editor/core/main_loop.h"
#include "tests/unit/core/core_test_support.h"

#include <csignal>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

namespace voren {
namespace {

using Texts = std::vector<std::string>;

// Builds an editor holding a modified a.c and an unmodified b.c in `dir`.
Editor& editor_with_changes(const TempDir& dir) {
    Editor& ed = *new Editor();
    ed.batch_mode = true;
    write_bytes(dir.file("a.c"), "int a;\n");
    write_bytes(dir.file("b.c"), "int b;\n");
    open_file(ed, dir.file("a.c"));
    start_undo_step(ed);
    replace_line(ed, 0, "int changed;", XF_TAG);
    open_file(ed, dir.file("b.c"));
    return ed;
}

// A real access fault: a store into a read-only page.
[[noreturn]] void fault_now() {
    void* page = mmap(nullptr, 4096, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    *static_cast<volatile int*>(page) = 1;
    std::abort();
}

TEST(Emergency, AFaultSavesCheckCopiesAndTheTrace) {
    TempDir dir;
    EXPECT_EXIT(
        {
            if (chdir(dir.path.c_str()) != 0) std::exit(99);
            Editor& ed = editor_with_changes(dir);
            install_emergency_handlers(&ed);
            fault_now();
        },
        testing::ExitedWithCode(SIGSEGV), "VOREN internal error 11\\.");
    EXPECT_EQ(read_bytes(dir.file("a.c.check")), "int changed;\n");
    EXPECT_FALSE(exists(dir.file("b.c.check")));
    EXPECT_EQ(read_bytes(dir.file("a.c")), "int a;\n");
    std::string trace = read_bytes(dir.file("xed.trace"));
    EXPECT_NE(trace.find("emergency_test.cpp:"), std::string::npos);
}

TEST(Emergency, AnAbortTakesTheSamePath) {
    TempDir dir;
    EXPECT_EXIT(
        {
            if (chdir(dir.path.c_str()) != 0) std::exit(99);
            Editor& ed = editor_with_changes(dir);
            install_emergency_handlers(&ed);
            std::abort();
        },
        testing::ExitedWithCode(SIGABRT), "VOREN internal error 6\\.");
    EXPECT_TRUE(exists(dir.file("a.c.check")));
}

TEST(Emergency, ASecondInternalErrorExitsWithoutSaving) {
    TempDir dir;
    EXPECT_EXIT(
        {
            Editor& ed = editor_with_changes(dir);
            ed.emergency_running = true;
            internal_error_emergency(ed, 7);
        },
        testing::ExitedWithCode(7), "VOREN: Unable to save modified files");
    EXPECT_FALSE(exists(dir.file("a.c.check")));
}

TEST(Emergency, MemoryExhaustionSavesAndExitsWithZero) {
    TempDir dir;
    EXPECT_EXIT(
        {
            Editor& ed = editor_with_changes(dir);
            memory_emergency(ed, 4096, false);
        },
        testing::ExitedWithCode(0),
        "\nVOREN: \\*+      No more memory available      \\*+ \n"
        "VOREN:               \\( size = 4096 \\)\n"
        "VOREN: ... Trying to save .*/a.c after renaming in .*/a.c.check\n"
        "VOREN: ................. Save successfull\n");
    EXPECT_EQ(read_bytes(dir.file("a.c.check")), "int changed;\n");
}

TEST(Emergency, MemoryEmergencyWhileOneRunsDoesNotSave) {
    TempDir dir;
    EXPECT_EXIT(
        {
            Editor& ed = editor_with_changes(dir);
            ed.emergency_running = true;
            memory_emergency(ed, 1, false);
        },
        testing::ExitedWithCode(0), "VOREN: exiting without saving files\n");
    EXPECT_FALSE(exists(dir.file("a.c.check")));
}

TEST(Emergency, TooManyLinesTakesTheMemoryPath) {
    TempDir dir;
    EXPECT_EXIT(
        {
            Editor& ed = editor_with_changes(dir);
            memory_emergency(ed, 0, true);
        },
        testing::ExitedWithCode(0), "Save successfull");
    EXPECT_TRUE(exists(dir.file("a.c.check")));
}

#if !defined(__SANITIZE_ADDRESS__)
TEST(Emergency, AFailedAllocationTakesTheMemoryPath) {
    TempDir dir;
    EXPECT_EXIT(
        {
            Editor& ed = editor_with_changes(dir);
            install_emergency_handlers(&ed);
            volatile size_t huge = size_t(1) << 62;
            char* p = new char[huge];
            p[0] = 1;
        },
        testing::ExitedWithCode(0), "No more memory available");
    EXPECT_TRUE(exists(dir.file("a.c.check")));
}
#endif

TEST(Emergency, HangUpSavesCheckCopies) {
    TempDir dir;
    EXPECT_EXIT(
        {
            Editor& ed = editor_with_changes(dir);
            install_emergency_handlers(&ed);
            raise(SIGHUP); // only recorded: the save happens at the next turn
            if (!exists(dir.file("a.c.check"))) run_turn(ed);
            std::exit(99);
        },
        testing::ExitedWithCode(128 + SIGHUP), "");
    EXPECT_EQ(read_bytes(dir.file("a.c.check")), "int changed;\n");
}

TEST(Emergency, HandlersCanBeRemoved) {
    Editor ed;
    install_emergency_handlers(&ed);
    EXPECT_EQ(emergency_editor(), &ed);
    install_emergency_handlers(nullptr);
    EXPECT_EQ(emergency_editor(), nullptr);
}

} // namespace
} // namespace voren
