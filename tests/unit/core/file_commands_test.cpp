#include "editor/commands/executor.h"
#include "editor/core/editor.h"
#include "editor/core/file_io.h"
#include "editor/core/line_ops.h"
#include "tests/unit/core/core_test_support.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace voren {
namespace {

using Texts = std::vector<std::string>;

struct FileCommandsTest : ::testing::Test {
    TempDir dir;
    Editor ed;
    void SetUp() override {
        ed.batch_mode = true;
        test_log().clear();
        test_log().attach(ed);
    }
    int run(const std::string& command) { return xfcom2(ed, command); }
    std::string current_name() {
        const File* file = current_file(ed);
        return file ? file->path : "";
    }
    // A file on disk, opened and changed by one command.
    void open_changed(const std::string& name, const std::string& text) {
        write_bytes(dir.file(name), "original\n");
        ASSERT_EQ(run("xed " + dir.file(name)), 0);
        start_undo_step(ed);
        replace_line(ed, 0, text, XF_TAG);
    }
};

TEST_F(FileCommandsTest, XeditOpensSeveralFilesAndQuotedNames) {
    write_bytes(dir.file("a b.txt"), "x\n");
    write_bytes(dir.file("c"), "y\n");
    EXPECT_EQ(run("xed \"" + dir.file("a b.txt") + "\" " + dir.file("c") + " (noprof"), 0);
    ASSERT_EQ(ed.ring.files.size(), 2u);
    EXPECT_EQ(current_name(), dir.file("c"));
    EXPECT_EQ(run("x \"" + dir.file("a b.txt") + "\""), 0);
    EXPECT_EQ(ed.ring.files.size(), 2u);
    EXPECT_EQ(current_name(), dir.file("a b.txt"));
    EXPECT_EQ(run("xedit"), 0);
    EXPECT_EQ(current_name(), dir.file("c"));
}

TEST_F(FileCommandsTest, XeditReportsAFileThatCannotBeOpened) {
    EXPECT_EQ(run("xed " + dir.path), 1);
    EXPECT_EQ(test_log().messages(), (Texts{msg(1)}));
    EXPECT_EQ(run("switch"), 1);
    EXPECT_EQ(test_log().messages().back(), msg(136));
}

TEST_F(FileCommandsTest, QuitRefusesAModifiedFileAndQQuitLeavesIt) {
    write_bytes(dir.file("keep"), "k\n");
    run("xed " + dir.file("keep"));
    open_changed("a", "changed");
    EXPECT_EQ(run("quit"), 1);
    EXPECT_EQ(test_log().messages(), (Texts{msg(174)}));
    EXPECT_EQ(ed.ring.files.size(), 2u);
    EXPECT_EQ(run("qquit"), 0);
    EXPECT_EQ(ed.ring.files.size(), 1u);
    EXPECT_EQ(read_bytes(dir.file("a")), "original\n");
    EXPECT_FALSE(exists(dir.file("a%")));
}

TEST_F(FileCommandsTest, AquitStopsAtTheFirstModifiedFile) {
    open_changed("modified", "changed");
    write_bytes(dir.file("b"), "b\n");
    write_bytes(dir.file("c"), "c\n");
    run("xed " + dir.file("b"));
    run("xed " + dir.file("c"));
    EXPECT_EQ(run("aquit"), 1);
    EXPECT_EQ(test_log().messages(), (Texts{msg(174)}));
    ASSERT_EQ(ed.ring.files.size(), 1u);
    EXPECT_EQ(current_name(), dir.file("modified"));
}

TEST_F(FileCommandsTest, SaveWritesAndKeepsTheFile) {
    open_changed("a", "changed");
    EXPECT_EQ(run("save"), 0);
    EXPECT_EQ(read_bytes(dir.file("a")), "changed\n");
    EXPECT_EQ(current_file(ed)->modification_count, 0);
}

TEST_F(FileCommandsTest, DosSaveWritesCrLf) {
    open_changed("a", "changed");
    EXPECT_EQ(run("dossave"), 0);
    EXPECT_EQ(read_bytes(dir.file("a")), "changed\r\n");
}

TEST_F(FileCommandsTest, SaveUnderANewNameRenamesTheFile) {
    open_changed("a", "changed");
    EXPECT_EQ(run("save " + dir.file("b")), 0);
    EXPECT_EQ(read_bytes(dir.file("b")), "changed\n");
    EXPECT_EQ(read_bytes(dir.file("a")), "original\n");
    EXPECT_EQ(current_name(), dir.file("b"));
    write_bytes(dir.file("c"), "c\n");
    EXPECT_EQ(run("save " + dir.file("c")), 1);
    EXPECT_EQ(test_log().messages().back(), msg(182));
    EXPECT_EQ(run("ssave " + dir.file("c")), 0);
    EXPECT_EQ(read_bytes(dir.file("c")), "changed\n");
}

TEST_F(FileCommandsTest, FileOfAWriteProtectedFileInBatchModeKeepsIt) {
    open_changed("ro", "changed");
    chmod(dir.file("ro").c_str(), 0444);
    EXPECT_EQ(run("file"), 1);
    EXPECT_EQ(ed.ring.files.size(), 1u);
    EXPECT_EQ(read_bytes(dir.file("ro")), "original\n");
    EXPECT_EQ(current_file(ed)->modification_count, 1);
}

TEST_F(FileCommandsTest, ReadOnlyFileIsNotSaved) {
    open_changed("a", "changed");
    current_file(ed)->read_only = true;
    EXPECT_EQ(run("save"), 1);
    EXPECT_EQ(test_log().messages(), (Texts{msg(118)}));
}

TEST_F(FileCommandsTest, FileLeavesTheFileAndTheLastFileEndsTheProgram) {
    open_changed("a", "one");
    open_changed("b", "two");
    EXPECT_EQ(run("file"), 0);
    EXPECT_EQ(read_bytes(dir.file("b")), "two\n");
    EXPECT_EQ(current_name(), dir.file("a"));
    EXPECT_EXIT(run("ffile"), testing::ExitedWithCode(0), "");
    EXPECT_EQ(read_bytes(dir.file("a")), "one\n");
}

TEST_F(FileCommandsTest, UndoAndRedoSteps) {
    write_bytes(dir.file("u"), "1\n2\n3\n");
    run("xed " + dir.file("u"));
    for (int i = 0; i < 3; ++i) {
        start_undo_step(ed);
        replace_line(ed, i, "changed", XF_TAG);
    }
    EXPECT_EQ(run("undo 2"), 0);
    EXPECT_EQ(line_texts(ed), (Texts{"changed", "2", "3"}));
    EXPECT_EQ(run("redo"), 0);
    EXPECT_EQ(line_texts(ed), (Texts{"changed", "changed", "3"}));
    EXPECT_EQ(run("UNDO ALL"), 0);
    EXPECT_EQ(line_texts(ed), (Texts{"1", "2", "3"}));
    EXPECT_EQ(current_file(ed)->modification_count, 0);
    EXPECT_EQ(run("undo x"), 1);
    EXPECT_EQ(test_log().messages(), (Texts{msg(16)}));
}

TEST_F(FileCommandsTest, EachCommandIsOneUndoStep) {
    write_bytes(dir.file("u"), "1\n");
    run("xed " + dir.file("u"));
    replace_line(ed, 0, "a", XF_TAG);
    run("msg between"); // a new command begins a new step
    replace_line(ed, 0, "b", XF_TAG);
    EXPECT_EQ(current_file(ed)->modification_count, 2);
    run("undo");
    EXPECT_EQ(line_texts(ed), (Texts{"a"}));
}

TEST_F(FileCommandsTest, SaveClearUndoOffKeepsUndoAfterSave) {
    run("saveclearundo off");
    open_changed("a", "changed");
    run("save");
    run("undo");
    EXPECT_EQ(line_texts(ed), (Texts{"original"}));
    run("saveclearundo on");
    run("save");
    EXPECT_TRUE(current_file(ed)->undo_log.empty());
}

TEST_F(FileCommandsTest, NewFileAddsAnEmptyFileAfterTheCurrentOne) {
    write_bytes(dir.file("a"), "a\n");
    run("xed " + dir.file("a"));
    std::string cwd = std::filesystem::current_path().string();
    std::filesystem::current_path(dir.path);
    EXPECT_EQ(run("newfile"), 0);
    std::filesystem::current_path(cwd);
    EXPECT_EQ(current_file(ed)->line_count(), 0);
    EXPECT_EQ(current_name().rfind(dir.file("newfile"), 0), 0u);
    EXPECT_EQ(run("newfile " + dir.file("a")), 1);
    EXPECT_EQ(test_log().messages().back(), msg(50));
    EXPECT_FALSE(exists(current_name()));
}

} // namespace
} // namespace voren
