// Error texts, the error report, the SYNTAX trap and the condition traps.
#include <gtest/gtest.h>

#include "harness.h"

using namespace tolma;
using tolma_test::Captured;
using tolma_test::catch_error;

namespace {

TEST(ErrorMessages, TableAsWritten) {
    EXPECT_STREQ(error_message(1), "Unmatched Quote.");
    EXPECT_STREQ(error_message(2), "Unmatched Double Quote.");
    EXPECT_STREQ(error_message(6), "Unmatched /*.");
    EXPECT_STREQ(error_message(26), "Invalid whole number.");
    EXPECT_STREQ(error_message(41), "Bad arithmetic conversion.");
    EXPECT_STREQ(error_message(42), "Arithmetics overflow/underflow.");
    EXPECT_STREQ(error_message(57), "No match: OTHERWISE expected.");
    EXPECT_STREQ(error_message(71), "Uninitialized variable.");
    EXPECT_STREQ(error_message(92), "Invalid socket-level option.");
    EXPECT_STREQ(error_message(98), "Invalid SIGNAL name.");
    EXPECT_STREQ(error_message(99), "Unknown error.");
    EXPECT_STREQ(error_message(1000), "Unknown error.");
    EXPECT_STREQ(error_message(-1), "Unknown error.");
    const int empty[] = {0,  3,  9,  10, 11, 12, 13, 14, 17, 19, 21, 22, 23, 29,
                         30, 32, 33, 35, 36, 37, 39, 45, 47, 48, 49, 77, 97};
    for (int n : empty)
        EXPECT_STREQ(error_message(n), "") << n;
    int with_text = 0;
    for (int n = 0; n < 99; ++n)
        if (*error_message(n)) ++with_text;
    EXPECT_EQ(with_text, 72);
    for (int n = 0; n < 99; ++n) {
        std::string t = error_message(n);
        if (!t.empty()) {
            EXPECT_EQ(t.back(), '.') << n;
        }
    }
}

TEST(ErrorDetails, OperandTexts) {
    EXPECT_EQ(operand_detail("", "a"), "String \"a\" is invalid.");
    EXPECT_EQ(operand_detail("X", "1 2"), "Variable \"X\" = \"1 2\" is invalid.");
}

struct ReportTest : ::testing::Test {
    Captured c;
    Interp& in = c.in;
    RexxError raise_at(int line, int column, int code, std::string detail = {}) {
        in.pos.line = line;
        in.pos.column = column;
        return catch_error([&] { raise_error(in, code, detail); });
    }
};

TEST_F(ReportTest, ProgramLine) {
    in.source.add("/* demo */\nx = 1\nsay 1 + 'a'\n", SourceKind::Program, "prog.rexx");
    RexxError e = raise_at(3, 7, 41, "String \"a\" is invalid.");
    EXPECT_EQ(e.code, 41);
    report_error(in, e);
    EXPECT_EQ(c.err, "\n"
                     "    3 +++ say 1 + 'a'\n"
                     "                ^\n"
                     "Error 41 on line 3 in file \"prog.rexx\": Bad arithmetic conversion.\n"
                     "\n"
                     "String \"a\" is invalid.\n"
                     "\n");
    EXPECT_EQ(c.out, "");
}

TEST_F(ReportTest, WithoutDetailAndWithColumnBeyondTheLine) {
    in.source.add("a\nb = 1/0\n", SourceKind::Program, "t.rex");
    report_error(in, raise_at(2, 40, 51));
    EXPECT_EQ(c.err,
              "\n    2 +++ b = 1/0\n                ^\nError 51 on line 2 in file \"t.rex\": "
              "Zero divide.\n");
    c.err.clear();
    report_error(in, raise_at(1, 0, 51)); // no column: the first character
    EXPECT_EQ(c.err, "\n    1 +++ a\n          ^\nError 51 on line 1 in file \"t.rex\": "
                     "Zero divide.\n");
}

TEST_F(ReportTest, StartupFileAndProgramAfterIt) {
    in.source.add("x = 1\ny = x +\n", SourceKind::Startup, ".tolmarc");
    in.source.add("say 'hi'\nsay 1/0\n", SourceKind::Program, "main.tlm");
    report_error(in, raise_at(2, 7, 41));
    EXPECT_EQ(c.err, "\n    2 (.tolmarc) +++ y = x +\n"
                     "                           ^\n"
                     "Error 41 on line 2 in file \"main.tlm\" (while processing \".tolmarc\"): "
                     "Bad arithmetic conversion.\n");
    c.err.clear();
    report_error(in, raise_at(4, 6, 51)); // line 2 of the program proper
    EXPECT_EQ(c.err, "\n    2 +++ say 1/0\n               ^\nError 51 on line 2 in file "
                     "\"main.tlm\": Zero divide.\n");
}

TEST_F(ReportTest, Interpreted) {
    in.source.add("interpret 'x = 1 +'\n", SourceKind::Program, "i.rex");
    in.pos.interpreted = true;
    in.pos.interpreted_line = "x = 1 +";
    RexxError e = raise_at(1, 5, 41);
    EXPECT_TRUE(e.interpreted);
    report_error(in, e);
    EXPECT_EQ(c.err, "\n    *interpreted* x = 1 +\n"
                     "                      ^\n"
                     "Error 41: Bad arithmetic conversion.\n");
}

TEST_F(ReportTest, UnknownNumberAndMissingSource) {
    report_error(in, raise_at(5, 1, 120));
    EXPECT_EQ(c.err,
              "\n    5 +++ \n          ^\nError 120 on line 5 in file \"\": Unknown error.\n");
}

TEST_F(ReportTest, SyntaxTrapTakesTheError) {
    set_trap(in, Condition::Syntax, TrapMode::Signal);
    RexxError e = raise_at(7, 3, 51, "some detail");
    TrapAction a = syntax_trap(in, e);
    EXPECT_EQ(a.mode, TrapMode::Signal);
    EXPECT_EQ(a.label, "SYNTAX");
    EXPECT_EQ(get_var(in, "RC")->text(in.numeric), "51");
    EXPECT_EQ(get_var(in, "SIGL")->text(in.numeric), "7");
    EXPECT_EQ(in.traps[Condition::Syntax].mode, TrapMode::Off);
    EXPECT_EQ(in.condition.code, static_cast<int>(Condition::Syntax));
    EXPECT_EQ(c.out, "\ntolma: some detail\n");
    // Fired once: the next error is not taken.
    EXPECT_EQ(syntax_trap(in, e).mode, TrapMode::Off);
}

TEST_F(ReportTest, SyntaxTrapNameAndLowerCaseSpelling) {
    in.case_mode = NameCase::Lower;
    set_trap(in, Condition::Syntax, TrapMode::Signal);
    TrapAction a = syntax_trap(in, raise_at(1, 1, 41));
    EXPECT_EQ(a.label, "syntax");
    EXPECT_NE(get_var(in, "rc"), nullptr);
    EXPECT_EQ(get_var(in, "RC"), nullptr);
    EXPECT_EQ(c.out, ""); // no detail, nothing written
    set_trap(in, Condition::Syntax, TrapMode::Signal, "oops");
    EXPECT_EQ(syntax_trap(in, raise_at(1, 1, 41)).label, "oops");
}

TEST_F(ReportTest, SyntaxDescriptionIsTheMessageUntilAnotherConditionIsTaken) {
    set_trap(in, Condition::Syntax, TrapMode::Signal);
    syntax_trap(in, raise_at(2, 1, 51));
    EXPECT_EQ(in.condition.description_text(), "Zero divide.");
    set_trap(in, Condition::Error, TrapMode::Signal);
    command_condition(in, 1, "false", 3);
    EXPECT_EQ(in.condition.description_text(), "false");
    // The executor's form leaves SIGL and RC alone.
    set_var(in, "RC", "x");
    set_trap(in, Condition::Syntax, TrapMode::Signal, "there");
    enter_syntax_condition(in, raise_at(4, 1, 41));
    EXPECT_EQ(in.condition.description_text(), "Bad arithmetic conversion.");
    EXPECT_EQ(in.condition.code, static_cast<int>(Condition::Syntax));
    EXPECT_EQ(in.traps[Condition::Syntax].mode, TrapMode::Off);
    EXPECT_EQ(in.traps[Condition::Syntax].label, "");
    EXPECT_EQ(get_var(in, "RC")->text(in.numeric), "x");
}

TEST_F(ReportTest, TrapLabelViewSpellsAsTrapLabel) {
    for (NameCase mode : {NameCase::NotSet, NameCase::Upper, NameCase::Lower, NameCase::Mixed}) {
        in.case_mode = mode;
        for (int c = 0; c < kConditionCount; ++c) {
            Condition cond = static_cast<Condition>(c);
            set_trap(in, cond, TrapMode::Signal);
            EXPECT_EQ(trap_label_view(in, cond), trap_label(in, cond));
            EXPECT_EQ(trap_label(in, cond).size(), std::string(condition_name(cond)).size());
            set_trap(in, cond, TrapMode::Signal, "Named");
            EXPECT_EQ(trap_label_view(in, cond), "Named");
            set_trap(in, cond, TrapMode::Off, "ignored");
            EXPECT_EQ(in.traps[cond].label, "");
        }
    }
    in.case_mode = NameCase::Lower;
    EXPECT_EQ(trap_label_view(in, Condition::Notready), "notready");
    in.case_mode = NameCase::Upper;
    EXPECT_EQ(trap_label_view(in, Condition::Notready), "NOTREADY");
}

TEST_F(ReportTest, CallOnSyntaxIsRefused) {
    EXPECT_EQ(catch_error([&] { set_trap(in, Condition::Syntax, TrapMode::Call); }).code, 25);
    set_trap(in, Condition::Novalue, TrapMode::Call); // NOVALUE is accepted
    EXPECT_EQ(in.traps[Condition::Novalue].mode, TrapMode::Call);
}

TEST_F(ReportTest, ErrorAndFailureConditions) {
    // Without traps only RC changes.
    EXPECT_EQ(command_condition(in, 3, "cmd", 4).mode, TrapMode::Off);
    EXPECT_EQ(get_var(in, "RC")->text(in.numeric), "3");

    set_trap(in, Condition::Error, TrapMode::Call);
    TrapAction a = command_condition(in, 1, "false", 10);
    EXPECT_EQ(a.mode, TrapMode::Call);
    EXPECT_EQ(a.label, "ERROR");
    EXPECT_EQ(get_var(in, "SIGL")->text(in.numeric), "10");
    EXPECT_EQ(in.condition.description, "false");
    EXPECT_EQ(in.traps[Condition::Error].mode, TrapMode::Call); // CALL ON stays

    a = command_condition(in, -1, "nothere", 11); // no FAILURE trap: ERROR
    EXPECT_EQ(a.label, "ERROR");
    EXPECT_EQ(get_var(in, "RC")->text(in.numeric), "-1");

    set_trap(in, Condition::Failure, TrapMode::Signal, "bad");
    a = command_condition(in, -1, "nothere", 12);
    EXPECT_EQ(a.mode, TrapMode::Signal);
    EXPECT_EQ(a.label, "bad");
    EXPECT_EQ(in.traps[Condition::Failure].mode, TrapMode::Off); // SIGNAL ON fires once
    EXPECT_EQ(in.condition.code, static_cast<int>(Condition::Failure));

    EXPECT_EQ(command_condition(in, 0, "true", 13).mode, TrapMode::Off);
    EXPECT_EQ(get_var(in, "RC")->text(in.numeric), "0");
}

TEST_F(ReportTest, CommandsAtAPauseSetRcD) {
    set_var(in, "RC", "5");
    command_condition(in, 2, "cmd", 1, true);
    EXPECT_EQ(get_var(in, "RC")->text(in.numeric), "5");
    EXPECT_EQ(get_var(in, "RC_D")->text(in.numeric), "2");
}

TEST_F(ReportTest, RoutineNotFoundAndNestedLabel) {
    RexxError e = catch_error([&] { routine_not_found(in, "nowhere"); });
    EXPECT_EQ(e.code, 43);
    EXPECT_EQ(c.err, "\ntolma: \"nowhere\" routine not found.\n");
    e = catch_error([&] { nested_label_error(in, "INNER"); });
    EXPECT_EQ(e.code, 54);
    EXPECT_EQ(e.detail, "The label \"INNER\" is nested within a control structure.");
}

TEST_F(ReportTest, CallSavesAndRestoresFourTraps) {
    set_trap(in, Condition::Error, TrapMode::Call, "e1");
    set_trap(in, Condition::Syntax, TrapMode::Signal);
    SavedTraps saved = save_call_traps(in);
    set_trap(in, Condition::Error, TrapMode::Off);
    set_trap(in, Condition::Halt, TrapMode::Signal);
    set_trap(in, Condition::Syntax, TrapMode::Off);
    restore_call_traps(in, saved);
    EXPECT_EQ(in.traps[Condition::Error].mode, TrapMode::Call);
    EXPECT_EQ(in.traps[Condition::Error].label, "e1");
    EXPECT_EQ(in.traps[Condition::Halt].mode, TrapMode::Off);
    EXPECT_EQ(in.traps[Condition::Syntax].mode, TrapMode::Off); // not saved by a call
}

} // namespace

