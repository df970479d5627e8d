#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/environment.h"
#include "platform/files.h"
#include "test_support.h"

namespace voren {
namespace {

using test::BatchEditor;
using test::last_trace;

TEST(MessageCommands, MsgEmsgCmsg) {
    Editor ed;
    EXPECT_EQ(xfcom2(ed, "MSG hello world"), 0);
    EXPECT_EQ(ed.cmd.last_message, "hello world");
    EXPECT_EQ(ed.cmd.message_mode, 1);
    EXPECT_EQ(xfcom2(ed, "emsg alarm"), 0);
    EXPECT_EQ(ed.cmd.last_message, "alarm");
    EXPECT_EQ(ed.cmd.message_mode, 3);
    EXPECT_EQ(xfcom2(ed, "cmsg c/a/b/"), 0);
    EXPECT_EQ(ed.cmd.command_line, "c/a/b/");
    EXPECT_TRUE(ed.cmd.command_line_stays);
}

TEST(CommandCommand, NeedsAnOperand) {
    Editor ed;
    EXPECT_EQ(xfcom2(ed, "command"), 1);
    EXPECT_EQ(ed.cmd.last_message, "..... Missing Operand");
    EXPECT_EQ(xfcom2(ed, "COM xyz"), -1);
    EXPECT_EQ(ed.cmd.command_line, "COM xyz");
}

struct DirectoryFixture : ::testing::Test {
    std::string saved;
    std::string temp;
    void SetUp() override {
        saved = *platform::current_directory();
        char buf[] = "/tmp/voren_cd_XXXXXX";
        ASSERT_NE(mkdtemp(buf), nullptr);
        char real[PATH_MAX];
        ASSERT_NE(realpath(buf, real), nullptr);
        temp = real;
        mkdir((temp + "/sub").c_str(), 0755);
        std::FILE* f = std::fopen((temp + "/plain").c_str(), "w");
        std::fclose(f);
    }
    void TearDown() override {
        ASSERT_EQ(chdir(saved.c_str()), 0);
        unsetenv("XCDPATH");
        std::remove((temp + "/plain").c_str());
        rmdir((temp + "/sub").c_str());
        rmdir(temp.c_str());
    }
};

TEST_F(DirectoryFixture, CdAndPwd) {
    Editor ed;
    EXPECT_EQ(xfcom2(ed, "cd " + temp), 0);
    EXPECT_EQ(xfcom2(ed, "pwd"), 0);
    EXPECT_EQ(ed.cmd.last_message, temp);
    EXPECT_EQ(xfcom2(ed, "cd \"sub\""), 0);
    EXPECT_EQ(*platform::current_directory(), temp + "/sub");
    EXPECT_EQ(xfcom2(ed, "CD"), 0);
    EXPECT_EQ(ed.cmd.last_message, temp + "/sub");
}

TEST_F(DirectoryFixture, CdErrors) {
    Editor ed;
    EXPECT_EQ(xfcom2(ed, "cd " + temp + "/missing"), 1);
    EXPECT_EQ(ed.cmd.last_message, "..... Directory not found");
    EXPECT_EQ(xfcom2(ed, "cd " + temp + "/plain"), 1);
    EXPECT_EQ(ed.cmd.last_message, "..... Not a directory");
    EXPECT_EQ(*platform::current_directory(), saved);
}

TEST_F(DirectoryFixture, CdSearchesXcdpath) {
    Editor ed;
    setenv("XCDPATH", ("/nonexistent:" + temp).c_str(), 1);
    ASSERT_EQ(chdir("/"), 0);
    EXPECT_EQ(xfcom2(ed, "cd sub"), 0);
    EXPECT_EQ(*platform::current_directory(), temp + "/sub");
}

std::string g_set_text;
bool record_set(Editor& ed, std::string_view text) {
    g_set_text.assign(text);
    ed.return_code = 0;
    return true;
}

TEST(SetCommand, RoutesToTheSettingsCommand) {
    Editor ed;
    EXPECT_EQ(xfcom2(ed, "SET TRUNC 72"), 1); // TRUNC is not built yet
    EXPECT_EQ(ed.cmd.last_message, "..... Not implemented");
    EXPECT_EQ(last_trace(ed), "Commande xfcm_trunc");
    EXPECT_EQ(xfcom2(ed, "set macro on"), 1);
    EXPECT_EQ(last_trace(ed), "Commande xfcm_set_macro");
    EXPECT_EQ(xfcom2(ed, "set = top"), 1);
    EXPECT_EQ(last_trace(ed), "Commande xfcm_set_equal");
}

TEST(SetCommand, SetSynonymReachesTheSynonymCommand) {
    Editor ed;
    EXPECT_EQ(xfcom2(ed, "SET SYNONYM OFF"), 0);
    EXPECT_FALSE(ed.cmd.synonyms_on);
}

TEST(SetCommand, HostNamesAreIgnored) {
    BatchEditor b;
    EXPECT_EQ(xfcom2(b.ed, "SET MSGMODE ON"), 0);
    EXPECT_EQ(xfcom2(b.ed, "set recfm v"), 0);
    EXPECT_EQ(b.output(), "");
    b.ed.cmd.host_compat = false;
    EXPECT_EQ(xfcom2(b.ed, "set recfm v"), 1);
}

TEST(SetCommand, UnknownOptionGoesToTheMacroLayer) {
    BatchEditor b;
    EXPECT_EQ(xfcom2(b.ed, "SET nosuch 1"), 1);
    EXPECT_EQ(b.output(), ""); // no message from SET itself
    b.ed.cmd.set_macro_variable = &record_set;
    EXPECT_EQ(xfcom2(b.ed, "SET nosuch 1 2"), 0);
    EXPECT_EQ(g_set_text, "nosuch 1 2");
}

TEST(SetCommand, AloneListsTheKeysInARingFile) {
    Editor ed;
    EXPECT_EQ(xfcom2(ed, "set"), 0);
    ASSERT_EQ(ed.ring.files.size(), 1u);
    EXPECT_EQ(ed.ring.files[0]->lines.size(), key_file_lines(ed.keys).size());
    EXPECT_EQ(xfcom2(ed, "set f1 command top"), 0);
    EXPECT_EQ(ed.keys.f_keys[0].definition, "command top");
    EXPECT_EQ(xfcom2(ed, "set f99 command top"), 1);
    EXPECT_EQ(ed.cmd.last_message, "..... Invalid parameters");
}

TEST(QueryCommand, RunsQueryableCommands) {
    Editor ed;
    EXPECT_EQ(xfcom2(ed, "query trunc"), 1);
    EXPECT_EQ(last_trace(ed), "Commande xfcm_trunc");
    EXPECT_EQ(xfcom2(ed, "Q CTAGS"), 1);
    EXPECT_EQ(last_trace(ed), "Commande xfcm_ctags");
    EXPECT_EQ(xfcom2(ed, "query macro"), 1);
    EXPECT_EQ(last_trace(ed), "Commande xfcm_set_macro");
}

TEST(QueryCommand, RefusesOthers) {
    Editor ed;
    for (const char* q : {"query access", "query", "query nosuch", "query fname", "query ="}) {
        ed.cmd.last_message.clear();
        EXPECT_EQ(xfcom2(ed, q), 1) << q;
        EXPECT_EQ(ed.cmd.last_message, "..... Invalid parameters") << q;
    }
}

} // namespace
} // namespace voren
