// The scan that builds a file's line index reads it in blocks: line ends on
// a block's last byte, lines across blocks, files without a last line end,
// and sizes around the first block's size all give the index of the bytes.
// Also the ways a stream is found again by its name, and lines read in
// place.
#include "harness.h"
#include "platform/environment.h"

namespace tolma::test {

namespace {

std::vector<int64_t> starts_of(const std::string& text) {
    std::vector<int64_t> v;
    for (size_t i = 0; i < text.size(); ++i)
        if (i == 0 || text[i - 1] == '\n') v.push_back(static_cast<int64_t>(i));
    return v;
}

// Scans text as a file and checks the index against the bytes.
void expect_scanned(const std::string& text, const std::string& what) {
    Io t;
    t.scratch.write("s.txt", text);
    std::string msg;
    Stream* s = open_stream(t.in, t.path("s.txt"), "TEST", false, msg);
    ASSERT_NE(s, nullptr) << msg;
    EXPECT_EQ(s->size, static_cast<int64_t>(text.size())) << what;
    EXPECT_EQ(s->starts, starts_of(text)) << what;
    EXPECT_EQ(s->ends_with_newline, text.empty() || text.back() == '\n') << what;
}

} // namespace

TEST(Scan, SmallFiles) {
    expect_scanned("", "empty");
    expect_scanned("\n", "one empty line");
    expect_scanned("\n\n", "two empty lines");
    expect_scanned("a", "no line end");
    expect_scanned("a\nb", "last line without its end");
    expect_scanned("a\r\nb\r\n", "CR LF");
}

TEST(Scan, SizesAroundTheFirstBlock) {
    for (size_t n : {4094u, 4095u, 4096u, 4097u, 4098u, 8191u, 8192u, 8193u}) {
        // Line ends at the last bytes and one just past the block.
        std::string text(n, 'x');
        text[n - 1] = '\n';
        if (n > 2) text[n - 2] = '\n';
        expect_scanned(text, "size " + std::to_string(n));
        text.back() = 'y';
        expect_scanned(text, "size " + std::to_string(n) + " without its end");
    }
}

TEST(Scan, LineEndsOnBlockBoundariesOfALargeFile) {
    const size_t block = 1 << 20;
    std::string text(3 * block + 10, 'q');
    // Line ends on the last byte of the first block, the first byte of the
    // second, and a line running across the second boundary.
    text[block - 1] = '\n';
    text[block] = '\n';
    text[2 * block - 5] = '\n';
    text[2 * block + 5] = '\n';
    text[3 * block - 1] = '\n';
    for (size_t i = 100; i < block - 100; i += 4099)
        text[i] = '\n';
    expect_scanned(text, "three blocks");
    text.back() = '\n';
    expect_scanned(text, "three blocks ending a line");
}

TEST(Scan, FileRescannedAfterItGrewIsIndexedWhole) {
    Io t;
    t.scratch.write("g.txt", "a\n");
    std::string f = t.path("g.txt");
    EXPECT_EQ(t("LINES", {f}), "1");
    // Grown far past the size the first scan saw.
    std::string more;
    for (int i = 0; i < 5000; ++i)
        more += "line " + std::to_string(i) + "\n";
    t.scratch.write("g.txt", "a\n" + more);
    EXPECT_EQ(t("LINEIN", {f, "5001"}), "line 4999");
    std::string msg;
    Stream* s = open_stream(t.in, f, "TEST", false, msg);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->starts, starts_of("a\n" + more));
}

TEST(StreamByName, SameNameUnderTwoDirectoriesIsTwoStreams) {
    Io t;
    ScratchDir other;
    t.scratch.write("n.txt", "here 1\nhere 2\n");
    other.write("n.txt", "there 1\nthere 2\n");
    std::string saved = std::filesystem::current_path().string();
    ASSERT_EQ(voren::platform::change_directory(t.scratch.dir.string()), 0);
    EXPECT_EQ(t("LINEIN", {"n.txt"}), "here 1");
    ASSERT_EQ(voren::platform::change_directory(other.dir.string()), 0);
    EXPECT_EQ(t("LINEIN", {"n.txt"}), "there 1");
    ASSERT_EQ(voren::platform::change_directory(t.scratch.dir.string()), 0);
    EXPECT_EQ(t("LINEIN", {"n.txt"}), "here 2");
    ASSERT_EQ(voren::platform::change_directory(other.dir.string()), 0);
    EXPECT_EQ(t("LINEIN", {"n.txt"}), "there 2");
    ASSERT_EQ(voren::platform::change_directory(saved), 0);
    EXPECT_EQ(stream_table(t.in).streams.size(), 2u);
}

TEST(StreamByName, OtherSpellingOfTheSamePathIsTheSameStream) {
    Io t;
    t.scratch.write("p.txt", "1\n2\n3\n");
    std::string f = t.path("p.txt");
    std::string again = t.scratch.dir.string() + "/./p.txt";
    EXPECT_EQ(t("LINEIN", {f}), "1");
    EXPECT_EQ(t("LINEIN", {again}), "2");
    EXPECT_EQ(t("LINEIN", {f}), "3");
    EXPECT_EQ(stream_table(t.in).streams.size(), 1u);
}

