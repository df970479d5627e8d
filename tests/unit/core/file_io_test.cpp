#include "editor/core/editor.h"
#include "editor/core/file_io.h"
#include "editor/core/line_ops.h"
#include "platform/signals.h"
#include "tests/unit/core/core_test_support.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace voren {
namespace {

using Texts = std::vector<std::string>;
namespace fs = std::filesystem;

struct FileIoTest : ::testing::Test {
    TempDir dir;
    Editor ed;
    void SetUp() override {
        test_log().clear();
        ed.batch_mode = true;
        test_log().attach(ed);
    }
    // Opens `bytes` written as `name`, saves it unchanged, returns the result.
    std::string round_trip(const std::string& name, const std::string& bytes) {
        std::string path = dir.file(name);
        write_bytes(path, bytes);
        EXPECT_EQ(open_file(ed, path), open_ok);
        EXPECT_EQ(save_file(ed, false, false), save_ok);
        return read_bytes(path);
    }
    std::vector<std::string> entries() {
        std::vector<std::string> names;
        for (auto& entry : fs::directory_iterator(dir.path))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

// Reading ---------------------------------------------------------------------

TEST_F(FileIoTest, ReadsLfLinesAndKeepsLfOnly) {
    write_bytes(dir.file("a.txt"), "one\ntwo\n\nfour\n");
    ASSERT_EQ(open_file(ed, dir.file("a.txt")), open_ok);
    EXPECT_EQ(line_texts(ed), (Texts{"one", "two", "", "four"}));
    EXPECT_TRUE(current_file(ed)->lf_only);
    EXPECT_FALSE(current_file(ed)->binary);
    EXPECT_EQ(current_line(ed), -1);
    EXPECT_EQ(current_file(ed)->modification_count, 0);
}

TEST_F(FileIoTest, RemovesCrAtLineEndsAndRemembersCrLf) {
    write_bytes(dir.file("a.txt"), "one\r\ntwo\r\r\n");
    ASSERT_EQ(open_file(ed, dir.file("a.txt")), open_ok);
    EXPECT_EQ(line_texts(ed), (Texts{"one", "two"}));
    EXPECT_FALSE(current_file(ed)->lf_only);
}

TEST_F(FileIoTest, UnixReadConversionKeepsCr) {
    ed.settings.read_conversion = ReadConversion::Unix;
    write_bytes(dir.file("a.txt"), "one\r\n");
    ASSERT_EQ(open_file(ed, dir.file("a.txt")), open_ok);
    EXPECT_EQ(line_texts(ed), (Texts{"one\r"}));
    EXPECT_TRUE(current_file(ed)->lf_only);
}

TEST_F(FileIoTest, TrailingBlanksGoButALineOfBlanksKeepsOne) {
    write_bytes(dir.file("a.txt"), "abc   \n    \nx\n");
    ASSERT_EQ(open_file(ed, dir.file("a.txt")), open_ok);
    EXPECT_EQ(line_texts(ed), (Texts{"abc", " ", "x"}));
}

TEST_F(FileIoTest, KeepBlanksPatternKeepsTrailingBlanks) {
    ed.settings.keep_blanks_patterns.push_back({"*.keep", true});
    write_bytes(dir.file("a.keep"), "abc   \n");
    ASSERT_EQ(open_file(ed, dir.file("a.keep")), open_ok);
    EXPECT_EQ(line_texts(ed), (Texts{"abc   "}));
    EXPECT_EQ(read_bytes(dir.file("a.keep")), "abc   \n");
}

TEST_F(FileIoTest, PatternSettingsFirstMatchThenDefault) {
    ed.settings.lrecl_patterns = {{"*", 80}, {"*.c", 72}, {"*.c", 10}};
    File a, b;
    apply_pattern_settings(ed.settings, a, "/x/prog.c");
    apply_pattern_settings(ed.settings, b, "/x/prog.h");
    EXPECT_EQ(a.lrecl, 72);
    EXPECT_EQ(b.lrecl, 80);
    File c;
    apply_pattern_settings(CoreSettings{}, c, "/x/prog.c");
    EXPECT_EQ(c.lrecl, 0);
}

TEST_F(FileIoTest, TabsAndFormFeedsDoNotMakeAFileBinary) {
    write_bytes(dir.file("a.txt"), "a\tb\fc\r\n\x1a");
    ASSERT_EQ(open_file(ed, dir.file("a.txt")), open_ok);
    EXPECT_FALSE(current_file(ed)->binary);
    EXPECT_TRUE(test_log().messages().empty());
}

TEST_F(FileIoTest, ANulByteMakesTheFileBinary) {
    std::string bytes("ab\0c  \nd", 8);
    write_bytes(dir.file("b.bin"), bytes);
    ASSERT_EQ(open_file(ed, dir.file("b.bin")), open_ok);
    const File& file = *current_file(ed);
    EXPECT_TRUE(file.binary);
    EXPECT_TRUE(file.keep_blanks);
    EXPECT_TRUE(file.lf_only);
    ASSERT_EQ(test_log().messages().size(), 1u);
    EXPECT_EQ(test_log().messages()[0],
              "..... Binary mode (Found x'00') set for file " + dir.file("b.bin"));
    ASSERT_EQ(file.line_count(), 2);
    EXPECT_EQ(file.lines[0].text.length, 6);
}

TEST_F(FileIoTest, AutobinOffReadsControlBytesAsText) {
    ed.settings.autobin = false;
    write_bytes(dir.file("a"), std::string("a\x01  \n", 5));
    ASSERT_EQ(open_file(ed, dir.file("a")), open_ok);
    EXPECT_FALSE(current_file(ed)->binary);
    EXPECT_EQ(line_texts(ed), (Texts{"a\x01"}));
}

TEST_F(FileIoTest, ALonelyCtrlZFileIsEmpty) {
    write_bytes(dir.file("z"), "\x1a");
    ASSERT_EQ(open_file(ed, dir.file("z")), open_ok);
    EXPECT_EQ(current_file(ed)->line_count(), 0);
}

TEST_F(FileIoTest, AnEmptyFileHasNoLinesOrOneWhenTheTopCannotBeCurrent) {
    write_bytes(dir.file("e"), "");
    ASSERT_EQ(open_file(ed, dir.file("e")), open_ok);
    EXPECT_EQ(current_file(ed)->line_count(), 0);
    EXPECT_TRUE(current_file(ed)->lf_only);
    Editor other;
    other.batch_mode = true;
    other.settings.lowest_current_line = 0;
    other.settings.new_file_crlf = true;
    ASSERT_EQ(open_file(other, dir.file("e")), open_ok);
    EXPECT_EQ(line_texts(other), (Texts{""}));
    EXPECT_FALSE(current_file(other)->lf_only);
}

TEST_F(FileIoTest, ASingleLineWithoutLineEndTakesTheNewFileSetting) {
    write_bytes(dir.file("s"), "only");
    ed.settings.new_file_crlf = true;
    ASSERT_EQ(open_file(ed, dir.file("s")), open_ok);
    EXPECT_EQ(line_texts(ed), (Texts{"only"}));
    EXPECT_FALSE(current_file(ed)->lf_only);
}

TEST_F(FileIoTest, LinesLongerThanTheReadBlockArriveWhole) {
    std::string long_line(3u << 20, 'x');
    long_line[12345] = 'y';
    write_bytes(dir.file("l"), "a\n" + long_line + "\nb");
    ASSERT_EQ(open_file(ed, dir.file("l")), open_ok);
    Texts lines = line_texts(ed);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1], long_line);
    EXPECT_EQ(lines[2], "b");
}

TEST_F(FileIoTest, InputTranslationAppliesToEveryByteButLf) {
    ed.settings.input_table['a'] = 'b';
    ed.settings.input_table['x'] = '\n';
    write_bytes(dir.file("t"), "aax\n");
    ASSERT_EQ(open_file(ed, dir.file("t")), open_ok);
    EXPECT_EQ(line_texts(ed), (Texts{"bb\n"}));
}

TEST_F(FileIoTest, OpeningAFileTwiceOnlyMakesItCurrent) {
    write_bytes(dir.file("a"), "1\n");
    write_bytes(dir.file("b"), "2\n");
    ASSERT_EQ(open_file(ed, dir.file("a")), open_ok);
    ASSERT_EQ(open_file(ed, dir.file("b")), open_ok);
    fs::create_symlink(dir.file("a"), dir.file("link"));
    ASSERT_EQ(open_file(ed, dir.file("link")), open_ok);
    EXPECT_EQ(ed.ring.files.size(), 2u);
    EXPECT_EQ(ed.ring.current, 0);
    std::string cwd = fs::current_path().string();
    fs::current_path(dir.path);
    EXPECT_EQ(open_file(ed, "b"), open_ok);
    fs::current_path(cwd);
    EXPECT_EQ(ed.ring.files.size(), 2u);
    EXPECT_EQ(ed.ring.current, 1);
    EXPECT_EQ(ed.last_files.front(), dir.file("b"));
}

TEST_F(FileIoTest, TheLoadHookRunsAfterEachSuccessfulLoadOnly) {
    Texts loaded;
    ed.after_file_loaded = [&](Editor& e) { loaded.push_back(current_file(e)->path); };
    write_bytes(dir.file("a"), "x\n");
    ASSERT_EQ(open_file(ed, dir.file("a")), open_ok);
    ASSERT_EQ(open_file(ed, dir.file("a")), open_ok); // already in the ring
    EXPECT_EQ(open_file(ed, dir.path), open_not_editable);
    EXPECT_EQ(loaded, (Texts{dir.file("a")}));
}

TEST_F(FileIoTest, AMissingFileIsANewEmptyFileAndLeavesNoTrace) {
    ASSERT_EQ(open_file(ed, dir.file("new.txt")), open_ok);
    EXPECT_EQ(current_file(ed)->line_count(), 0);
    EXPECT_FALSE(exists(dir.file("new.txt")));
    EXPECT_TRUE(entries().empty());
    insert_line(ed, -1, "hello", XF_TAG);
    ASSERT_EQ(save_file(ed, false, false), save_ok);
    EXPECT_EQ(read_bytes(dir.file("new.txt")), "hello\n");
    EXPECT_EQ(entries(), (Texts{"new.txt"})); // no backup of a file that did not exist
}

TEST_F(FileIoTest, ADirectoryIsNotEditable) {
    EXPECT_EQ(open_file(ed, dir.path), open_not_editable);
    EXPECT_EQ(test_log().messages(), (Texts{msg(1)}));
    EXPECT_TRUE(ed.ring.files.empty());
}

TEST_F(FileIoTest, AnUnreadableFileGivesMessage153) {
    if (geteuid() == 0) GTEST_SKIP() << "root reads every file";
    write_bytes(dir.file("secret"), "x\n");
    chmod(dir.file("secret").c_str(), 0);
    EXPECT_EQ(open_file(ed, dir.file("secret")), open_read_error);
    EXPECT_EQ(test_log().messages(), (Texts{msg(153)}));
    EXPECT_TRUE(ed.ring.files.empty());
}

TEST_F(FileIoTest, APathThroughAFileCannotBeRead) {
    write_bytes(dir.file("plain"), "x\n");
    EXPECT_EQ(open_file(ed, dir.file("plain/inner")), open_read_error);
    EXPECT_EQ(test_log().messages(), (Texts{msg(153)}));
    EXPECT_TRUE(ed.ring.files.empty());
}

TEST_F(FileIoTest, AFifoIsNotEditable) {
    ASSERT_EQ(mkfifo(dir.file("pipe").c_str(), 0600), 0);
    EXPECT_EQ(open_file(ed, dir.file("pipe")), open_not_editable);
    EXPECT_EQ(test_log().messages(), (Texts{msg(1)}));
    EXPECT_TRUE(ed.ring.files.empty());
}

TEST_F(FileIoTest, SavingOverADirectoryFails) {
    add_file_with(ed, {"x"}).path = dir.file("sub");
    fs::create_directory(dir.file("sub"));
    testing::internal::CaptureStderr();
    EXPECT_EQ(save_file(ed, false, false), save_failed);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "voren: save : error occured while writing\n");
    EXPECT_TRUE(fs::is_directory(dir.file("sub")));
}