namespace {

TEST(Conditions, HaltIsErrorFourUnlessTrapped) {
    Captured c;
    c.in.pos.line = 3;
    EXPECT_EQ(catch_error([&] { halt_condition(c.in, 3); }).code, 4);
    EXPECT_STREQ(error_message(4), "Program interrupted.");
    set_trap(c.in, Condition::Halt, TrapMode::Call, "stop");
    TrapAction a = halt_condition(c.in, 8);
    EXPECT_EQ(a.mode, TrapMode::Call);
    EXPECT_EQ(a.label, "stop");
    EXPECT_EQ(get_var(c.in, "SIGL")->text(c.in.numeric), "8");
    EXPECT_EQ(c.in.condition.code, static_cast<int>(Condition::Halt));
}

TEST(Conditions, NotreadyOnlyWhenTrapped) {
    Captured c;
    EXPECT_EQ(notready_condition(c.in, "f.txt", 2).mode, TrapMode::Off);
    EXPECT_EQ(get_var(c.in, "SIGL"), nullptr);
    set_trap(c.in, Condition::Notready, TrapMode::Signal);
    TrapAction a = notready_condition(c.in, "f.txt", 2);
    EXPECT_EQ(a.mode, TrapMode::Signal);
    EXPECT_EQ(a.label, "NOTREADY");
    EXPECT_EQ(c.in.condition.description, "f.txt");
    EXPECT_EQ(c.in.traps[Condition::Notready].mode, TrapMode::Off);
}

} // namespace
