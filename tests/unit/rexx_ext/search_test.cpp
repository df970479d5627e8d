// The external search's pieces: file names, the directory list, the
// extension and start-line rules, and the search itself over real files.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "ext_support.h"
#include "rexx/core/external.h"

using namespace tolma;

namespace {

TEST(ExternalName, SymbolsAreFoldedToLowerCaseStringsAreNot) {
    EXPECT_EQ(external_file_name("UTIL", true), "util");
    EXPECT_EQ(external_file_name("UTIL", false), "UTIL");
    EXPECT_EQ(external_file_name("My.Rtn", true), "my.rtn");
}

TEST(ExternalName, BackslashesBecomeSlashesButANetworkPrefixStays) {
    EXPECT_EQ(external_file_name("a\\b\\c", false), "a/b/c");
    EXPECT_EQ(external_file_name("\\\\host\\share\\x", false), "\\\\host/share/x");
}

TEST(ExternalName, DirectoryPartForms) {
    EXPECT_TRUE(has_directory_part("/abs"));
    EXPECT_TRUE(has_directory_part("~/x"));
    EXPECT_TRUE(has_directory_part("./x"));
    EXPECT_TRUE(has_directory_part("../x"));
    EXPECT_TRUE(has_directory_part("c:/x"));
    EXPECT_FALSE(has_directory_part("c:"));
    EXPECT_FALSE(has_directory_part("util"));
    EXPECT_FALSE(has_directory_part("a/b"));
    EXPECT_FALSE(has_directory_part(""));
}

TEST(ExternalName, ExtensionRunsFromTheFirstDotOfTheLastComponent) {
    EXPECT_EQ(path_extension("util.tlm"), ".tlm");
    EXPECT_EQ(path_extension("a.b.tlm"), ".b.tlm");
    EXPECT_EQ(path_extension("/x.d/util"), "");
    EXPECT_EQ(path_extension("/x.d/util.tlm"), ".tlm");
    EXPECT_EQ(path_extension("util"), "");
}

TEST(ExternalName, StartLineNamesTheInterpreter) {
    EXPECT_TRUE(names_interpreter("#!/usr/bin/tolma"));
    EXPECT_TRUE(names_interpreter("#!/usr/bin/env tolma -x"));
    EXPECT_TRUE(names_interpreter("#!tolma"));
    EXPECT_FALSE(names_interpreter("#!/bin/sh"));
    EXPECT_FALSE(names_interpreter("/* tolma */"));
    EXPECT_FALSE(names_interpreter(" #!tolma"));
    EXPECT_FALSE(names_interpreter(""));
}

TEST(FullPath, TidiesAndAnchors) {
    EXPECT_EQ(full_path("/a/./b//c/"), "/a/b/c");
    EXPECT_EQ(full_path("/"), "/");
    ext_test::ScopedVariable home("HOME", "/home/someone");
    EXPECT_EQ(full_path("~/r.tlm"), "/home/someone/r.tlm");
    EXPECT_EQ(full_path("~"), "/home/someone");
    char* cwd = getcwd(nullptr, 0);
    ASSERT_NE(cwd, nullptr);
    std::string here = cwd;
    free(cwd);
    EXPECT_EQ(full_path("./x/./y"), (here == "/" ? "" : here) + "/x/y");
    EXPECT_EQ(full_path("rel"), (here == "/" ? "" : here) + "/rel");
}

TEST(SearchDirectories, DotFirstThenPathEntriesAsFullPathsOnce) {
    std::string dot = full_path(".");
    auto dirs = external_search_directories(
        std::string("/usr/bin/:rel::.:/opt/x:/usr/bin:/:./rel/:" + dot));
    std::vector<std::string> expected{dot, "/usr/bin", full_path("rel"), "/opt/x", "/"};
    EXPECT_EQ(dirs, expected);
    EXPECT_EQ(external_search_directories(std::nullopt), std::vector<std::string>{dot});
    EXPECT_EQ(external_search_directories(std::string("")), std::vector<std::string>{dot});
}

class Search : public ::testing::Test {
  protected:
    ext_test::TempDir dir;
    std::string warnings;
    WarningSink sink() {
        return [this](std::string_view s) { warnings += s; };
    }
    std::optional<std::string> find(const std::string& name) {
        // The search starts in "."; the temporary directory is searched
        // through PATH so that the test leaves the current directory alone.
        return find_external_file(name, dir.path, sink());
    }
};

TEST_F(Search, StartLineOrTlmExtension) {
    dir.write("withstart", "#!/usr/bin/tolma\nreturn 1\n");
    dir.write("plain.tlm", "return 2\n");
    dir.write("nostart", "return 3\n");
    EXPECT_EQ(find("withstart"), dir.path + "/withstart");
    EXPECT_EQ(find("plain"), dir.path + "/plain.tlm");
    EXPECT_EQ(find("plain.tlm"), dir.path + "/plain.tlm");
    EXPECT_EQ(find("nostart"), std::nullopt);
    EXPECT_EQ(warnings, "");
}

TEST_F(Search, AFileWithoutStartLineGivesWayToItsTlm) {
    dir.write("both", "return 'no'\n");
    dir.write("both.tlm", "return 'yes'\n");
    EXPECT_EQ(find("both"), dir.path + "/both.tlm");
}

TEST_F(Search, DottedNameNeedsAStartLineButMayTakeATlm) {
    dir.write("a.b.tlm", "return 1\n");
    EXPECT_EQ(find("a.b.tlm"), std::nullopt);
    dir.write("a.b", "return 1\n");
    EXPECT_EQ(find("a.b"), dir.path + "/a.b.tlm");
}

TEST_F(Search, ADirectoryIsNoFile) {
    dir.mkdir("sub");
    dir.write("sub.tlm", "return 1\n");
    EXPECT_EQ(find("sub"), dir.path + "/sub.tlm");
}

TEST_F(Search, DirectoryPartOpensThePathWithoutAddingTlm) {
    dir.write("r", "return 1\n");
    dir.write("r.tlm", "return 1\n");
    EXPECT_EQ(find_external_file(dir.path + "/r", std::nullopt, sink()), std::nullopt);
    EXPECT_EQ(warnings, "tolma: warning: file " + dir.path + "/r is not a valid \"tolma\" file\n");
    warnings.clear();
    EXPECT_EQ(find_external_file(dir.path + "/missing", std::nullopt, sink()), std::nullopt);
    EXPECT_EQ(warnings, "tolma: warning: unable to open file \"" + dir.path + "/missing\"\n");
    warnings.clear();
    EXPECT_EQ(find_external_file(dir.path + "/./r.tlm", std::nullopt, sink()), dir.path + "/r.tlm");
    EXPECT_EQ(warnings, "");
}

TEST_F(Search, UnreadableFileWarnsAndTheSearchGoesOn) {
    if (geteuid() == 0) GTEST_SKIP() << "permissions do not stop root";
    ext_test::TempDir second;
    dir.write("locked.tlm", "return 1\n");
    second.write("locked.tlm", "return 2\n");
    chmod((dir.path + "/locked.tlm").c_str(), 0);
    auto found = find_external_file("locked", dir.path + ":" + second.path, sink());
    EXPECT_EQ(found, second.path + "/locked.tlm");
    EXPECT_EQ(warnings, "tolma: warning: unable to open file \"" + dir.path + "/locked.tlm\"\n");
}

TEST_F(Search, EarlierDirectoryWins) {
    ext_test::TempDir second;
    dir.write("r.tlm", "return 1\n");
    second.write("r.tlm", "return 2\n");
    second.write("only.tlm", "return 2\n");
    EXPECT_EQ(find_external_file("r", second.path + ":" + dir.path, sink()),
              second.path + "/r.tlm");
    EXPECT_EQ(find_external_file("only", dir.path + ":" + second.path, sink()),
              second.path + "/only.tlm");
}

TEST(ChildArguments, HexBytesPerArgumentOmittedOnesRemoved) {
    EXPECT_EQ(hex_bytes("ab"), "6162");
    EXPECT_EQ(hex_bytes(std::string("\0\xff ", 3)), "00ff20");
    EXPECT_EQ(hex_bytes(""), "");
    auto vars = child_argument_variables({std::string("ab"), std::nullopt, std::string("")});
    ASSERT_EQ(vars.size(), 4u);
    EXPECT_EQ(vars[0].first, "tolma_NB_ARGS");
    EXPECT_EQ(vars[0].second, "3");
    EXPECT_EQ(vars[1].first, "tolma_ARG1");
    EXPECT_EQ(vars[1].second, "6162");
    EXPECT_EQ(vars[2].first, "tolma_ARG2");
    EXPECT_EQ(vars[2].second, std::nullopt);
    EXPECT_EQ(vars[3].first, "tolma_ARG3");
    EXPECT_EQ(vars[3].second, "");
}

TEST(ChildInterpreter, ConfiguredThenInstallationThenRexxhome) {
    EXPECT_EQ(child_interpreter("/opt/t/tolma", "/inst"), "/opt/t/tolma");
    EXPECT_EQ(child_interpreter("", "/inst/"), "/inst/tolma");
    ext_test::ScopedVariable home("REXXHOME", "/from/env");
    EXPECT_EQ(child_interpreter("", ""), "/from/env/tolma");
}

} // namespace