TEST_F(FileIoTest, ASymlinkLoopCannotBeRead) {
    fs::create_symlink(dir.file("loop2"), dir.file("loop1"));
    fs::create_symlink(dir.file("loop1"), dir.file("loop2"));
    EXPECT_EQ(open_file(ed, dir.file("loop1")), open_read_error);
    EXPECT_EQ(test_log().messages(), (Texts{msg(153)}));
    EXPECT_TRUE(ed.ring.files.empty());
}

TEST_F(FileIoTest, ANameTooLongGivesMessage2) {
    EXPECT_EQ(open_file(ed, std::string(5000, 'a')), open_name_too_long);
    EXPECT_EQ(test_log().messages(), (Texts{msg(2)}));
}

TEST_F(FileIoTest, LimitRefusesLargerFiles) {
    write_bytes(dir.file("big"), "0123456789\n");
    ed.settings.limit = 10;
    EXPECT_EQ(open_file(ed, dir.file("big")), open_read_error);
    EXPECT_EQ(test_log().messages(), (Texts{msg(176)}));
    ed.settings.limit = 11;
    EXPECT_EQ(open_file(ed, dir.file("big")), open_ok);
}

TEST_F(FileIoTest, TooManyLinesAndTooLongLinesAreRefused) {
    write_bytes(dir.file("f"), "1\n2\n3\n");
    ed.settings.read_max_lines = 2;
    EXPECT_EQ(open_file(ed, dir.file("f")), open_too_many_lines);
    EXPECT_EQ(test_log().messages(), (Texts{"..... More than 2 lines in file."}));
    EXPECT_TRUE(ed.ring.files.empty());
    test_log().clear();
    ed.settings.read_max_lines = max_line_count;
    ed.settings.read_max_line_length = 1;
    EXPECT_EQ(open_file(ed, dir.file("f")), open_ok);
    write_bytes(dir.file("g"), "1\n22\n");
    EXPECT_EQ(open_file(ed, dir.file("g")), open_line_too_long);
    EXPECT_EQ(test_log().messages(), (Texts{"..... Line in file is larger than 1 bytes."}));
    EXPECT_EQ(ed.ring.files.size(), 1u);
    EXPECT_EQ(ed.ring.current, 0);
}

