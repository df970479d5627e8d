// Functions about the program and the interpreter: ERRORTEXT, CONDITION,
// TRACE, SYMBOL, VALUE, SOURCELINE, SORT, CVTAILS and the system names.
#include "harness.h"
#include "rexx/core/pool.h"

namespace tolma::test {

namespace {

std::string var(Interp& in, std::string_view name) {
    RexxValue* v = get_var(in, name);
    return v ? std::string(v->text(in.numeric)) : "<unset>";
}

} // namespace

TEST(InfoFunctions, ErrorText) {
    Lib f;
    EXPECT_EQ(f("ERRORTEXT", {"40"}), "Incorrect call to routine.");
    EXPECT_EQ(f("ERRORTEXT", {"67"}), "Invalid binary string.");
    EXPECT_EQ(f("ERRORTEXT", {"77"}), "");
    EXPECT_EQ(f("ERRORTEXT", {"97"}), "");
    EXPECT_EQ(f("ERRORTEXT", {"3"}), "");
    EXPECT_EQ(f("ERRORTEXT", {"99"}), "");
    EXPECT_EQ(f.msg("ERRORTEXT", {}), "ERRORTEXT(): must receive 1 argument.");
    EXPECT_EQ(f.msg("ERRORTEXT", {"x"}), "ERRORTEXT(): argument 1 must be an integer.");
    EXPECT_EQ(f.msg("ERRORTEXT", {"0"}),
              "ERRORTEXT(): argument 1 must be a strictly positive integer lower than 100.");
    EXPECT_EQ(f.msg("ERRORTEXT", {"100"}),
              "ERRORTEXT(): argument 1 must be a strictly positive integer lower than 100.");
}

TEST(InfoFunctions, SystemNames) {
    Lib f;
    EXPECT_EQ(f("VERSION", {}), "unix");
    EXPECT_EQ(f("ARCH", {}), "linux");
    EXPECT_EQ(f("EXTERNALS", {}), "0");
    EXPECT_EQ(f("LINESIZE", {}), "80");
    f.lib.terminal_width = [] { return 132; };
    EXPECT_EQ(f("LINESIZE", {}), "132");
    EXPECT_EQ(f.msg("ARCH", {"x"}), "ARCH(): must receive 0 argument.");
    EXPECT_EQ(f.msg("LINESIZE", {"x"}), "LINESIZE(): must receive 0 argument.");
    EXPECT_EQ(f.msg("EXTERNALS", {"x"}), "EXTERNALS(): must receive 0 argument.");
}

TEST(InfoFunctions, Condition) {
    Lib f;
    EXPECT_EQ(f("CONDITION", {}), "");
    EXPECT_EQ(f("CONDITION", {"C"}), "");
    f.in.condition.code = static_cast<int>(Condition::Error);
    f.in.condition.mode = TrapMode::Call;
    f.in.condition.description = "ls -z";
    f.in.traps[Condition::Error].mode = TrapMode::Call;
    EXPECT_EQ(f("CONDITION", {}), "CALL");
    EXPECT_EQ(f("CONDITION", {"i"}), "CALL");
    EXPECT_EQ(f("CONDITION", {"C"}), "ERROR");
    EXPECT_EQ(f("CONDITION", {"Description"}), "ls -z");
    EXPECT_EQ(f("CONDITION", {"S"}), "ON");
    f.in.traps[Condition::Error].busy = true;
    EXPECT_EQ(f("CONDITION", {"S"}), "DELAY");
    f.in.traps[Condition::Error].mode = TrapMode::Off;
    EXPECT_EQ(f("CONDITION", {"S"}), "OFF");
    f.in.condition.code = static_cast<int>(Condition::Syntax);
    f.in.condition.mode = TrapMode::Signal;
    EXPECT_EQ(f("CONDITION", {"I"}), "SIGNAL");
    EXPECT_EQ(f("CONDITION", {"C"}), "SYNTAX");
    EXPECT_EQ(f.msg("CONDITION", {"X"}), "CONDITION(): argument must be C|I|D|S.");
    EXPECT_EQ(f.msg("CONDITION", {"C", "I"}), "CONDITION(): 1 argument allowed.");
}

TEST(InfoFunctions, Trace) {
    Lib f;
    EXPECT_EQ(f("TRACE", {}), "N");
    EXPECT_EQ(f("TRACE", {"r"}), "N");
    EXPECT_EQ(f("TRACE", {"Intermediates"}), "R");
    EXPECT_EQ(f("TRACE", {"?A"}), "I");
    EXPECT_EQ(f("TRACE", {"O"}), "?A");
    EXPECT_EQ(f("TRACE", {}), "O");
    EXPECT_EQ(f.msg("TRACE", {"X"}), "TRACE(): must receive ?|!|A|C|E|I|L|N|O|R|S.");
    EXPECT_EQ(f.msg("TRACE", {"?Z"}), "TRACE(): must receive ?|!|A|C|E|I|L|N|O|R|S.");
    EXPECT_EQ(f.msg("TRACE", {"1"}), "TRACE(): must receive ?|!|A|C|E|I|L|N|O|R|S.");
    EXPECT_EQ(f.msg("TRACE", {"A", "B"}), "TRACE(): must receive up to 1 argument.");
}

TEST(InfoFunctions, SymbolAndValue) {
    Lib f;
    set_var(f.in, "ABC", "42");
    set_var(f.in, "S.1", "one");
    EXPECT_EQ(f("SYMBOL", {"abc"}), "VAR");
    EXPECT_EQ(f("SYMBOL", {"xyz"}), "LIT");
    EXPECT_EQ(f("SYMBOL", {"12"}), "LIT");
    EXPECT_EQ(f("SYMBOL", {"a b"}), "BAD");
    EXPECT_EQ(f("SYMBOL", {"s.1"}), "VAR");
    EXPECT_EQ(f("SYMBOL", {"s.2"}), "LIT");
    EXPECT_EQ(f("VALUE", {"abc"}), "42");
    EXPECT_EQ(f("VALUE", {"xyz"}), "XYZ");
    EXPECT_EQ(f("VALUE", {"s.2"}), "S.2");
    EXPECT_EQ(f("VALUE", {"12"}), "12");
    EXPECT_EQ(f("VALUE", {"abc", "43"}), "42");
    EXPECT_EQ(var(f.in, "ABC"), "43");
    set_var(f.in, "I", "1");
    EXPECT_EQ(f("VALUE", {"s.i"}), "one"); // the tail is substituted
    EXPECT_EQ(f("VALUE", {"new", "v"}), "NEW");
    EXPECT_EQ(var(f.in, "NEW"), "v");
    EXPECT_EQ(f.msg("VALUE", {}), "VALUE(): argument 1 missing.");
    EXPECT_EQ(f.msg("VALUE", {"a", "b", "c"}), "VALUE(): up to 2 arguments allowed.");
    EXPECT_EQ(f.msg("VALUE", {"a-b"}), "VALUE(): \"a-b\" is not a valid REXX symbol.");
    EXPECT_EQ(f.msg("VALUE", {"1", "x"}), "VALUE(): \"1\" is not a valid REXX symbol.");
    EXPECT_EQ(f.msg("SYMBOL", {}), "SYMBOL(): must receive 1 argument.");
    // LOWER case mode folds names to lower case.
    f.in.case_mode = NameCase::Lower;
    set_var(f.in, "low", "l");
    EXPECT_EQ(f("value", {"LOW"}), "l");
}

TEST(InfoFunctions, Sourceline) {
    Lib f;
    f.in.source.add("say 1\nsay 2\nexit\n", SourceKind::Program, "p.tlm");
    EXPECT_EQ(f("SOURCELINE", {}), "3");
    EXPECT_EQ(f("SOURCELINE", {"2"}), "say 2");
    EXPECT_EQ(f.msg("SOURCELINE", {"4"}), "SOURCELINE(): last line is line 3.");
    EXPECT_EQ(f.msg("SOURCELINE", {"x"}), "SOURCELINE(): the argument must be a number.");
    EXPECT_EQ(f.msg("SOURCELINE", {"0"}),
              "SOURCELINE(): the argument must be a strictly positiv number.");
    EXPECT_EQ(f.msg("SOURCELINE", {"1", "2"}), "SOURCELINE(): must receive 1 argument.");
}

TEST(InfoFunctions, SortWholeStem) {
    Lib f;
    set_var(f.in, "S.0", "4");
    set_var(f.in, "S.1", "pear");
    set_var(f.in, "S.2", "apple");
    set_var(f.in, "S.3", "fig");
    set_var(f.in, "S.4", "apple");
    EXPECT_EQ(f("SORT", {"s."}), "4");
    EXPECT_EQ(var(f.in, "S.1"), "apple");
    EXPECT_EQ(var(f.in, "S.2"), "apple");
    EXPECT_EQ(var(f.in, "S.3"), "fig");
    EXPECT_EQ(var(f.in, "S.4"), "pear");
    // The order stem: where each sorted element came from (stable for ties).
    EXPECT_EQ(var(f.in, "S.SORTORDER.1"), "2");
    EXPECT_EQ(var(f.in, "S.SORTORDER.2"), "4");
    EXPECT_EQ(var(f.in, "S.SORTORDER.3"), "3");
    EXPECT_EQ(var(f.in, "S.SORTORDER.4"), "1");
    EXPECT_EQ(f("SORT", {"S", "D"}), "4");
    EXPECT_EQ(var(f.in, "S.1"), "pear");
    EXPECT_EQ(var(f.in, "S.4"), "apple");
}

TEST(InfoFunctions, SortColumnsAndRange) {
    Lib f;
    set_var(f.in, "L.0", "4");
    set_var(f.in, "L.1", "x 3");
    set_var(f.in, "L.2", "y 1");
    set_var(f.in, "L.3", "a 2");
    set_var(f.in, "L.4", "b 0");
    EXPECT_EQ(f("SORT", {"L", "3"}), "4");
    EXPECT_EQ(var(f.in, "L.1"), "b 0");
    EXPECT_EQ(var(f.in, "L.4"), "x 3");
    EXPECT_EQ(f("SORT", {"L", "A 1-1", "2", "4"}), "3");
    EXPECT_EQ(var(f.in, "L.1"), "b 0"); // outside the range
    EXPECT_EQ(var(f.in, "L.2"), "a 2");
    EXPECT_EQ(var(f.in, "L.3"), "x 3");
    EXPECT_EQ(var(f.in, "L.4"), "y 1");
    EXPECT_EQ(var(f.in, "L.SORTORDER.2"), "3");
    EXPECT_EQ(var(f.in, "L.SORTORDER.4"), "2");
    EXPECT_EQ(f("SORT", {"L", "D 1 *"}), "4");
    EXPECT_EQ(var(f.in, "L.1"), "y 1");
    // An empty stem sorts nothing.
    set_var(f.in, "E.0", "0");
    EXPECT_EQ(f("SORT", {"E"}), "0");
}

TEST(InfoFunctions, SortWrongCalls) {
    Lib f;
    set_var(f.in, "S.0", "1");
    set_var(f.in, "S.1", "a");
    EXPECT_EQ(f.msg("SORT", {}), "SORT(): argument 1 missing.");
    EXPECT_EQ(f.msg("SORT", {"s", "", "1", "1", "1"}), "SORT(): up to 4 arguments allowed.");
    EXPECT_EQ(f.msg("SORT", {"s", "", "x"}), "SORT(): Argument 3 (x) is not a valid number.");
    EXPECT_EQ(f.msg("SORT", {"s", "", "1", "1.5"}),
              "SORT(): Argument 4 (1.5) is not a valid number.");
    EXPECT_EQ(f.msg("SORT", {"s", "5 2"}), "SORT(): Invalid columns \"5 2\".");
    EXPECT_EQ(f.msg("SORT", {"s", "0"}), "SORT(): Invalid columns \"0\".");
    EXPECT_EQ(f.msg("SORT", {"s", "1 2 3"}), "SORT(): Invalid columns \"1 2 3\".");
    EXPECT_EQ(f.msg("SORT", {"s", "a-b"}), "SORT(): Invalid columns \"a-b\".");
    EXPECT_EQ(f.msg("SORT", {"a b"}), "SORT(): argument 1 is not a valid REXX symbol.");
    EXPECT_EQ(f.msg("SORT", {"nostem"}), "SORT(): NOSTEM.0 (NOSTEM.0) is not a valid number.");
}

TEST(InfoFunctions, CvTails) {
    Lib f;
    EXPECT_EQ(f("CVTAILS", {"T"}), "");
    set_var(f.in, "T.b", "1");
    set_var(f.in, "T.a", "2");
    set_var(f.in, "T.1", "3");
    drop_var(f.in, "T.a");
    EXPECT_EQ(f("CVTAILS", {"t."}), "b 1");
    // A tail made from a whole number written out.
    set_var(f.in, "I", RexxValue::number(120, 0));
    set_var(f.in, "T.I", "4");
    EXPECT_EQ(f("CVTAILS", {"t."}), "b 1 120");
    EXPECT_EQ(f.msg("CVTAILS", {}), "CVTAILS(): must receive 1 argument.");
    EXPECT_EQ(f.msg("CVTAILS", {"1x"}), "CVTAILS(): argument 1 is not a valid REXX symbol.");
}

} // namespace tolma::test
