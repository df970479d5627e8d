// LINEIN, LINEOUT, LINELAST, LINES, CHARIN, CHAROUT, CHARS, STREAM, FILECONV
// and the console names, on files in a scratch directory.
#include <sys/stat.h>
#include <unistd.h>

#include "harness.h"
#include "platform/environment.h"
#include "rexx/lib/stack.h"

namespace tolma::test {

namespace {

bool running_as_root() {
    return geteuid() == 0;
}

} // namespace

TEST(LineIn, ReadsLinesInOrderThenEmpty) {
    Io t;
    t.scratch.write("a.txt", "one\ntwo\nthree");
    std::string f = t.path("a.txt");
    EXPECT_EQ(t("LINES", {f}), "3");
    EXPECT_EQ(t("LINEIN", {f}), "one");
    EXPECT_EQ(t("LINES", {f}), "2");
    EXPECT_EQ(t("LINEIN", {f}), "two");
    EXPECT_EQ(t("LINEIN", {f}), "three");
    EXPECT_EQ(t("LINES", {f}), "0");
    EXPECT_EQ(t("LINEIN", {f}), "");
    EXPECT_EQ(t("LINEIN", {f}), "");
}

TEST(LineIn, GivenLineAndCountZero) {
    Io t;
    t.scratch.write("a.txt", "one\ntwo\nthree\n");
    std::string f = t.path("a.txt");
    EXPECT_EQ(t("LINEIN", {f, "3"}), "three");
    EXPECT_EQ(t("LINEIN", {f, "1"}), "one");
    EXPECT_EQ(t("LINEIN", {f}), "two");
    // Count 0 only positions.
    EXPECT_EQ(t("LINEIN", {f, "1", "0"}), "");
    EXPECT_EQ(t("LINES", {f}), "3");
    EXPECT_EQ(t("LINEIN", {f}), "one");
}

TEST(LineIn, StartBeyondLastLineIsNotReady) {
    Io t;
    t.scratch.write("two.txt", "a\nb\n");
    std::string f = t.path("two.txt");
    EXPECT_EQ(t.msg("LINEIN", {f, "3"}), "LINEIN(): invalid start position for file \"" + f + "\"");
    // The failed call left the position alone.
    EXPECT_EQ(t("LINEIN", {f}), "a");
}

TEST(LineIn, ArgumentMessages) {
    Io t;
    t.scratch.write("a.txt", "x\n");
    std::string f = t.path("a.txt");
    EXPECT_EQ(t.msg("LINEIN", {f, "1", "1", "1"}), "LINEIN(): up to 3 arguments.");
    EXPECT_EQ(t.msg("LINEIN", {f, "x"}), "LINEIN(): argument 2 must be a whole number.");
    EXPECT_EQ(t.msg("LINEIN", {f, "1.5"}), "LINEIN(): argument 2 must be a whole number.");
    EXPECT_EQ(t.msg("LINEIN", {f, "0"}),
              "LINEIN(): argument 2 must be a strictly positive integer.");
    EXPECT_EQ(t.msg("LINEIN", {omitted, "1"}),
              "LINEIN(): no start value may be given for \"stdin\".");
    EXPECT_EQ(t.msg("LINEIN", {f, "1", "y"}), "LINEIN(): argument 3 must be a whole number.");
    EXPECT_EQ(t.msg("LINEIN", {f, "1", "2"}), "LINEIN(): argument 3 must be \"0\" or \"1\".");
}

TEST(LineIn, ConsoleLines) {
    Io t;
    t.console = {"typed line\r", "second"};
    EXPECT_EQ(t("LINEIN", {}), "typed line");
    EXPECT_EQ(t("LINEIN", {"stdin"}), "second");
    EXPECT_EQ(t("LINEIN", {}), "");
}

TEST(LineOut, CreatesAndAppends) {
    Io t;
    std::string f = t.path("new.txt");
    EXPECT_EQ(t("LINEOUT", {f, "first"}), "0");
    EXPECT_EQ(t("LINEOUT", {f, "second"}), "0");
    EXPECT_EQ(t.read("new.txt"), "first\nsecond\n");
    EXPECT_EQ(t("LINES", {f}), "0");
}

TEST(LineOut, ExistingFileIsAppendedTo) {
    Io t;
    t.scratch.write("a.txt", "one\ntwo\n");
    std::string f = t.path("a.txt");
    EXPECT_EQ(t("LINEOUT", {f, "three"}), "0");
    EXPECT_EQ(t.read("a.txt"), "one\ntwo\nthree\n");
}

TEST(LineOut, LastLineWithoutLineEndKeepsItsOwnLine) {
    Io t;
    t.scratch.write("a.txt", "one\ntwo");
    std::string f = t.path("a.txt");
    EXPECT_EQ(t("LINEOUT", {f, "three"}), "0");
    EXPECT_EQ(t.read("a.txt"), "one\ntwo\nthree\n");
}

TEST(LineOut, ShorterLineInsideShrinksFile) {
    Io t;
    t.scratch.write("a.txt", "line one\nlong second line\nline three\n");
    std::string f = t.path("a.txt");
    EXPECT_EQ(t("LINEOUT", {f, "abc", "2"}), "0");
    EXPECT_EQ(t.read("a.txt"), "line one\nabc\nline three\n");
    // The position is after the line written: LINEIN reads line 3.
    EXPECT_EQ(t("LINEIN", {f}), "line three");
    EXPECT_EQ(t("LINEIN", {f, "2"}), "abc");
}

TEST(LineOut, LongerLineInsideMovesTheRest) {
    Io t;
    t.scratch.write("a.txt", "1\n2\n3\n4\n");
    std::string f = t.path("a.txt");
    EXPECT_EQ(t("LINEOUT", {f, "a much longer second line", "2"}), "0");
    EXPECT_EQ(t("LINEOUT", {f, "x"}), "0"); // replaces line 3
    EXPECT_EQ(t.read("a.txt"), "1\na much longer second line\nx\n4\n");
    EXPECT_EQ(t("LINEIN", {f, "4"}), "4");
    EXPECT_EQ(t("LINES", {f}), "0");
    EXPECT_EQ(t("LINEOUT", {f, "5", "5"}), "0");
    EXPECT_EQ(t.read("a.txt"), "1\na much longer second line\nx\n4\n5\n");
}

TEST(LineOut, LargeFileRewriteKeepsEveryByte) {
    Io t;
    std::string content;
    for (int i = 1; i <= 30000; ++i)
        content += "line number " + std::to_string(i) + " with some padding text\n";
    t.scratch.write("big.txt", content);
    std::string f = t.path("big.txt");
    EXPECT_EQ(t("LINEOUT", {f, std::string(3000, 'z'), "2"}), "0");
    std::string expect = content;
    size_t b = expect.find('\n') + 1, e = expect.find('\n', b);
    expect.replace(b, e - b, std::string(3000, 'z'));
    EXPECT_EQ(t.read("big.txt"), expect);
    EXPECT_EQ(t("LINEIN", {f, "30000"}), "line number 30000 with some padding text");
    EXPECT_EQ(t("LINEOUT", {f, "", "2"}), "0");
    expect.replace(b, 3000, "");
    EXPECT_EQ(t.read("big.txt"), expect);
    EXPECT_EQ(t("LINEIN", {f, "29999"}), "line number 29999 with some padding text");
}

TEST(LineOut, PositionArgumentAndMessages) {
    Io t;
    t.scratch.write("a.txt", "a\nb\n");
    std::string f = t.path("a.txt");
    EXPECT_EQ(t.msg("LINEOUT", {f, "x", "4"}),
              "LINEOUT(): invalid start position for file \"" + f + "\"");
    EXPECT_EQ(t.msg("LINEOUT", {f, "x", "q"}), "LINEOUT(): argument 3 must be a whole number.");
    EXPECT_EQ(t.msg("LINEOUT", {f, "x", "1", "2"}), "LINEOUT(): up to 3 arguments.");
    // Without a string the line only positions.
    EXPECT_EQ(t("LINEOUT", {f, omitted, "1"}), "0");
    EXPECT_EQ(t("LINEOUT", {f, "A"}), "0");
    EXPECT_EQ(t.read("a.txt"), "A\nb\n");
}

TEST(LineOut, ConsoleGoesToTheSinks) {
    Io t;
    EXPECT_EQ(t("LINEOUT", {omitted, "hello"}), "0");
    EXPECT_EQ(t("LINEOUT", {"STDOUT", "again"}), "0");
    EXPECT_EQ(t("LINEOUT", {"stderr", "oops"}), "0");
    EXPECT_EQ(t.out, "hello\nagain\n");
    EXPECT_EQ(t.err, "oops\n");
}

TEST(LineOut, WindowsLineEnds) {
    Io t;
    EXPECT_EQ(t("FILECONV", {}), "UNIX");
    EXPECT_EQ(t("FILECONV", {"Windows"}), "UNIX");
    std::string f = t.path("w.txt");
    EXPECT_EQ(t("LINEOUT", {f, "one"}), "0");
    EXPECT_EQ(t("LINEOUT", {f, "two"}), "0");
    EXPECT_EQ(t.read("w.txt"), "one\r\ntwo\r\n");
    EXPECT_EQ(t("LINEIN", {f, "1"}), "one");
    EXPECT_EQ(t("FILECONV", {"unix"}), "WINDOWS");
    EXPECT_EQ(t("LINEIN", {f, "2"}), "two\r");
    EXPECT_EQ(t("LINEOUT", {f, "three"}), "0");
    EXPECT_EQ(t.read("w.txt"), "one\r\ntwo\r\nthree\n");
    CallResult r = t.call("FILECONV", {"dos"});
    EXPECT_EQ(r.error.code, 40);
    EXPECT_EQ(r.error.detail, "FILECONV() usage: FILECONV(Unix|Windows)");
}

TEST(LineLast, TheLineWrittenEndsTheFile) {
    Io t;
    t.scratch.write("a.txt", "1\n2\n3\n4\n");
    std::string f = t.path("a.txt");
    EXPECT_EQ(t("LINELAST", {f, "two", "2"}), "0");
    EXPECT_EQ(t.read("a.txt"), "1\ntwo\n");
    // LINEOUT afterwards replaces or appends as usual.
    EXPECT_EQ(t("LINEOUT", {f, "one", "1"}), "0");
    EXPECT_EQ(t.read("a.txt"), "one\ntwo\n");
}

TEST(Chars, CharInCharOutAndChars) {
    Io t;
    t.scratch.write("c.txt", "abcdef\nxyz\n");
    std::string f = t.path("c.txt");
    EXPECT_EQ(t("CHARS", {f}), "11");
    EXPECT_EQ(t("CHARIN", {f}), "a");
    EXPECT_EQ(t("CHARIN", {f, omitted, "3"}), "bcd");
    EXPECT_EQ(t("CHARS", {f}), "7");
    EXPECT_EQ(t("CHARIN", {f, "8", "3"}), "xyz");
    EXPECT_EQ(t("CHARIN", {f, omitted, "10"}), "\n");
    EXPECT_EQ(t("CHARIN", {f}), "");
    EXPECT_EQ(t("CHARIN", {f, "2", "0"}), "");
    EXPECT_EQ(t("CHARIN", {f}), "b");
    EXPECT_EQ(t.msg("CHARIN", {f, "13"}),
              "CHARIN(): invalid start position for file \"" + f + "\"");
    EXPECT_EQ(t.msg("CHARIN", {f, "1", "1", "1"}), "CHARIN(): up to 3 arguments.");
    EXPECT_EQ(t.msg("CHARIN", {f, "0"}),
              "CHARIN(): argument 2 must be a strictly positive integer.");
    EXPECT_EQ(t.msg("CHARIN", {f, "1", "-1"}), "CHARIN(): argument 3 must be a positive integer.");
    EXPECT_EQ(t.msg("CHARS", {f, "1"}), "CHARS(): 1 argument allowed.");
    EXPECT_EQ(t.msg("LINES", {f, "1"}), "LINES(): 1 argument allowed.");
}

TEST(Chars, CharOutOverwritesAndExtends) {
    Io t;
    t.scratch.write("c.txt", "abc\ndef\n");
    std::string f = t.path("c.txt");
    EXPECT_EQ(t("CHAROUT", {f, "XY", "2"}), "0");
    EXPECT_EQ(t.read("c.txt"), "aXY\ndef\n");
    EXPECT_EQ(t("CHAROUT", {f, "Z\nnew"}), "0"); // continues at byte 4
    EXPECT_EQ(t.read("c.txt"), "aXYZ\nnew");
    EXPECT_EQ(t("CHAROUT", {f, "\ntail", "9"}), "0");
    EXPECT_EQ(t.read("c.txt"), "aXYZ\nnew\ntail");
    // The line index follows the bytes written.
    EXPECT_EQ(t("LINEIN", {f, "3"}), "tail");
    EXPECT_EQ(t("LINEOUT", {f, "end"}), "0");
    EXPECT_EQ(t.read("c.txt"), "aXYZ\nnew\ntail\nend\n");
    EXPECT_EQ(t.msg("CHAROUT", {f, "x", "99"}),
              "CHAROUT(): invalid start position for file \"" + f + "\"");
    EXPECT_EQ(t.msg("CHAROUT", {"stdout", "x", "1"}),
              "CHAROUT(): no start value may be given for \"stdout\".");
    EXPECT_EQ(t("CHAROUT", {"stdout", "raw"}), "0");
    EXPECT_EQ(t.out, "raw");
}

TEST(Stream, AlwaysReadyAndClosesNothing) {
    Io t;
    t.scratch.write("a.txt", "1\n2\n");
    std::string f = t.path("a.txt");
    EXPECT_EQ(t("LINEIN", {f}), "1");
    EXPECT_EQ(t("STREAM", {f, "C", "CLOSE"}), "READY");
    EXPECT_EQ(t("STREAM", {}), "READY");
    EXPECT_EQ(t("LINEIN", {f}), "2");
}

TEST(Rescan, FileChangedByAnotherProgram) {
    Io t;
    t.scratch.write("a.txt", "1\n2\n3\n");
    std::string f = t.path("a.txt");
    EXPECT_EQ(t("LINEIN", {f}), "1");
    {
        std::ofstream more(f, std::ios::app | std::ios::binary);
        more << "4\n5\n";
    }
    // Rescanned: reading goes on after the new last line.
    EXPECT_EQ(t("LINEIN", {f}), "");
    EXPECT_EQ(t("LINES", {f}), "0");
    EXPECT_EQ(t("LINEIN", {f, "5"}), "5");
}

TEST(Rescan, FileReplacedUnderTheSameName) {
    Io t;
    t.scratch.write("a.txt", "old 1\nold 2\n");
    std::string f = t.path("a.txt");
    EXPECT_EQ(t("LINEIN", {f}), "old 1");
    t.scratch.write("b.txt", "new 1\nnew 2\nnew 3\n");
    std::filesystem::rename(t.path("b.txt"), f);
    EXPECT_EQ(t("LINES", {f}), "0");
    EXPECT_EQ(t("LINEIN", {f, "3"}), "new 3");
    EXPECT_EQ(t("LINEOUT", {f, "NEW 1", "1"}), "0");
    EXPECT_EQ(t.read("a.txt"), "NEW 1\nnew 2\nnew 3\n");
}

TEST(Rescan, FileRemovedAfterOpening) {
    Io t;
    t.scratch.write("a.txt", "1\n");
    std::string f = t.path("a.txt");
    EXPECT_EQ(t("LINEIN", {f}), "1");
    std::filesystem::remove(f);
    EXPECT_EQ(t.msg("LINEIN", {f}),
              "LINEIN(): unable to stat() file \"" + f + "\": No such file or directory");
    // A writer makes it again.
    EXPECT_EQ(t("LINEOUT", {f, "again"}), "0");
    EXPECT_EQ(t.read("a.txt"), "again\n");
}

TEST(Failures, MissingFileDirectoryAndUnreadable) {
    Io t;
    std::string missing = t.path("missing.txt");
    EXPECT_EQ(t.msg("LINEIN", {missing}),
              "LINEIN(): unable to open file \"" + missing + "\": No such file or directory");
    EXPECT_FALSE(std::filesystem::exists(missing)); // reading creates nothing
    EXPECT_EQ(t.msg("CHARIN", {missing}),
              "CHARIN(): unable to open file \"" + missing + "\": No such file or directory");
    EXPECT_EQ(t.msg("LINES", {missing}),
              "LINES(): unable to open file \"" + missing + "\": No such file or directory");
    std::filesystem::create_directory(t.path("dir"));
    std::string dir = t.path("dir");
    EXPECT_EQ(t.msg("LINEIN", {dir}),
              "LINEIN(): unable to scan file \"" + dir + "\": Is a directory");
    EXPECT_EQ(t.msg("LINEOUT", {dir, "x"}),
              "LINEOUT(): unable to open file \"" + dir + "\": Is a directory");
    if (!running_as_root()) {
        t.scratch.write("secret.txt", "x\n");
        std::string secret = t.path("secret.txt");
        chmod(secret.c_str(), 0);
        EXPECT_EQ(t.msg("LINEIN", {secret}),
                  "LINEIN(): unable to open file \"" + secret + "\": Permission denied");
        chmod(secret.c_str(), 0444);
        EXPECT_EQ(t("LINEIN", {secret}), "x");
        EXPECT_EQ(t.msg("LINEOUT", {secret, "y"}),
                  "LINEOUT(): unable to open file \"" + secret + "\": Permission denied");
        EXPECT_EQ(t.read("secret.txt"), "x\n");
    }
}

TEST(Failures, SameNameUnderAnotherDirectoryIsAnotherStream) {
    Io t;
    t.scratch.write("a.txt", "1\n2\n");
    std::string f = t.path("a.txt");
    EXPECT_EQ(t("LINEIN", {f}), "1");
    std::string saved = std::filesystem::current_path().string();
    ASSERT_EQ(voren::platform::change_directory(t.scratch.dir.string()), 0);
    EXPECT_EQ(t("LINEIN", {f}), "1"); // a new entry, opened at line 1
    EXPECT_EQ(t("LINEIN", {"a.txt"}), "2");
    ASSERT_EQ(voren::platform::change_directory(saved), 0);
    EXPECT_EQ(t("LINEIN", {f}), "2");
    EXPECT_EQ(stream_table(t.in).streams.size(), 2u);
}

TEST(Console, StandardFunctions) {
    Io t;
    t.console = {"in 1", "in 2"};
    EXPECT_EQ(t("STDIN", {}), "in 1");
    EXPECT_EQ(t.msg("STDIN", {"x"}), "STDIN(): must receive 0 argument.");
    EXPECT_EQ(t("STDOUT", {"to out"}), "0");
    EXPECT_EQ(t("STDERR", {"to err"}), "0");
    EXPECT_EQ(t.out, "to out");
    EXPECT_EQ(t.err, "to err");
    EXPECT_EQ(t.msg("STDOUT", {}), "STDOUT(): must receive 1 argument.");
}

} // namespace tolma::test