// Round trips -------------------------------------------------------------------

TEST_F(FileIoTest, RoundTripsByteForByte) {
    EXPECT_EQ(round_trip("lf", "a\nb\n\nc\n"), "a\nb\n\nc\n");
    EXPECT_EQ(round_trip("crlf", "a\r\nb\r\n\r\nc\r\n"), "a\r\nb\r\n\r\nc\r\n");
    std::string with_final("\x01\x02\0x  \n\n\xff\n", 10);
    EXPECT_EQ(round_trip("bin1", with_final), with_final);
    std::string without_final("\0\0\0\n\r\nxyz ", 10);
    EXPECT_EQ(round_trip("bin2", without_final), without_final);
    EXPECT_EQ(round_trip("ctrlz", "a\r\nb\r\n\x1a\n"), "a\r\nb\r\n\x1a\n");
    EXPECT_EQ(round_trip("empty", ""), "");
}

TEST_F(FileIoTest, RoundTripRulesForTextFiles) {
    EXPECT_EQ(round_trip("blanks", "abc   \n  \n"), "abc\n\n");
    EXPECT_EQ(round_trip("nofinal", "a\nb"), "a\nb\n");
    EXPECT_EQ(round_trip("lonelyz", "\x1a"), "");
}

TEST_F(FileIoTest, CrLfIsForcedByTheDosForms) {
    write_bytes(dir.file("a"), "x\ny\n");
    ASSERT_EQ(open_file(ed, dir.file("a")), open_ok);
    ASSERT_EQ(save_file(ed, true, false), save_ok);
    EXPECT_EQ(read_bytes(dir.file("a")), "x\r\ny\r\n");
}

