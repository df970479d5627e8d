// Lines appended are kept by the stream and written together; reads go
// through a read-ahead block. Neither may hide a change made by another
// program, lose a line, or show stale bytes.
#include <fstream>

#include "harness.h"
#include "platform/environment.h"

namespace tolma::test {

TEST(KeptLines, WrittenAtSyncAndStillReadable) {
    Io t;
    std::string f = t.path("k.txt");
    EXPECT_EQ(t("LINEOUT", {f, "one"}), "0");
    EXPECT_EQ(t("LINEOUT", {f, "two"}), "0");
    // Kept, not yet in the file ...
    EXPECT_EQ(t.scratch.read("k.txt"), "");
    // ... but the stream knows them: reading them back writes them first.
    EXPECT_EQ(t("LINEIN", {f, "2"}), "two");
    EXPECT_EQ(t.scratch.read("k.txt"), "one\ntwo\n");
    EXPECT_EQ(t("LINEOUT", {f, "three"}), "0");
    EXPECT_EQ(t.read("k.txt"), "one\ntwo\nthree\n");
}

TEST(KeptLines, WrittenWhenTheyFillTheBlock) {
    Io t;
    std::string f = t.path("big.txt");
    std::string line(99, 'x');
    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ(t("LINEOUT", {f, line}), "0");
    // 100,000 bytes: at least one block of 64 KiB is on disk already.
    size_t on_disk = t.scratch.read("big.txt").size();
    EXPECT_GE(on_disk, 65536u);
    EXPECT_EQ(on_disk % 100, 0u);
    EXPECT_EQ(t.read("big.txt").size(), 100000u);
}

TEST(KeptLines, StateSizeAndCharsCountThem) {
    Io t;
    std::string f = t.path("s.txt");
    EXPECT_EQ(t("LINEOUT", {f, "abc"}), "0");
    EXPECT_EQ(t("STATE", {f, "S"}), "4");
    EXPECT_EQ(t("LINEOUT", {f, "de"}), "0");
    EXPECT_EQ(t("CHARIN", {f, "1", "7"}), "abc\nde\n");
}

TEST(KeptLines, CloseStreamsWritesThem) {
    Io t;
    std::string f = t.path("c.txt");
    EXPECT_EQ(t("LINEOUT", {f, "last words"}), "0");
    close_streams(t.in);
    EXPECT_EQ(t.scratch.read("c.txt"), "last words\n");
    EXPECT_EQ(t.err, "");
}

TEST(KeptLines, DestroyedTableWritesThem) {
    ScratchDir dir;
    {
        Io t;
        EXPECT_EQ(t("LINEOUT", {dir.path("d.txt"), "kept"}), "0");
    }
    EXPECT_EQ(dir.read("d.txt"), "kept\n");
}

TEST(KeptLines, FileGrownByAnotherProgramLosesNothing) {
    Io t;
    t.scratch.write("g.txt", "1\n");
    std::string f = t.path("g.txt");
    EXPECT_EQ(t("LINEOUT", {f, "mine"}), "0");
    {
        std::ofstream more(f, std::ios::app | std::ios::binary);
        more << "theirs\n";
    }
    // The change is noticed: the kept line goes after the other program's
    // line and the file is scanned again.
    EXPECT_EQ(t("LINES", {f}), "0");
    EXPECT_EQ(t.read("g.txt"), "1\ntheirs\nmine\n");
    EXPECT_EQ(t("LINEIN", {f, "3"}), "mine");
}

TEST(KeptLines, FileReplacedKeepsThemInTheOldFile) {
    Io t;
    std::string f = t.path("r.txt");
    EXPECT_EQ(t("LINEOUT", {f, "old"}), "0");
    // Another program moves the file away and puts a new one in its place.
    std::filesystem::rename(f, t.path("moved.txt"));
    t.scratch.write("r.txt", "new\n");
    EXPECT_EQ(t("LINEOUT", {f, "next"}), "0");
    EXPECT_EQ(t.read("moved.txt"), "old\n");
    EXPECT_EQ(t.read("r.txt"), "new\nnext\n");
}

TEST(ReadAhead, SameSizeRewriteIsNotServedFromTheBlock) {
    Io t;
    t.scratch.write("a.txt", "aaa\nbbb\nccc\n");
    std::string f = t.path("a.txt");
    EXPECT_EQ(t("LINEIN", {f}), "aaa");
    {
        // Same length, other bytes, written in place.
        std::fstream same(f, std::ios::in | std::ios::out | std::ios::binary);
        same << "xxx\nyyy\nzzz\n";
    }
    EXPECT_EQ(t("LINEIN", {f, "2"}), "yyy");
    EXPECT_EQ(t("LINEIN", {f}), "zzz");
}

TEST(ReadAhead, LinesLongerThanTheBlockAndWritesInside) {
    Io t;
    std::string longline(200000, 'q');
    t.scratch.write("l.txt", "short\n" + longline + "\nend\n");
    std::string f = t.path("l.txt");
    EXPECT_EQ(t("LINEIN", {f}), "short");
    EXPECT_EQ(t("LINEIN", {f}), longline);
    EXPECT_EQ(t("LINEIN", {f}), "end");
    // A line replaced through the stream is read back, not the old block.
    EXPECT_EQ(t("LINEOUT", {f, "END", "3"}), "0");
    EXPECT_EQ(t("LINEIN", {f, "3"}), "END");
    EXPECT_EQ(t("LINEOUT", {f, "S", "1"}), "0");
    EXPECT_EQ(t("LINEIN", {f, "1"}), "S");
    EXPECT_EQ(t("LINEIN", {f}), longline);
}

TEST(ReadAhead, ManyLinesReadInOrderAcrossBlocks) {
    Io t;
    std::string text;
    for (int i = 1; i <= 20000; ++i)
        text += "line " + std::to_string(i) + "\n";
    t.scratch.write("m.txt", text);
    std::string f = t.path("m.txt");
    for (int i = 1; i <= 20000; ++i)
        ASSERT_EQ(t("LINEIN", {f}), "line " + std::to_string(i)) << i;
    EXPECT_EQ(t("LINES", {f}), "0");
}

TEST(Notices, WriteThroughOneStreamIsNoticedByTheOtherOnTheSameFile) {
    Io t;
    t.scratch.write("s.txt", "1\n2\n");
    std::string f = t.path("s.txt");
    EXPECT_EQ(t("LINEIN", {f}), "1");
    std::string saved = std::filesystem::current_path().string();
    ASSERT_EQ(voren::platform::change_directory(t.scratch.dir.string()), 0);
    // Another entry for the same file; a line written inside it through this one.
    EXPECT_EQ(t("LINEOUT", {"s.txt", "two", "2"}), "0");
    ASSERT_EQ(voren::platform::change_directory(saved), 0);
    ASSERT_EQ(stream_table(t.in).streams.size(), 2u);
    // The first entry sees the change: scanned again, positioned at the end.
    EXPECT_EQ(t("LINES", {f}), "0");
    EXPECT_EQ(t("LINEIN", {f, "2"}), "two");
}

TEST(Notices, ManyChangesBetweenUsesAreOneRescan) {
    Io t;
    t.scratch.write("n.txt", "a\n");
    std::string f = t.path("n.txt");
    EXPECT_EQ(t("LINEIN", {f}), "a");
    for (int i = 0; i < 2000; ++i) {
        std::ofstream more(f, std::ios::app | std::ios::binary);
        more << "x\n";
    }
    EXPECT_EQ(t("LINES", {f}), "0");
    EXPECT_EQ(t("LINEIN", {f, "2001"}), "x");
    EXPECT_EQ(t("LINES", {f}), "0");
}

TEST(Devices, WrittenAtOnceAndNeverScannedForever) {
    Io t;
    // Reading /dev/zero to index its lines would never end.
    EXPECT_EQ(t("LINES", {"/dev/zero"}), "0");
    EXPECT_EQ(t("LINEIN", {"/dev/zero"}), "");
    // A device's lines are not kept: the failure shows at the call.
    EXPECT_EQ(t.msg("LINEOUT", {"/dev/full", "x"}),
              "LINEOUT: unable to write in file \"/dev/full\": No space left on device");
    EXPECT_EQ(t("LINEOUT", {"/dev/null", "y"}), "0");
    EXPECT_TRUE(close_streams(t.in));
}

} // namespace tolma::test
