// TRACE: the setting parser, the output formats and the interactive pause.
#include <gtest/gtest.h>

#include "harness.h"

using namespace tolma;
using tolma_test::Captured;
using tolma_test::catch_error;

namespace {

struct TraceTest : ::testing::Test {
    Captured c;
    Interp& in = c.in;
    unsigned bits() const { return in.trace.bits; }
    void setting(const char* s) { trace_setting(in, RexxValue(s)); }
};

TEST_F(TraceTest, DefaultIsNormal) {
    EXPECT_EQ(bits(), static_cast<unsigned>(kTraceNormal));
    EXPECT_EQ(trace_setting_text(in.trace), "N");
    EXPECT_FALSE(trace_clauses(in.trace));
}

TEST_F(TraceTest, LettersSetTheLevel) {
    const struct {
        const char* text;
        unsigned level;
        char shown;
    } rows[] = {
        {"A", kTraceAll, 'A'},    {"c", kTraceCommands, 'C'},      {"Error", kTraceError, 'E'},
        {"f", kTraceNormal, 'N'}, {"I", kTraceIntermediates, 'I'}, {"l", kTraceLabels, 'L'},
        {"N", kTraceNormal, 'N'}, {"Results", kTraceResults, 'R'}, {"s", kTraceScan, 'S'},
    };
    for (const auto& r : rows) {
        setting(r.text);
        EXPECT_EQ(bits() & kTraceLevelMask, r.level) << r.text;
        EXPECT_EQ(trace_setting_text(in.trace), std::string(1, r.shown)) << r.text;
    }
}

TEST_F(TraceTest, PrefixesToggleAndAreKeptByLetters) {
    setting("?R");
    EXPECT_TRUE(trace_interactive(in.trace));
    EXPECT_TRUE(trace_results(in.trace));
    EXPECT_TRUE(trace_clauses(in.trace));
    setting("I");
    EXPECT_TRUE(trace_interactive(in.trace)); // the letter keeps "?"
    EXPECT_TRUE(trace_intermediates(in.trace));
    setting("?");
    EXPECT_FALSE(trace_interactive(in.trace));
    setting("!??c");
    EXPECT_TRUE(commands_inhibited(in.trace));
    EXPECT_FALSE(trace_interactive(in.trace));
    EXPECT_EQ(trace_setting_text(in.trace), "!C");
    setting("O"); // everything off, prefixes included
    EXPECT_EQ(bits(), 0u);
    setting("?R");
    setting("o");
    EXPECT_EQ(bits(), 0u);
}

TEST_F(TraceTest, YIsRecordedAndScanningGoesOn) {
    setting("yL");
    EXPECT_TRUE(bits() & kTraceY);
    EXPECT_EQ(bits() & kTraceLevelMask, static_cast<unsigned>(kTraceLabels));
    EXPECT_TRUE(trace_labels(in.trace));
    EXPECT_FALSE(trace_clauses(in.trace)); // Labels alone traces labels only
}

TEST_F(TraceTest, InteractiveOnClearsTheCounters) {
    in.trace.skip_pauses = 4;
    in.trace.clauses_since_pause = 7;
    setting("?");
    EXPECT_EQ(in.trace.skip_pauses, 0);
    EXPECT_EQ(in.trace.clauses_since_pause, 0);
}

TEST_F(TraceTest, InvalidRequests) {
    EXPECT_EQ(catch_error([&] { setting("Z"); }).code, 24);
    EXPECT_EQ(catch_error([&] { setting("X"); }).code, 24); // no external debugger
    EXPECT_EQ(catch_error([&] { setting("?*"); }).code, 24);
    in.trace.in_pause = true;
    EXPECT_EQ(catch_error([&] { setting("S"); }).code, 24);
    EXPECT_STREQ(error_message(24), "Invalid TRACE request.");
}

TEST_F(TraceTest, Numbers) {
    setting("-3");
    EXPECT_EQ(in.trace.suppressed, 3);
    setting("5"); // not interactive: nothing to skip
    EXPECT_EQ(in.trace.skip_pauses, 0);
    setting("?R");
    setting("5");
    EXPECT_EQ(in.trace.skip_pauses, 5);
    RexxError e = catch_error([&] { setting("2.5"); });
    EXPECT_EQ(e.code, 26);
    EXPECT_EQ(e.detail, "Expression evaluates to 2.5");
    EXPECT_EQ(catch_error([&] { setting("-x"); }).code, 26);
}

TEST_F(TraceTest, NegativeNumberSilencesTheNextClauses) {
    setting("R");
    trace_count_clause(in);
    setting("-2"); // the TRACE clause itself is still traced
    trace_result(in, 0, "a");
    trace_count_clause(in);
    trace_result(in, 0, "b");
    trace_clause(in, 2, "x");
    trace_count_clause(in);
    trace_result(in, 0, "c");
    trace_count_clause(in);
    trace_result(in, 0, "d");
    EXPECT_EQ(c.out, ">>> \"a\"\n>>> \"d\"\n");
}

TEST_F(TraceTest, LineNumberFieldWidth) {
    EXPECT_EQ(trace_line_width(1), 3);
    EXPECT_EQ(trace_line_width(998), 3);
    EXPECT_EQ(trace_line_width(999), 4);
    EXPECT_EQ(trace_line_width(1234), 4);
    EXPECT_EQ(trace_line_width(9999), 5);
    EXPECT_EQ(trace_line_width(99999), 6);
    EXPECT_EQ(trace_line_width(999999), 7);
}

TEST_F(TraceTest, ClauseLines) {
    trace_clause(in, 5, "say x");
    trace_clause(in, 1234, "x = 1");
    trace_clause(in, 3, "interpret 'y'", false);
    trace_clause(in, 3, "y", true);
    EXPECT_EQ(c.out, "\n  5 *-* say x\n"
                     "\n1234 *-* x = 1\n"
                     "\n  3 *-* interpret 'y'\n"
                     "\n*interpreted*  *-* y\n");
}

TEST_F(TraceTest, ClauseLinesOfStartupAndAddedFiles) {
    in.source.add("a = 1\nb = 2\n", SourceKind::Startup, ".tolmarc");
    in.source.add("say a\n", SourceKind::Program, "main.rex");
    in.source.add("one\ntwo\n", SourceKind::Added, "/lib/util.rex");
    trace_clause(in, 2, "b = 2");
    trace_clause(in, 3, "say a");
    trace_clause(in, 5, "two");
    EXPECT_EQ(c.out, "\n  2 (.tolmarc) *-* b = 2\n"
                     "\n  1 *-* say a\n"
                     "\n<util.rex>    2 *-* two\n");
}

TEST_F(TraceTest, ValueFormats) {
    trace_result(in, 0, "abc");
    trace_variable(in, 1, "X", "5");
    trace_binary(in, 2, "1", "+", "2", "3");
    trace_binary(in, 0, "a", " ", "b", "a b");
    trace_binary(in, 0, "1", "\\==", "2", "1");
    trace_prefix(in, 0, '-', "2", "-2");
    trace_prefix(in, 0, '\\', "0", "1");
    trace_backquote(in, 0, "ls", "out");
    std::string_view r = "3";
    trace_function(in, 0, "LENGTH", &r);
    trace_function(in, 0, "SUB", nullptr);
    trace_index(in, 0, "abcdef", 2, 4, "bcd");
    trace_index_assign(in, 0, "hello", 1, 2, "HE");
    trace_placeholder(in, 0, "skipped");
    trace_environment(in, 0, "cmd /c dir");
    trace_command(in, 0, "ls", 0);
    trace_command(in, 0, "false", 1);
    EXPECT_EQ(c.out, ">>> \"abc\"\n"
                     " >V> X --> \"5\"\n"
                     "  >O> \"1\" + \"2\" --> \"3\"\n"
                     ">O> \"a\"   \"b\" --> \"a b\"\n"
                     ">O> \"1\" \\== \"2\" --> \"1\"\n"
                     ">P> - \"2\" --> \"-2\"\n"
                     ">P> \\ \"0\" --> \"1\"\n"
                     ">U> `ls` --> \"out\"\n"
                     ">F> LENGTH() --> \"3\"\n"
                     ">F> SUB() --> No Result\n"
                     ">O> \"abcdef\"[2:4] --> \"bcd\"\n"
                     ">>> hello[1:2] <-- \"HE\"\n"
                     ">.> . <-- \"skipped\"\n"
                     ">C> cmd /c dir\n"
                     ">>> \"ls\"\n"
                     ">>> \"false\"\n"
                     "RC(1)\n");
}

TEST_F(TraceTest, OperatorSpellings) {
    EXPECT_STREQ(compare_op_text(CompareOp::Ne), "\\=");
    EXPECT_STREQ(compare_op_text(CompareOp::StrictNe), "\\==");
    EXPECT_STREQ(compare_op_text(CompareOp::NeIC), "\\=");
    EXPECT_STREQ(compare_op_text(CompareOp::StrictGe), ">>=");
    EXPECT_STREQ(arith_op_text(ArithOp::Rem), "//");
    EXPECT_STREQ(arith_op_text(ArithOp::Pow), "**");
}

TEST_F(TraceTest, CommandTracingWanted) {
    EXPECT_TRUE(trace_command_wanted(in.trace, -1)); // Normal: failures
    EXPECT_FALSE(trace_command_wanted(in.trace, 1));
    setting("E");
    EXPECT_TRUE(trace_command_wanted(in.trace, 1));
    EXPECT_FALSE(trace_command_wanted(in.trace, 0));
    setting("C");
    EXPECT_TRUE(trace_command_wanted(in.trace, 0));
    setting("O");
    EXPECT_FALSE(trace_command_wanted(in.trace, -1));
}

TEST_F(TraceTest, PauseRunsLinesUntilEmptyOrEquals) {
    setting("?R");
    std::vector<std::string> ran;
    in.run_pause_line = [&](Interp& i, const std::string& line) {
        EXPECT_TRUE(i.trace.in_pause);
        ran.push_back(line);
    };
    c.input = {"say x", "y = 2\r", "=", "", "next"};
    EXPECT_EQ(trace_pause(in), PauseResult::Rerun);
    EXPECT_EQ(ran, (std::vector<std::string>{"say x", "y = 2"}));
    EXPECT_FALSE(in.trace.in_pause);
    EXPECT_EQ(trace_pause(in), PauseResult::Continue);
    EXPECT_EQ(ran.size(), 2u);
    // "next" runs, then the input ends: continue.
    EXPECT_EQ(trace_pause(in), PauseResult::Continue);
    EXPECT_EQ(ran.size(), 3u);
}

TEST_F(TraceTest, PauseSkipsAndStopsWhenTracingIsTurnedOff) {
    setting("?R");
    setting("2");
    c.input = {"trace o", "never read"};
    EXPECT_EQ(trace_pause(in), PauseResult::Continue);
    EXPECT_EQ(trace_pause(in), PauseResult::Continue);
    EXPECT_EQ(c.next_input, 0u); // two pauses skipped without reading
    in.run_pause_line = [&](Interp& i, const std::string& line) {
        trace_setting(i, line.substr(6));
    };
    EXPECT_EQ(trace_pause(in), PauseResult::Continue);
    EXPECT_EQ(c.next_input, 1u);
    EXPECT_EQ(in.trace.bits, 0u);
}

} // namespace

namespace {

TEST(TraceLines, FieldWidthAtTheBoundaries) {
    Captured c;
    trace_clause(c.in, 998, "a");
    trace_clause(c.in, 999, "b");
    trace_clause(c.in, 100000, "c");
    trace_clause(c.in, 1000000, "d");
    EXPECT_EQ(c.out, "\n998 *-* a\n\n 999 *-* b\n\n100000 *-* c\n\n1000000 *-* d\n");
}

} // namespace