TEST_F(FileIoTest, LreclPadsAndCutsOnOutput) {
    write_bytes(dir.file("r"), "ab\nabcdefgh\n");
    ASSERT_EQ(open_file(ed, dir.file("r")), open_ok);
    current_file(ed)->lrecl = 5;
    ASSERT_EQ(save_file(ed, false, false), save_ok);
    EXPECT_EQ(read_bytes(dir.file("r")), "ab   \nabcde\n");
    current_file(ed)->lrecl = 0;
    current_file(ed)->trunc = 3;
    ASSERT_EQ(save_file(ed, false, false), save_ok);
    EXPECT_EQ(read_bytes(dir.file("r")), "ab\nabc\n");
}

TEST_F(FileIoTest, ColumnsWriteTheScreenRangesPaddedWithBlanks) {
    write_bytes(dir.file("c"), "abcdef\nab\n");
    ASSERT_EQ(open_file(ed, dir.file("c")), open_ok);
    current_screen(ed).column_ranges = {{2, 3}, {5, max_line_length}};
    ASSERT_EQ(save_file(ed, false, true), save_ok);
    EXPECT_EQ(read_bytes(dir.file("c")), "bcef\nb \n");
}

TEST_F(FileIoTest, OutputTranslation) {
    write_bytes(dir.file("o"), "abc\n");
    ASSERT_EQ(open_file(ed, dir.file("o")), open_ok);
    ed.settings.output_table['b'] = 'B';
    ASSERT_EQ(save_file(ed, false, false), save_ok);
    EXPECT_EQ(read_bytes(dir.file("o")), "aBc\n");
}

