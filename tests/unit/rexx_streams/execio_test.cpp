// EXECIO: reading and writing stems, variables and the data queue, the
// options, and the messages and return codes of bad operands.
#include <cstdlib>

#include "harness.h"
#include "rexx/core/pool.h"
#include "rexx/lib/execio.h"

namespace tolma::test {

namespace {

struct Exec : Io {
    std::string dir() const { return scratch.dir.string(); }
    // Runs "EXECIO " + operands; the file-mode operand names the scratch
    // directory where the test writes $.
    int run(std::string operands) {
        size_t p;
        while ((p = operands.find('$')) != std::string::npos)
            operands.replace(p, 1, dir());
        err.clear();
        int rc = -1;
        EXPECT_TRUE(intercepted_command(in, "EXECIO " + operands, rc));
        return rc;
    }
    std::string var(const std::string& name) {
        RexxValue* v = get_var(in, name);
        return v ? std::string(v->text(in.numeric)) : "<unset>";
    }
    std::vector<std::string> queue() { return {in.queue.lines.begin(), in.queue.lines.end()}; }
};

using Lines = std::vector<std::string>;

} // namespace

TEST(ExecioRead, AllLinesIntoAStem) {
    Exec t;
    t.scratch.write("f.txt", "one\ntwo\nthree\n");
    EXPECT_EQ(t.run("* DISKR f txt $ (STEM x."), 0);
    EXPECT_EQ(t.var("X.0"), "3");
    EXPECT_EQ(t.var("X.1"), "one");
    EXPECT_EQ(t.var("X.3"), "three");
    EXPECT_EQ(t.err, "");
    // Without a period the name is a plain prefix.
    EXPECT_EQ(t.run("* diskr f txt $ 2 (stem LINE FINIS)"), 0);
    EXPECT_EQ(t.var("LINE0"), "2");
    EXPECT_EQ(t.var("LINE1"), "two");
}

TEST(ExecioRead, CountsPositionsAndShortReads) {
    Exec t;
    t.scratch.write("f.txt", "1\n2\n3\n");
    EXPECT_EQ(t.run("2 DISKR f txt $"), 0);
    EXPECT_EQ(t.queue(), (Lines{"1", "2"}));
    // The next read goes on from the stream's line.
    EXPECT_EQ(t.run("5 DISKR f txt $"), 2);
    EXPECT_EQ(t.queue(), (Lines{"1", "2", "3"}));
    EXPECT_EQ(t.run("1 DISKR f txt $ (FINIS"), 2);
    EXPECT_EQ(t.run("1 DISKR f txt $ (LIFO"), 0);
    EXPECT_EQ(t.queue(), (Lines{"1", "1", "2", "3"}));
    EXPECT_EQ(t.run("1 DISKR f txt $ (VAR v LINENUM 3"), 0);
    EXPECT_EQ(t.var("V"), "3");
    EXPECT_EQ(t.run("1 DISKR f txt $ 4"), 101);
    EXPECT_EQ(t.err, "EXECIO: invalid linenum position for file \"" + t.dir() + "/f.txt\"\n");
    EXPECT_EQ(t.run("0 DISKR f txt $ 1"), 0);
}

TEST(ExecioRead, SharesPositionWithLinein) {
    Exec t;
    t.scratch.write("f.txt", "a\nb\nc\n");
    std::string f = t.dir() + "/f.txt";
    EXPECT_EQ(t("LINEIN", {f}), "a");
    EXPECT_EQ(t.run("1 DISKR f txt $ (VAR x"), 0);
    EXPECT_EQ(t.var("X"), "b");
    EXPECT_EQ(t("LINEIN", {f}), "c");
}

TEST(ExecioRead, TargetsZoneAndReturnCodes) {
    Exec t;
    t.scratch.write("f.txt", "apple pie\nbanana split\ncherry tart\nbanana bread\n");
    EXPECT_EQ(t.run("* DISKR f txt $ (LOCATE /split/ STEM s."), 0);
    EXPECT_EQ(t.var("S.0"), "1");
    EXPECT_EQ(t.var("S.1"), "banana split");
    // A target that stops a counted read early gives 2.
    EXPECT_EQ(t.run("5 DISKR f txt $ 1 (FIND /cherry/ STEM s."), 2);
    EXPECT_EQ(t.var("S.1"), "cherry tart");
    EXPECT_EQ(t.run("* DISKR f txt $ 1 (FIND /tart/ STEM s."), 3);
    EXPECT_EQ(t.var("S.0"), "0");
    EXPECT_EQ(t.run("2 DISKR f txt $ 1 (LOCATE 'bread' STEM s."), 3);
    EXPECT_EQ(t.run("* DISKR f txt $ 1 (AVOID /an/ ZONE 1 5 STEM s."), 0);
    EXPECT_EQ(t.var("S.1"), "apple pie");
    EXPECT_EQ(t.run("* DISKR f txt $ 1 (FIND /split/ ZONE 8 * STEM s."), 0);
    EXPECT_EQ(t.var("S.1"), "banana split");
}

TEST(ExecioRead, MarginsStripCaseSkip) {
    Exec t;
    t.scratch.write("f.txt", "abcdef   \nghijkl\n");
    EXPECT_EQ(t.run("* DISKR f txt $ (STEM a. STRIP CASE U"), 0);
    EXPECT_EQ(t.var("A.1"), "ABCDEF");
    EXPECT_EQ(t.run("* DISKR f txt $ 1 (STEM b. MARGINS 2 4"), 0);
    EXPECT_EQ(t.var("B.1"), "bcd");
    EXPECT_EQ(t.var("B.2"), "hij");
    EXPECT_EQ(t.run("1 DISKR f txt $ 1 (SKIP"), 0);
    EXPECT_TRUE(t.queue().empty());
    EXPECT_EQ(t.run("1 DISKR f txt $ (VAR w"), 0);
    EXPECT_EQ(t.var("W"), "ghijkl");
}

TEST(ExecioRead, WindowsLineEnds) {
    Exec t;
    t.scratch.write("w.txt", "one\r\ntwo\r\n");
    EXPECT_EQ(t("FILECONV", {"WINDOWS"}), "UNIX");
    EXPECT_EQ(t.run("* DISKR w txt $ (STEM w."), 0);
    EXPECT_EQ(t.var("W.2"), "two");
}

TEST(ExecioWrite, StemVarStringAndQueue) {
    Exec t;
    set_var(t.in, "O.0", "2");
    set_var(t.in, "O.1", "first");
    set_var(t.in, "O.2", "second");
    EXPECT_EQ(t.run("* DISKW out txt $ (STEM o."), 0);
    EXPECT_EQ(t.scratch.read("out.txt"), "first\nsecond\n");
    set_var(t.in, "V", "from var");
    EXPECT_EQ(t.run("1 DISKW out txt $ (VAR v"), 0);
    EXPECT_EQ(t.run("1 DISKW out txt $ (STRING  Mixed Case (kept)"), 0);
    stack_queue(t.in.queue, "q1");
    stack_queue(t.in.queue, "q2");
    stack_queue(t.in.queue, "");
    stack_queue(t.in.queue, "left");
    EXPECT_EQ(t.run("* DISKW out txt $ (FINIS"), 0);
    EXPECT_EQ(t.scratch.read("out.txt"), "first\nsecond\nfrom var\n Mixed Case (kept)\nq1\nq2\n");
    EXPECT_EQ(t.queue(), (Lines{"left"}));
    // Counted lines from the queue, then from the console.
    t.console = {"typed"};
    EXPECT_EQ(t.run("2 DISKW out txt $ 1"), 0);
    EXPECT_EQ(t.scratch.read("out.txt"), "left\ntyped\nfrom var\n Mixed Case (kept)\nq1\nq2\n");
    // The console input ends before the count: what there was is written,
    // and the short count shows in the return code.
    t.console = {"only one"};
    EXPECT_EQ(t.run("3 DISKW out txt $ 1 (FINIS"), 2);
    EXPECT_EQ(t.scratch.read("out.txt"), "only one\ntyped\nfrom var\n Mixed Case (kept)\nq1\nq2\n");
    EXPECT_EQ(t.run("2 DISKI out txt $ 1 (FINIS"), 2);
    EXPECT_EQ(t.scratch.read("out.txt"), "only one\ntyped\nfrom var\n Mixed Case (kept)\nq1\nq2\n");
}

TEST(ExecioWrite, LinePositionReplacesAndInsertInserts) {
    Exec t;
    t.scratch.write("f.txt", "1\n2\n3\n");
    EXPECT_EQ(t.run("1 DISKW f txt $ 2 (STRING two"), 0);
    EXPECT_EQ(t.scratch.read("f.txt"), "1\ntwo\n3\n");
    set_var(t.in, "N.1", "a");
    set_var(t.in, "N.2", "b");
    EXPECT_EQ(t.run("2 DISKI f txt $ 2 (STEM n."), 0);
    EXPECT_EQ(t.scratch.read("f.txt"), "1\na\nb\ntwo\n3\n");
    EXPECT_EQ(t.run("1 DISKW f txt $ 9 (STRING x"), 101);
    EXPECT_EQ(t.err, "EXECIO: invalid linenum position for file \"" + t.dir() + "/f.txt\"\n");
    EXPECT_EQ(t.run("1 DISKW f txt $ 6 (RECFM F LRECL 5 STRING end"), 0);
    EXPECT_EQ(t.scratch.read("f.txt"), "1\na\nb\ntwo\n3\nend  \n");
}

TEST(ExecioWrite, BadStemCount) {
    Exec t;
    set_var(t.in, "S.0", "two");
    EXPECT_EQ(t.run("* DISKW out txt $ (STEM s."), 101);
    EXPECT_EQ(t.err, "EXECIO: invalid stem s. value \"two\"\n");
    EXPECT_EQ(t.run("* DISKW out txt $ (STEM t."), 101);
    EXPECT_EQ(t.err, "EXECIO: invalid stem t. value \"T.0\"\n");
}

TEST(ExecioDelete, DeletesLines) {
    Exec t;
    t.scratch.write("f.txt", "1\n2\n3\n4\n");
    EXPECT_EQ(t.run("1 DISKD f txt $"), 0);
    EXPECT_EQ(t.scratch.read("f.txt"), "2\n3\n4\n");
    EXPECT_EQ(t.run("1 DISKD f txt $ 2"), 0);
    EXPECT_EQ(t.scratch.read("f.txt"), "2\n4\n");
    EXPECT_EQ(t.run("5 DISKD f txt $ 2"), 2);
    EXPECT_EQ(t.scratch.read("f.txt"), "2\n");
    EXPECT_EQ(t.run("* DISKD f txt $ 1"), 0);
    EXPECT_EQ(t.scratch.read("f.txt"), "");
    EXPECT_EQ(t.run("1 DISKD gone txt $"), 28);
}

TEST(ExecioFiles, SearchAndNotFound) {
    Exec t;
    EXPECT_EQ(t.run("1 DISKR nofile txt"), 28);
    EXPECT_EQ(t.err, "TOLMA: File not found.\n");
    EXPECT_EQ(t.run("1 DISKR nofile txt $"), 28);
    EXPECT_EQ(t.run("1 DISKR f txt " + t.dir() + "/notadir"), 28);
    t.scratch.write("onpath.txt", "found\n");
    const char* old = std::getenv("XPATH");
    std::string saved = old ? old : "";
    setenv("XPATH", ("/nonexistent:" + t.dir()).c_str(), 1);
    EXPECT_EQ(t.run("1 DISKR onpath txt * (VAR p"), 0);
    EXPECT_EQ(t.var("P"), "found");
    if (old)
        setenv("XPATH", saved.c_str(), 1);
    else
        unsetenv("XPATH");
    // A directory is no file to read or write.
    std::filesystem::create_directory(t.path("adir.d"));
    EXPECT_EQ(t.run("1 DISKR adir d $"), 101);
    EXPECT_EQ(t.err,
              "EXECIO: error while scanning file \"" + t.dir() + "/adir.d\": Is a directory\n");
    EXPECT_EQ(t.run("1 DISKW adir d $ (STRING x"), 101);
    EXPECT_EQ(t.err, "EXECIO: unable to open file \"" + t.dir() + "/adir.d\": Is a directory\n");
    // A name with a directory part is used as it is, and the line follows it.
    t.scratch.write("three.txt", "1\n2\n3\n");
    EXPECT_EQ(t.run("1 DISKR " + t.dir() + "/three.txt 2 (VAR r"), 0);
    EXPECT_EQ(t.var("R"), "2");
    EXPECT_EQ(t.run("1 DISKD " + t.dir() + "/three.txt 1"), 0);
    EXPECT_EQ(t.scratch.read("three.txt"), "2\n3\n");
    EXPECT_EQ(t.run("1 DISKR " + t.dir() + "/onpath.txt (VAR q LINENUM 1"), 0);
    EXPECT_EQ(t.var("Q"), "found");
}

TEST(ExecioOperands, MessagesAndReturnCodes) {
    Exec t;
    t.scratch.write("f.txt", "x\n");
    const std::string list = "TOLMA: Invalid EXECIO Parameter List.\n";
    struct Case {
        const char* operands;
        const char* message;
    };
    const Case cases[] = {
        {"* DISKR f txt $ (VAR x", "TOLMA: Invalid EXECIO \"LINES\" operand.\n"},
        {"abc DISKR f txt $", "TOLMA: Invalid EXECIO \"LINES\" operand.\n"},
        {"", "TOLMA: Invalid EXECIO \"LINES\" operand.\n"},
        {"* DISKX f txt $", "TOLMA: Invalid EXECIO mode operand.\n"},
        {"1", "TOLMA: Invalid EXECIO mode operand.\n"},
        {"1 DISKR f txt $ (RECFM Q", "TOLMA: Invalid EXECIO \"RECFM\" value.\n"},
        {"1 DISKR f txt $ (LRECL 0", "TOLMA: Invalid EXECIO \"LRECL\" operand.\n"},
        {"1 DISKR f txt $ (PRINTER", "TOLMA: Invalid EXECIO \"PRINTER\" operand.\n"},
        {"1 DISKR f txt $ (LINENUM z", "TOLMA: Invalid EXECIO \"LINENUM\" operand.\n"},
        {"1 DISKR f txt $ x", "TOLMA: Invalid EXECIO \"LINENUM\" operand.\n"},
        {"1 DISKR f txt $ (FIND /a/ LOCATE /b/",
         "TOLMA: Conflicting EXECIO \"FIND/LOCATE/AVOID\" operand.\n"},
        {"1 DISKR f txt $ (FIND /a", "TOLMA: Invalid EXECIO \"FIND\" operand\n"},
        {"1 DISKR f txt $ (LOCATE", "TOLMA: Invalid EXECIO \"LOCATE\" operand\n"},
        {"1 DISKR f txt $ (AVOID 'x", "TOLMA: Invalid EXECIO \"AVOID\" operand\n"},
        {"1 DISKR f txt $ (ZONE 5 2", "TOLMA: Invalid EXECIO \"ZONE\" operand.\n"},
        {"1 DISKR f txt $ (MARGINS a", "TOLMA: Invalid EXECIO \"MARGINS\" operand.\n"},
        {"1 DISKR f txt $ (COLUMNS", "TOLMA: Invalid EXECIO \"COLUMNS\" operand.\n"},
        {"1 DISKR f txt $ (LINESPAGE -2", "TOLMA: Invalid EXECIO \"LINESPAGE\" operand.\n"},
        {"1 DISKR f txt $ (STEM", "TOLMA: Missing EXECIO \"STEM\" operand.\n"},
        {"1 DISKR f txt $ (STEM 1x", "TOLMA: Invalid EXECIO \"STEM\" operand.\n"},
        {"1 DISKR f txt $ (VAR)", "TOLMA: Missing EXECIO \"VAR\" operand.\n"},
        {"1 DISKR f txt $ (VAR a-b", "TOLMA: Invalid EXECIO \"VAR\" operand.\n"},
        {"1 DISKR f txt $ (CASE Z", "TOLMA: Invalid EXECIO \"CASE\" operand.\n"},
        {"1 DISKR f txt $ (BOGUS", "TOLMA: Invalid EXECIO \"BOGUS\" OPTION.\n"},
        {"1 DISKR f txt $ 1 extra", "TOLMA: Invalid EXECIO \"extra\" OPTION.\n"},
        {"2 DISKR f txt $ (VAR x", "TOLMA: Invalid EXECIO \"LINES\" operand.\n"},
        {"3 DISKW f txt $ (STRING abc", "TOLMA: Invalid EXECIO \"LINES\" operand.\n"},
        {"1 DISKR f txt $ (VAR x STEM y.",
         "TOLMA: Conflicting EXECIO \"VAR\" and \"STEM\" operands.\n"},
        {"1 DISKR f txt $ (VAR x FIND /a/",
         "TOLMA: Conflicting EXECIO \"VAR\" and \"FIND/LOCATE/AVOID\" operands.\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(t.run(c.operands), 24) << c.operands;
        EXPECT_EQ(t.err, c.message + list) << c.operands;
    }
    EXPECT_EQ(t.run("1 DISKR"), 24);
    EXPECT_EQ(t.err, "TOLMA: Invalid EXECIO \"FN\" and \"FT\" operands.\n");
    // PRINT names no file: the word after the mode is an unknown option.
    EXPECT_EQ(t.run("1 PRINT f txt $"), 24);
    EXPECT_EQ(t.err, "TOLMA: Invalid EXECIO \"f\" OPTION.\n" + list);
    // Nothing was read, written or queued by the failed commands.
    EXPECT_TRUE(t.queue().empty());
    EXPECT_EQ(t.scratch.read("f.txt"), "x\n");
}

TEST(ExecioOperands, OnlyTheKeywordWithABlankIsIntercepted) {
    Exec t;
    int rc = 0;
    EXPECT_FALSE(intercepted_command(t.in, "execiox 1 diskr f", rc));
    EXPECT_FALSE(intercepted_command(t.in, "ls", rc));
    EXPECT_TRUE(intercepted_command(t.in, "MakeBuf", rc));
    EXPECT_EQ(rc, 1);
    EXPECT_TRUE(intercepted_command(t.in, "ExecIO 1 diskr", rc));
    EXPECT_EQ(rc, 24);
}

} // namespace tolma::test

namespace tolma::test {

// "fn ft 2": file modes are not numbers, so digits in that place that name
// no directory are the line to start at; a directory of that name is still
// the file mode.
TEST(ExecioFiles, NumberInTheFileModePlaceIsTheLine) {
    Exec t;
    t.scratch.write("n.txt", "a\nb\nc\n");
    std::filesystem::create_directory(t.path("3"));
    t.scratch.write("3/n.txt", "in dir\n");
    std::filesystem::path old = std::filesystem::current_path();
    std::filesystem::current_path(t.dir());
    EXPECT_EQ(t.run("1 DISKR n txt 2 (VAR v FINIS"), 0);
    EXPECT_EQ(t.var("V"), "b");
    EXPECT_EQ(t.run("1 DISKR n txt 3 (VAR w FINIS"), 0);
    EXPECT_EQ(t.var("W"), "in dir");
    EXPECT_EQ(t.run("1 DISKR n txt 3 1 (VAR x FINIS"), 0);
    EXPECT_EQ(t.var("X"), "in dir");
    EXPECT_EQ(t.run("1 DISKR n txt 4 (VAR y FINIS"), 101);
    EXPECT_EQ(t.err, "EXECIO: invalid linenum position for file \"n.txt\"\n");
    EXPECT_EQ(t.run("1 DISKW n txt 2 (FINIS STRING B"), 0);
    EXPECT_EQ(t.run("1 DISKR n txt 2 5 (VAR z"), 24);
    std::filesystem::current_path(old);
    EXPECT_EQ(t.scratch.read("n.txt"), "a\nB\nc\n");
}

} // namespace tolma::test
