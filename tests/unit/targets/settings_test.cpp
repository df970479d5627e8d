// The settings commands that targets and searches read.
#include <gtest/gtest.h>

#include "targets_test_support.h"

namespace voren {
namespace {

using test::Messages;
using test::TargetEditor;

TEST(Settings, StartUpValues) {
    Editor ed;
    EXPECT_TRUE(ed.cmd.wrap);
    EXPECT_FALSE(ed.cmd.stay);
    EXPECT_FALSE(ed.cmd.hex);
    EXPECT_FALSE(ed.cmd.arbchar_on);
    EXPECT_EQ(ed.cmd.arbchar, '$');
    EXPECT_EQ(ed.screens.at(0).scope, ScopeMode::Display);
    EXPECT_EQ(ed.settings.lowest_current_line, -1);
    File file;
    EXPECT_EQ(file.zone_left, 1);
    EXPECT_EQ(file.zone_right, max_line_length);
}

TEST(Settings, OnOffCommandsSetAndReport) {
    TargetEditor t;
    t.messages();
    EXPECT_EQ(t.run("WRAP"), 0);
    EXPECT_EQ(t.run("wr off"), 0);
    EXPECT_FALSE(t.ed.cmd.wrap);
    EXPECT_EQ(t.run("QUERY WRAP"), 0);
    EXPECT_EQ(t.run("SET STAY ON"), 0);
    EXPECT_TRUE(t.ed.cmd.stay);
    EXPECT_EQ(t.run("STAY"), 0);
    EXPECT_EQ(t.run("HEX on"), 0);
    EXPECT_TRUE(t.ed.cmd.hex);
    EXPECT_EQ(t.run("STAY maybe"), 1);
    EXPECT_EQ(t.run("WRAP ON OFF"), 1);
    EXPECT_EQ(t.messages(), (Messages{"..... Is ON", "..... Is OFF", "..... Is ON",
                                      "..... Invalid parameters", "..... Invalid parameters"}));
}

TEST(Settings, ArbcharSetsFlagAndCharacter) {
    TargetEditor t;
    EXPECT_EQ(t.run("ARBCHAR ON %"), 0);
    EXPECT_TRUE(t.ed.cmd.arbchar_on);
    EXPECT_EQ(t.ed.cmd.arbchar, '%');
    EXPECT_EQ(t.run("ARB OFF"), 0);
    EXPECT_FALSE(t.ed.cmd.arbchar_on);
    EXPECT_EQ(t.ed.cmd.arbchar, '%');
    t.messages();
    EXPECT_EQ(t.run("ARBCHAR ON %%"), 1);
    EXPECT_EQ(t.run("ARBCHAR"), 0);
    EXPECT_EQ(t.messages(), (Messages{"..... Invalid parameters", "..... Is OFF"}));
}

TEST(Settings, ScopeOfTheCurrentScreen) {
    TargetEditor t;
    t.messages();
    EXPECT_EQ(t.run("SCOPE"), 0);
    EXPECT_EQ(t.run("SCOPE All"), 0);
    EXPECT_EQ(t.ed.screens.at(0).scope, ScopeMode::All);
    EXPECT_EQ(t.run("SCO"), 0);
    EXPECT_EQ(t.run("SET SCOPE d"), 0);
    EXPECT_EQ(t.ed.screens.at(0).scope, ScopeMode::Display);
    EXPECT_EQ(t.run("SCOPE everything"), 1);
    EXPECT_EQ(t.messages(),
              (Messages{"..... is DISPLAY", "..... is ALL", "..... Invalid parameters"}));
}

TEST(Settings, ZoneBelongsToTheFile) {
    TargetEditor t;
    EXPECT_EQ(t.run("SET ZONE 3 10"), 0);
    EXPECT_EQ(t.file().zone_left, 3);
    EXPECT_EQ(t.file().zone_right, 10);
    EXPECT_EQ(t.run("ZONE 2 *"), 0);
    EXPECT_EQ(t.file().zone_right, max_line_length);
    add_file(t.ed);
    EXPECT_EQ(t.file().zone_left, 1);
}

TEST(Dialect, XedlocateAlwaysLocates) {
    TargetEditor t({"a", "b", "c"});
    t.ed.ispf_mode = true;
    t.messages();
    EXPECT_EQ(t.run("LOCATE 2"), 1);
    EXPECT_EQ(t.messages(), Messages{"..... Not implemented"});
    EXPECT_EQ(t.run("XEDLOCATE 2"), 0);
    EXPECT_EQ(t.line(), 1);
}

} // namespace
} // namespace voren