// Saving: backups, links, protection, failures ------------------------------

TEST_F(FileIoTest, SaveKeepsThePreviousVersionAsBackup) {
    write_bytes(dir.file("a.c"), "old\n");
    chmod(dir.file("a.c").c_str(), 0640);
    ASSERT_EQ(open_file(ed, dir.file("a.c")), open_ok);
    start_undo_step(ed);
    replace_line(ed, 0, "new", XF_TAG);
    EXPECT_EQ(current_file(ed)->modification_count, 1);
    ASSERT_EQ(save_file(ed, false, false), save_ok);
    EXPECT_EQ(read_bytes(dir.file("a.c")), "new\n");
    EXPECT_EQ(read_bytes(dir.file("a.c%")), "old\n");
    EXPECT_EQ(entries(), (Texts{"a.c", "a.c%"}));
    EXPECT_EQ(current_file(ed)->modification_count, 0);
    EXPECT_TRUE(current_file(ed)->undo_log.empty());
    struct stat st;
    stat(dir.file("a.c").c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    // A second save replaces the old backup.
    replace_line(ed, 0, "newer", XF_TAG);
    ASSERT_EQ(save_file(ed, false, false), save_ok);
    EXPECT_EQ(read_bytes(dir.file("a.c%")), "new\n");
}

TEST_F(FileIoTest, BackupCharacterAndBackupOff) {
    ed.settings.backup_char = '~';
    write_bytes(dir.file("a"), "1\n");
    ASSERT_EQ(open_file(ed, dir.file("a")), open_ok);
    ASSERT_EQ(save_file(ed, false, false), save_ok);
    EXPECT_TRUE(exists(dir.file("a~")));
    ed.settings.backup = false;
    write_bytes(dir.file("b"), "1\n");
    ASSERT_EQ(open_file(ed, dir.file("b")), open_ok);
    ASSERT_EQ(save_file(ed, false, false), save_ok);
    EXPECT_FALSE(exists(dir.file("b~")));
}

TEST_F(FileIoTest, SaveClearUndoOffKeepsTheUndoLog) {
    ed.settings.save_clear_undo = false;
    write_bytes(dir.file("a"), "1\n");
    ASSERT_EQ(open_file(ed, dir.file("a")), open_ok);
    start_undo_step(ed);
    replace_line(ed, 0, "2", XF_TAG);
    ASSERT_EQ(save_file(ed, false, false), save_ok);
    EXPECT_EQ(undo_steps(ed, 1), 1);
    EXPECT_EQ(line_texts(ed), (Texts{"1"}));
}

TEST_F(FileIoTest, HardLinksKeepSeeingTheNewContents) {
    write_bytes(dir.file("a"), "old\n");
    fs::create_hard_link(dir.file("a"), dir.file("b"));
    ASSERT_EQ(open_file(ed, dir.file("a")), open_ok);
    replace_line(ed, 0, "new", XF_TAG);
    ASSERT_EQ(save_file(ed, false, false), save_ok);
    EXPECT_EQ(read_bytes(dir.file("a")), "new\n");
    EXPECT_EQ(read_bytes(dir.file("b")), "new\n");
    EXPECT_EQ(read_bytes(dir.file("a%")), "old\n");
    EXPECT_EQ(fs::hard_link_count(dir.file("a")), 2u);
}

TEST_F(FileIoTest, PreserveLinksRewritesInPlace) {
    ed.settings.preserve_links = true;
    write_bytes(dir.file("a"), "old line that is long\n");
    ino_t before = fs::status(dir.file("a")).type() == fs::file_type::regular ? 0 : 1;
    struct stat st;
    stat(dir.file("a").c_str(), &st);
    before = st.st_ino;
    ASSERT_EQ(open_file(ed, dir.file("a")), open_ok);
    replace_line(ed, 0, "new", XF_TAG);
    ASSERT_EQ(save_file(ed, false, false), save_ok);
    stat(dir.file("a").c_str(), &st);
    EXPECT_EQ(st.st_ino, before);
    EXPECT_EQ(read_bytes(dir.file("a")), "new\n");
    EXPECT_EQ(read_bytes(dir.file("a%")), "old line that is long\n");
}

TEST_F(FileIoTest, ASymlinkIsWrittenThroughToItsTarget) {
    fs::create_directory(dir.file("real"));
    write_bytes(dir.file("real/t"), "old\n");
    fs::create_symlink("real/t", dir.file("l"));
    ASSERT_EQ(open_file(ed, dir.file("l")), open_ok);
    // The ring holds the resolved name; a link made later is followed too.
    EXPECT_EQ(current_file(ed)->path, dir.file("real/t"));
    current_file(ed)->path = dir.file("l");
    replace_line(ed, 0, "new", XF_TAG);
    ASSERT_EQ(save_file(ed, false, false), save_ok);
    EXPECT_TRUE(fs::is_symlink(dir.file("l")));
    EXPECT_EQ(read_bytes(dir.file("real/t")), "new\n");
    EXPECT_EQ(read_bytes(dir.file("real/t%")), "old\n");
}

TEST_F(FileIoTest, SavingThroughALinkLoopFails) {
    write_bytes(dir.file("a"), "x\n");
    ASSERT_EQ(open_file(ed, dir.file("a")), open_ok);
    fs::create_symlink(dir.file("loop2"), dir.file("loop1"));
    fs::create_symlink(dir.file("loop1"), dir.file("loop2"));
    current_file(ed)->path = dir.file("loop1");
    EXPECT_EQ(save_file(ed, false, false), save_failed);
    EXPECT_EQ(test_log().messages(), (Texts{"file " + dir.file("loop1") + " linked to itself"}));
}

TEST_F(FileIoTest, WriteProtectionIsKeptInBatchMode) {
    write_bytes(dir.file("ro"), "x\n");
    chmod(dir.file("ro").c_str(), 0444);
    ASSERT_EQ(open_file(ed, dir.file("ro")), open_ok);
    replace_line(ed, 0, "y", XF_TAG);
    EXPECT_EQ(save_file(ed, false, false), save_protection_kept);
    EXPECT_EQ(read_bytes(dir.file("ro")), "x\n");
    EXPECT_EQ(current_file(ed)->modification_count, 1);
}

TEST_F(FileIoTest, WriteProtectionIsRemovedWhenTheUserSaysYes) {
    ed.batch_mode = false;
    std::string asked;
    ed.ask_user = [&](Editor&, const std::string& question) {
        asked = question;
        return true;
    };
    write_bytes(dir.file("ro"), "x\n");
    chmod(dir.file("ro").c_str(), 0444);
    ASSERT_EQ(open_file(ed, dir.file("ro")), open_ok);
    replace_line(ed, 0, "y", XF_TAG);
    EXPECT_EQ(save_file(ed, false, false), save_ok);
    EXPECT_EQ(asked, "The file " + dir.file("ro") +
                         " is write-protected.\nDo you want to remove the protection?");
    EXPECT_EQ(read_bytes(dir.file("ro")), "y\n");
}

TEST_F(FileIoTest, AFailedWriteLeavesTheOldFileAndNoTemporary) {
    std::string original(100000, 'o');
    original += "\n";
    write_bytes(dir.file("full"), original);
    ASSERT_EQ(open_file(ed, dir.file("full")), open_ok);
    std::string bigger(300000, 'n');
    replace_line(ed, 0, bigger, XF_TAG);

    platform::ignore_file_size_signal();
    struct rlimit saved;
    getrlimit(RLIMIT_FSIZE, &saved);
    struct rlimit small = saved;
    small.rlim_cur = 200000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    testing::internal::CaptureStderr();
    int result = save_file(ed, false, false);
    std::string err = testing::internal::GetCapturedStderr();
    setrlimit(RLIMIT_FSIZE, &saved);

    EXPECT_EQ(result, save_failed);
    EXPECT_EQ(err, "voren: save : error occured while writing\n");
    EXPECT_EQ(test_log().messages(), (Texts{"File too large"}));
    EXPECT_EQ(read_bytes(dir.file("full")), original);
    EXPECT_EQ(entries(), (Texts{"full"}));
    EXPECT_EQ(current_file(ed)->modification_count, 1);
    // With room again the same save succeeds.
    EXPECT_EQ(save_file(ed, false, false), save_ok);
    EXPECT_EQ(read_bytes(dir.file("full")), bigger + "\n");
}

TEST_F(FileIoTest, AFailedInPlaceWriteKeepsTheBackupCopy) {
    std::string original(100000, 'o');
    write_bytes(dir.file("h"), original + "\n");
    fs::create_hard_link(dir.file("h"), dir.file("h2"));
    ASSERT_EQ(open_file(ed, dir.file("h")), open_ok);
    replace_line(ed, 0, std::string(300000, 'n'), XF_TAG);
    platform::ignore_file_size_signal();
    struct rlimit saved;
    getrlimit(RLIMIT_FSIZE, &saved);
    struct rlimit small = saved;
    small.rlim_cur = 200000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    testing::internal::CaptureStderr();
    int result = save_file(ed, false, false);
    testing::internal::GetCapturedStderr();
    setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_EQ(result, save_failed);
    EXPECT_EQ(read_bytes(dir.file("h%")), original + "\n");
}

TEST_F(FileIoTest, AWritableFileInALockedDirectoryIsRewrittenInPlace) {
    if (geteuid() == 0) GTEST_SKIP() << "root writes into every directory";
    fs::create_directory(dir.file("locked"));
    write_bytes(dir.file("locked/f"), "old\n");
    ASSERT_EQ(open_file(ed, dir.file("locked/f")), open_ok);
    replace_line(ed, 0, "new", XF_TAG);
    chmod(dir.file("locked").c_str(), 0555);
    EXPECT_EQ(save_file(ed, false, false), save_ok);
    chmod(dir.file("locked").c_str(), 0755);
    EXPECT_EQ(read_bytes(dir.file("locked/f")), "new\n");
}

TEST_F(FileIoTest, SavingIntoAMissingDirectoryFails) {
    ASSERT_EQ(open_file(ed, dir.file("nodir/x")), open_ok);
    insert_line(ed, -1, "x", XF_TAG);
    testing::internal::CaptureStderr();
    EXPECT_EQ(save_file(ed, false, false), save_failed);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "voren: save : error occured while writing\n");
}