namespace tolma::test {

// CHARIN() on the console takes its bytes through the same line reader as
// LINEIN() and PULL: nothing the reader buffered is skipped, and the rest of
// a line stays for the next reader.
TEST(Console, CharinSharesTheLineReader) {
    Io t;
    t.console = {"abcdef", "second", "ab", "cd", "last"};
    EXPECT_EQ(t("CHARIN", {omitted, omitted, "3"}), "abc");
    EXPECT_EQ(t("LINES", {}), "1"); // the rest of the line is waiting
    EXPECT_EQ(t("LINEIN", {}), "def");
    EXPECT_EQ(t("CHARIN", {"stdin", omitted, "4"}), "seco");
    std::string pulled;
    EXPECT_TRUE(pull_line(t.in, pulled));
    EXPECT_EQ(pulled, "nd");
    EXPECT_EQ(t("CHARIN", {omitted, omitted, "5"}), "ab\ncd");
    EXPECT_EQ(t("LINEIN", {}), ""); // the line end after "cd"
    EXPECT_EQ(t("STDIN", {}), "last");
    EXPECT_EQ(t("CHARIN", {omitted, omitted, "3"}), "");
    EXPECT_EQ(t("LINEIN", {}), "");
}

} // namespace tolma::test

namespace tolma::test {

// A device is not scanned for lines: /dev/zero never ends, and reading it
// whole would never return.
TEST(Failures, DevicesAreNotScanned) {
    Io t;
    EXPECT_EQ(t("LINES", {"/dev/zero"}), "0");
    EXPECT_EQ(t("LINEIN", {"/dev/zero"}), "");
    EXPECT_EQ(t("CHARS", {"/dev/zero"}), "0");
    EXPECT_EQ(t("CHARIN", {"/dev/zero", omitted, "5"}), "");
    EXPECT_EQ(t("LINEOUT", {"/dev/null", "gone"}), "0");
    EXPECT_EQ(t("LINEOUT", {"/dev/null", "gone again"}), "0");
    EXPECT_EQ(t("LINES", {"/dev/null"}), "0");
}

} // namespace tolma::test