TEST(StreamByName, AlternatingStreamsStillSeeChanges) {
    Io t;
    t.scratch.write("in.txt", "1\n2\n3\n");
    std::string f = t.path("in.txt"), g = t.path("out.txt");
    EXPECT_EQ(t("LINEIN", {f}), "1");
    EXPECT_EQ(t("LINEOUT", {g, "1"}), "0");
    EXPECT_EQ(t("LINES", {f}), "2");
    EXPECT_EQ(t("LINEOUT", {g, "2"}), "0");
    // Another program adds to the file read: the next call on it rescans.
    {
        std::ofstream more(f, std::ios::app | std::ios::binary);
        more << "4\n";
    }
    EXPECT_EQ(t("LINES", {f}), "0");
    EXPECT_EQ(t("LINEIN", {f, "4"}), "4");
    // ... and the file written, removed under the program, is made again.
    std::filesystem::remove(g);
    EXPECT_EQ(t("LINEOUT", {g, "3"}), "0");
    EXPECT_EQ(t.read("out.txt"), "3\n");
    // A reader's name opened by a writer is opened again for writing.
    EXPECT_EQ(t("LINEOUT", {f, "5"}), "0");
    EXPECT_EQ(t.read("in.txt"), "1\n2\n3\n4\n5\n");
    EXPECT_EQ(stream_table(t.in).streams.size(), 2u);
}

TEST(StreamByName, ClosedStreamIsOpenedAgain) {
    Io t;
    t.scratch.write("c.txt", "one\ntwo\n");
    std::string f = t.path("c.txt");
    EXPECT_EQ(t("LINEIN", {f}), "one");
    std::string msg;
    Stream* s = open_stream(t.in, f, "TEST", false, msg);
    ASSERT_NE(s, nullptr);
    close_stream(t.in, s);
    EXPECT_TRUE(stream_table(t.in).streams.empty());
    // A fresh stream: from the first line again.
    EXPECT_EQ(t("LINEIN", {f}), "one");
    EXPECT_EQ(t("LINES", {f}), "1");
}

TEST(LinesInPlace, LineEndsRemovedByMode) {
    Io t;
    t.scratch.write("w.txt", "a\r\n\r\nb\rc\r\nlast\r");
    std::string f = t.path("w.txt");
    EXPECT_EQ(t("LINEIN", {f}), "a\r");
    EXPECT_EQ(t("FILECONV", {"WINDOWS"}), "UNIX");
    EXPECT_EQ(t("LINEIN", {f}), "");
    EXPECT_EQ(t("LINEIN", {f}), "b\rc");
    // The last line has no line end: its CR stays.
    EXPECT_EQ(t("LINEIN", {f}), "last\r");
    EXPECT_EQ(t("LINEIN", {f, "1"}), "a");
    EXPECT_EQ(t("LINES", {f}), "3");
}

TEST(LinesInPlace, LongAndEmptyLinesAcrossTheReadAhead) {
    Io t;
    std::string text, long_line(70000, 'L');
    std::vector<std::string> lines;
    for (int i = 0; i < 300; ++i) {
        std::string l = i % 50 == 7  ? long_line + std::to_string(i)
                        : i % 3 == 0 ? std::string()
                                     : "line " + std::to_string(i) + std::string(i % 40, ' ');
        lines.push_back(l);
        text += l + "\n";
    }
    t.scratch.write("r.txt", text);
    std::string f = t.path("r.txt");
    for (size_t i = 0; i < lines.size(); ++i)
        ASSERT_EQ(t("LINEIN", {f}), lines[i]) << i;
    EXPECT_EQ(t("LINES", {f}), "0");
    EXPECT_EQ(t("LINEIN", {f}), "");
}

TEST(AppendedLines, PositionAfterEachLine) {
    Io t;
    std::string f = t.path("a.txt");
    for (int i = 1; i <= 50; ++i)
        ASSERT_EQ(t("LINEOUT", {f, std::string(static_cast<size_t>(i), 'z')}), "0");
    // The position is after the last line: nothing is left to read.
    EXPECT_EQ(t("LINES", {f}), "0");
    EXPECT_EQ(t("LINEIN", {f, "50"}), std::string(50, 'z'));
    // An empty line appended is a line too.
    EXPECT_EQ(t("LINEOUT", {f, ""}), "0");
    EXPECT_EQ(t("LINEIN", {f, "51"}), "");
    EXPECT_EQ(t("LINES", {f}), "0");
    EXPECT_EQ(t.read("a.txt").size(), 50u * 51u / 2u + 51u);
}

TEST(AppendedLines, TextHoldingLineEndsMovesPastAllOfIt) {
    Io t;
    std::string f = t.path("e.txt");
    EXPECT_EQ(t("LINEOUT", {f, "first"}), "0");
    EXPECT_EQ(t("LINEOUT", {f, "x\ny"}), "0");
    // Three lines now; the position is after "y", so the next line written
    // is added rather than replacing "y".
    std::string msg;
    Stream* s = open_stream(t.in, f, "TEST", false, msg);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->line_count(), 3);
    EXPECT_EQ(s->line, 3);
    EXPECT_EQ(t("LINEOUT", {f, "z"}), "0");
    // Written inside the file: the position goes past both lines the text made.
    EXPECT_EQ(t("LINEOUT", {f, "a\nb", "1"}), "0");
    EXPECT_EQ(t("LINEIN", {f}), "x");
    EXPECT_EQ(t("LINEOUT", {f}), "0");
    EXPECT_EQ(t.read("e.txt"), "a\nb\nx\ny\nz\n");
    // After a last line without its end, an appended line starts a new line.
    t.scratch.write("n.txt", "open");
    std::string g = t.path("n.txt");
    EXPECT_EQ(t("LINEOUT", {g, "next"}), "0");
    EXPECT_EQ(t("LINES", {g}), "0");
    EXPECT_EQ(t.read("n.txt"), "open\nnext\n");
}

} // namespace tolma::test