// Autosave and reload -----------------------------------------------------------

TEST_F(FileIoTest, AutosaveWritesACopyAfterTheCountOfChanges) {
    ed.settings.autosave_every = 2;
    ed.settings.autosave_dir = dir.path;
    write_bytes(dir.file("a.c"), "x\r\n");
    ASSERT_EQ(open_file(ed, dir.file("a.c")), open_ok);
    std::string name = autosave_name(ed, *current_file(ed));
    std::string where = dir.path;
    std::replace(where.begin(), where.end(), '/', '_');
    EXPECT_EQ(name, dir.path + "/autosave" + std::to_string(getpid()) + where + "_a.c_");
    for (int turn = 0; turn < 2; ++turn) {
        current_file(ed)->modification_count_at_turn_start = current_file(ed)->modification_count;
        start_undo_step(ed);
        replace_line(ed, 0, "turn" + std::to_string(turn), XF_TAG);
        autosave_accounting(ed);
        EXPECT_EQ(exists(name), turn == 1);
    }
    EXPECT_EQ(read_bytes(name), "turn1\n");
    EXPECT_EQ(test_log().messages().back(), "..... Autosaved as " + name);
    EXPECT_EQ(current_file(ed)->autosave_count, 0);
}

TEST_F(FileIoTest, AutosaveIntoAMissingDirectoryReportsIt) {
    ed.settings.autosave_dir = dir.file("none");
    add_file_with(ed, {"x"}).path = dir.file("a");
    EXPECT_FALSE(autosave(ed, 0));
    EXPECT_EQ(test_log().messages()[0].rfind("..... Unable to open " + dir.file("none"), 0), 0u);
}