namespace tolma::test {

// LINEIN after CHARIN stopped inside a line reads the rest of that line, as
// other REXX interpreters do, instead of passing over it.
TEST(Chars, LineinAfterCharinReadsTheRestOfTheLine) {
    Io t;
    t.scratch.write("m.txt", "first\nsecond\r\nthird\n");
    std::string f = t.path("m.txt");
    EXPECT_EQ(t("CHARIN", {f, "1", "3"}), "fir");
    EXPECT_EQ(t("LINES", {f}), "3");
    EXPECT_EQ(t("LINEIN", {f}), "st");
    EXPECT_EQ(t("LINES", {f}), "2");
    EXPECT_EQ(t("CHARIN", {f, "8", "2"}), "ec");
    EXPECT_EQ(t("FILECONV", {"windows"}), "UNIX");
    EXPECT_EQ(t("LINEIN", {f}), "ond");
    EXPECT_EQ(t("LINEIN", {f}), "third");
    // At a line end the rest is empty; at a line start nothing is left over.
    EXPECT_EQ(t("CHARIN", {f, "1", "5"}), "first");
    EXPECT_EQ(t("LINEIN", {f}), "");
    EXPECT_EQ(t("LINEIN", {f}), "second");
    EXPECT_EQ(t("CHARIN", {f, "1", "6"}), "first\n");
    EXPECT_EQ(t("LINEIN", {f}), "second");
    // A line given explicitly is read whole.
    EXPECT_EQ(t("CHARIN", {f, "1", "2"}), "fi");
    EXPECT_EQ(t("LINEIN", {f, "1"}), "first");
    // The last line without its line end.
    t.scratch.write("n.txt", "abc");
    std::string g = t.path("n.txt");
    EXPECT_EQ(t("CHARIN", {g, "1", "1"}), "a");
    EXPECT_EQ(t("LINES", {g}), "1");
    EXPECT_EQ(t("LINEIN", {g}), "bc");
    EXPECT_EQ(t("LINES", {g}), "0");
    EXPECT_EQ(t("LINEIN", {g}), "");
}

} // namespace tolma::test
