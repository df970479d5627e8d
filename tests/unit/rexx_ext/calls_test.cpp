// Call resolution beyond labels and built-ins: the host's implicit EXTRACT
// hook, external routines loaded as units of the program, NOLOAD calls
// through a child interpreter, host macros, and "routine not found".
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>

#include "ext_support.h"
#include "rexx/core/external.h"

using ext_test::run;
using ext_test::ScopedVariable;
using ext_test::TempDir;
using tolma::CallArguments;
using tolma::NameCase;
using tolma::RexxValue;
using tolma::RunOptions;

namespace {

std::string read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// A host that knows the items SIZE and ZONE (upper-case spelling) or size
// and zone (lower-case spelling), and answers with the name and arguments.
struct FakeHost {
    std::vector<std::string> asked;
    std::vector<std::string> answered;
    bool give_value = true;

    tolma::ImplicitExtract hook() {
        tolma::ImplicitExtract h;
        h.knows = [this](std::string_view item, NameCase mode) {
            asked.emplace_back(item);
            bool lower = mode == NameCase::Lower || mode == NameCase::Mixed;
            return lower ? (item == "size" || item == "zone") : (item == "SIZE" || item == "ZONE");
        };
        h.answer = [this](tolma::Interp&, std::string_view name, const CallArguments& args,
                          RexxValue& result) {
            std::string text(name);
            for (const auto& a : args)
                text += "|" + (a ? *a : std::string("<omitted>"));
            answered.push_back(text);
            if (!give_value) return false;
            result.assign_text(text);
            return true;
        };
        return h;
    }
};

TEST(ImplicitExtract, AnItemBeforeTheLastDotIsAnsweredByTheHost) {
    FakeHost host;
    RunOptions options;
    options.implicit_extract = host.hook();
    auto o = run("say size.1(); say zone.b(7,,'x')", options);
    EXPECT_FALSE(o.result.error) << o.err;
    EXPECT_EQ(o.out, "SIZE.1\nZONE.B|7|<omitted>|x\n");
    EXPECT_EQ(host.asked, (std::vector<std::string>{"SIZE", "ZONE"}));
    // Only the part before the last "." is the item: ZONE.A is none.
    o = run("say zone.a.b()", options);
    EXPECT_EQ(o.result.error_code, 43);
    EXPECT_EQ(host.asked.back(), "ZONE.A");
}

TEST(ImplicitExtract, TheHookIsAskedAtEveryCallButResolvedOnce) {
    FakeHost host;
    RunOptions options;
    options.implicit_extract = host.hook();
    auto o = run("do i = 1 to 3; x = size.2(i); end; say x", options);
    EXPECT_EQ(o.out, "SIZE.2|3\n");
    EXPECT_EQ(host.asked.size(), 1u);
    EXPECT_EQ(host.answered.size(), 3u);
}

TEST(ImplicitExtract, ItemSpellingFollowsTheCaseMode) {
    FakeHost host;
    RunOptions options;
    options.implicit_extract = host.hook();
    auto o = run("option lower\nsay size.1()", options);
    EXPECT_FALSE(o.result.error) << o.err;
    EXPECT_EQ(o.out, "size.1\n");
}

TEST(ImplicitExtract, AMissGoesOnToTheExternalSearch) {
    FakeHost host;
    RunOptions options;
    options.implicit_extract = host.hook();
    auto o = run("say nosuchitem.1()", options);
    EXPECT_EQ(o.result.error_code, 43);
    EXPECT_NE(o.err.find("tolma: \"NOSUCHITEM.1\" routine not found."), std::string::npos);
    EXPECT_EQ(host.answered.size(), 0u);
}

TEST(ImplicitExtract, ADotOnlyInFirstPlaceIsNoItemName) {
    FakeHost host;
    RunOptions options;
    options.implicit_extract = host.hook();
    auto o = run("say '.size'()", options);
    EXPECT_EQ(o.result.error_code, 43);
    EXPECT_TRUE(host.asked.empty());
}

TEST(ImplicitExtract, WithoutAHookTheNameIsNotFound) {
    auto o = run("say size.1()");
    EXPECT_EQ(o.result.error_code, 43);
}

TEST(ImplicitExtract, LabelsAndBuiltinsComeFirst) {
    FakeHost host;
    RunOptions options;
    options.implicit_extract = host.hook();
    auto o = run("say size.1(); exit; size.1: return 'label'", options);
    EXPECT_EQ(o.out, "label\n");
    EXPECT_TRUE(host.asked.empty());
}

TEST(ImplicitExtract, NoAnswerIsNoResult) {
    FakeHost host;
    host.give_value = false;
    RunOptions options;
    options.implicit_extract = host.hook();
    auto o = run("result = 'x'; call size.1; say symbol('RESULT'); y = size.1()", options);
    EXPECT_EQ(o.out, "LIT\n");
    EXPECT_EQ(o.result.error_code, 44);
}

// ------------------------------------------------------------------ LOAD

TEST(LoadedUnit, RunsFromTheFileAndKeepsItsLabels) {
    TempDir dir;
    dir.write("util.tlm", "parse arg a\nreturn helper(a) + 1\nhelper: return arg(1) * 10\n");
    ScopedVariable path("PATH", dir.path);
    auto o = run("say util(4); say helper(2)");
    EXPECT_FALSE(o.result.error) << o.err;
    EXPECT_EQ(o.out, "41\n20\n");
}

TEST(LoadedUnit, TheFileIsReadOnce) {
    TempDir dir;
    std::string file = dir.write("once.tlm", "return 'first'\n");
    ScopedVariable path("PATH", dir.path + ":/usr/bin:/bin");
    // Removed between two call sites of the same name: still there.
    std::string program = "say once()\naddress unix 'rm " + file + "'\nsay once()";
    auto o = run(program);
    EXPECT_EQ(o.out, "first\nfirst\n") << o.err;
}

TEST(LoadedUnit, ErrorReportNamesTheFileAndItsLine) {
    TempDir dir;
    std::string file = dir.write("bad.tlm", "/* one */\n\nreturn 1 / 0\n");
    ScopedVariable path("PATH", dir.path);
    auto o = run("nop\nsay bad()");
    EXPECT_EQ(o.result.error_code, 51);
    EXPECT_NE(o.err.find("    3 +++ return 1 / 0\n"), std::string::npos) << o.err;
    EXPECT_NE(o.err.find("Error 51 on line 3 in file \"" + file + "\""), std::string::npos)
        << o.err;
}

TEST(LoadedUnit, LexErrorAtTheUnitsLineParseErrorIs55) {
    TempDir dir;
    std::string lexbad = dir.write("lexbad.tlm", "nop\nsay 'open\n");
    std::string parsebad = dir.write("parsebad.tlm", "nop\nnop\nthen\n");
    ScopedVariable path("PATH", dir.path);
    auto o = run("say lexbad()");
    EXPECT_EQ(o.result.error_code, 1);
    EXPECT_NE(o.err.find("on line 2 in file \"" + lexbad + "\""), std::string::npos) << o.err;
    o = run("say parsebad()");
    EXPECT_EQ(o.result.error_code, 55);
    EXPECT_NE(o.err.find("on line 3 in file \"" + parsebad + "\""), std::string::npos) << o.err;
}

TEST(LoadedUnit, SiglAndSourcelineUseTheProgramsLineNumbers) {
    TempDir dir;
    dir.write("where.tlm", "nop\nreturn sigl sourceline(sigl)\n");
    dir.write("caller.tlm", "nop\nreturn where()\n");
    ScopedVariable path("PATH", dir.path);
    auto o = run("nop\nsay where()\nsay caller()");
    // where.tlm is lines 4-5 of the program, caller.tlm lines 6-7.
    EXPECT_EQ(o.out, "2 say where()\n7 return where()\n") << o.err;
}

TEST(LoadedUnit, TracedLinesNameTheFile) {
    TempDir dir;
    dir.write("t.tlm", "nop\nreturn 1\n");
    ScopedVariable path("PATH", dir.path);
    auto o = run("trace a\ncall t", {});
    EXPECT_NE(o.out.find("<t.tlm>    2 *-* return 1"), std::string::npos) << o.out;
}

TEST(LoadedUnit, QuotedPlainNameReachesTheLoadedRoutine) {
    TempDir dir;
    dir.write("q.tlm", "return 'q' arg(1)\n");
    ScopedVariable path("PATH", dir.path);
    auto o = run("say 'q'(1); say 'q'(2)");
    EXPECT_EQ(o.out, "q 1\nq 2\n") << o.err;
}

TEST(LoadedUnit, FallingOffTheProgramDoesNotEnterAUnit) {
    TempDir dir;
    dir.write("f.tlm", "say 'inside'\nreturn 1\n");
    ScopedVariable path("PATH", dir.path);
    auto o = run("x = f()\nsay 'end'");
    EXPECT_EQ(o.out, "inside\nend\n");
}

TEST(NotFound, LineAndError43AtTheCall) {
    TempDir dir;
    ScopedVariable path("PATH", dir.path);
    auto o = run("nop\nx = 1 + nowhere(2)");
    EXPECT_EQ(o.result.error_code, 43);
    EXPECT_EQ(o.err.substr(0, 36), "\ntolma: \"NOWHERE\" routine not found.");
    EXPECT_NE(o.err.find("Error 43 on line 2"), std::string::npos);
}

TEST(NotFound, WarningsAreQuietWhileSyntaxIsTrapped) {
    TempDir dir;
    std::string file = dir.write("x", "return 1\n");
    std::string call = "'" + file + "'()";
    auto o = run("signal on syntax\nsay " + call + "\nexit\nsyntax: say rc sigl");
    EXPECT_EQ(o.out, "43 2\n");
    EXPECT_EQ(o.err.find("warning"), std::string::npos) << o.err;
    o = run("say " + call);
    EXPECT_NE(o.err.find("tolma: warning: file " + file + " is not a valid \"tolma\" file\n"),
              std::string::npos)
        << o.err;
}

// ------------------------------------------------------------------ NOLOAD

// A stand-in for the child interpreter: records its arguments and the
// variables it was given, and writes a value back when asked to.
std::string fake_interpreter(const TempDir& dir, const std::string& body) {
    std::string path = dir.write("fake-tolma", "#!/bin/sh\n"
                                               "echo \"file=$1 args=$#\" >\"" +
                                                   dir.path +
                                                   "/record\"\n"
                                                   "env | grep '^tolma_' | sort >>\"" +
                                                   dir.path + "/record\"\n" + body);
    chmod(path.c_str(), 0755);
    return path;
}

TEST(NoLoad, ArgumentsGoThroughTheEnvironmentTheExitStatusComesBack) {
    TempDir dir;
    std::string routine = dir.write("r.tlm", "return 1\n");
    RunOptions options;
    options.interpreter_path = fake_interpreter(dir, "exit 7\n");
    ScopedVariable path("PATH", dir.path + ":/usr/bin:/bin");
    ScopedVariable stale("tolma_ARG2", "stale");
    auto o = run("option noload\nsay r('ab', , 'x y')", options);
    EXPECT_FALSE(o.result.error) << o.err;
    EXPECT_EQ(o.out, "7\n");
    std::string record = read(dir.path + "/record");
    EXPECT_NE(record.find("file=" + routine + " args=1\n"), std::string::npos) << record;
    EXPECT_NE(record.find("tolma_ARG1=6162\n"), std::string::npos) << record;
    EXPECT_EQ(record.find("tolma_ARG2="), std::string::npos) << record;
    EXPECT_NE(record.find("tolma_ARG3=782079\n"), std::string::npos) << record;
    EXPECT_NE(record.find("tolma_NB_ARGS=3\n"), std::string::npos) << record;
    // Nothing is left in the caller's own environment.
    EXPECT_EQ(std::getenv("tolma_NB_ARGS"), nullptr);
}

TEST(NoLoad, AValueWrittenBackIsTheResult) {
    TempDir dir;
    dir.write("r.tlm", "return 1\n");
    RunOptions options;
    options.interpreter_path =
        fake_interpreter(dir, "printf 'Rtwo words' >\"$tolma_RESULT_FILE\"\nexit 3\n");
    ScopedVariable path("PATH", dir.path + ":/usr/bin:/bin");
    auto o = run("option noload\nsay r(); call r; say result", options);
    EXPECT_EQ(o.out, "two words\ntwo words\n") << o.err;
}

TEST(NoLoad, EveryCallStartsTheChildAgain) {
    TempDir dir;
    dir.write("r.tlm", "return 1\n");
    RunOptions options;
    options.interpreter_path = fake_interpreter(dir, "echo x >>\"" + dir.path + "/count\"\n");
    ScopedVariable path("PATH", dir.path + ":/usr/bin:/bin");
    auto o = run("option noload\ndo 3; call r; end", options);
    EXPECT_EQ(read(dir.path + "/count"), "x\nx\nx\n");
}

TEST(NoLoad, AnInterpreterThatCannotStartIsError86) {
    TempDir dir;
    dir.write("r.tlm", "return 1\n");
    RunOptions options;
    options.interpreter_path = dir.path + "/no-such-tolma";
    ScopedVariable path("PATH", dir.path);
    auto o = run("option noload\nsay r()", options);
    EXPECT_EQ(o.result.error_code, 86);
    EXPECT_NE(o.err.find("Unable to start \"" + dir.path + "/no-such-tolma\""), std::string::npos)
        << o.err;
}

TEST(NoLoad, MissingRoutineIsStillError43) {
    TempDir dir;
    ScopedVariable path("PATH", dir.path);
    auto o = run("option noload\nsay nothere()");
    EXPECT_EQ(o.result.error_code, 43);
}

// A host environment with its macros held in storage.
TEST(NoLoad, HostMacroRunsAsAHostCommand) {
    std::vector<std::string> commands;
    RunOptions options;
    options.environments.push_back({"VOREN", [&commands](tolma::Interp&, std::string_view c) {
                                        commands.emplace_back(c);
                                        return 5;
                                    }});
    options.stored_macro = [](std::string_view name) { return name == "mymac"; };
    auto o = run("option noload\nsay mymac(1, , 'a b'); call mymac; say result", options);
    EXPECT_FALSE(o.result.error) << o.err;
    EXPECT_EQ(o.out, "5\n5\n");
    EXPECT_EQ(commands, (std::vector<std::string>{"mymac 1,,a b", "mymac "}));
    o = run("option noload\nsay other()", options);
    EXPECT_EQ(o.result.error_code, 43);
}

TEST(NoLoad, UnderAnotherEnvironmentHostMacrosAreNotAsked) {
    bool asked = false;
    RunOptions options;
    options.stored_macro = [&asked](std::string_view) {
        asked = true;
        return true;
    };
    TempDir dir;
    ScopedVariable path("PATH", dir.path);
    auto o = run("option noload\nsay mymac()", options);
    EXPECT_EQ(o.result.error_code, 43);
    EXPECT_FALSE(asked);
}

} // namespace