TEST_F(FileIoTest, ReloadTakesANewerUnmodifiedFile) {
    write_bytes(dir.file("w"), "one\ntwo\nthree\n");
    ASSERT_EQ(open_file(ed, dir.file("w")), open_ok);
    set_current_line(ed, 2);
    EXPECT_FALSE(reload_check(ed, 0, false));
    write_bytes(dir.file("w"), "uno\ndos\n");
    current_file(ed)->disk_mtime_ns -= 1000000000;
    EXPECT_TRUE(reload_check(ed, 0, false));
    EXPECT_EQ(line_texts(ed), (Texts{"uno", "dos"}));
    EXPECT_EQ(current_line(ed), 1);
    EXPECT_EQ(read_bytes(dir.file("w%")), "one\ntwo\nthree\n");
    EXPECT_EQ(test_log().messages().back(),
              ".... Warning: reloaded \"" + dir.file("w") +
                  "\" file; previous version saved in backup format.");
}

TEST_F(FileIoTest, ReloadOfAModifiedFileNeedsAYes) {
    write_bytes(dir.file("w"), "one\n");
    ASSERT_EQ(open_file(ed, dir.file("w")), open_ok);
    replace_line(ed, 0, "mine", XF_TAG);
    write_bytes(dir.file("w"), "theirs\n");
    current_file(ed)->disk_mtime_ns -= 1000000000;
    EXPECT_FALSE(reload_check(ed, 0, false)); // batch mode answers no
    EXPECT_EQ(line_texts(ed), (Texts{"mine"}));
    ed.batch_mode = false;
    ed.ask_user = [](Editor&, const std::string&) { return true; };
    EXPECT_TRUE(reload_check(ed, 0, false));
    EXPECT_EQ(line_texts(ed), (Texts{"theirs"}));
    EXPECT_EQ(read_bytes(dir.file("w%")), "mine\n");
    EXPECT_EQ(current_file(ed)->modification_count, 0);
}

TEST_F(FileIoTest, ALargeFileSharesOneTextBlockUntilItsLastLineGoes) {
    std::string bytes;
    for (int i = 0; i < 10000; ++i)
        bytes += "line number " + std::to_string(i) + "   \r\n";
    write_bytes(dir.file("big"), bytes);
    size_t before = live_text_blocks();
    ASSERT_EQ(open_file(ed, dir.file("big")), open_ok);
    EXPECT_EQ(live_text_blocks(), before + 1);
    File& file = *current_file(ed);
    EXPECT_TRUE(file.lines[5].text.in_block);
    EXPECT_EQ(file.lines[9999].text.view(), "line number 9999");
    EXPECT_STREQ(file.lines[3].text.c_str(), "line number 3");
    file.lrecl = 4;
    replace_line(ed, 1, "replaced text", XF_TAG);
    EXPECT_EQ(file.lines[1].text.view(), "repl");
    file.lines[2].text.cut(2);
    EXPECT_EQ(file.lines[2].text.view(), "li");
    LineText kept = std::move(file.lines[7].text);
    remove_current_file(ed);
    EXPECT_EQ(live_text_blocks(), before + 1); // `kept` still lives in it
    EXPECT_EQ(kept.view(), "line number 7");
    kept = LineText("own");
    EXPECT_EQ(live_text_blocks(), before);
}

} // namespace
} // namespace voren
