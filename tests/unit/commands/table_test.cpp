#include <gtest/gtest.h>

#include <set>
#include <string>

#include "editor/commands/command_table.h"
#include "editor/commands/executor.h"

namespace voren {
namespace {

std::string name_of(const CommandEntry* e) {
    return e == nullptr ? "(none)" : e->name;
}

TEST(CommandTable, HasAllEntriesInOrder) {
    auto table = command_table();
    ASSERT_EQ(table.size(), 356u);
    EXPECT_STREQ(table[0].name, "-\\");
    EXPECT_STREQ(table[1].name, "\\");
    EXPECT_STREQ(table[2].name, "R/");
    EXPECT_STREQ(table[3].name, "=");
    EXPECT_STREQ(table[4].name, "?");
    EXPECT_STREQ(table[5].name, "ACCess");
    EXPECT_STREQ(table[337].name, "\xBD");
    EXPECT_STREQ(table[338].name, "\xEE");
    EXPECT_STREQ(table[355].name, "WINSHRinktofit");
}

TEST(CommandTable, LengthsComeFromTheName) {
    auto table = command_table();
    const CommandEntry& access = table[5];
    EXPECT_EQ(access.length, 6);
    EXPECT_EQ(access.min_length, 3);
    for (const CommandEntry& e : table) {
        if (std::string(e.name) == "AQUIT") {
            EXPECT_EQ(e.min_length, 5);
            EXPECT_EQ(e.length, 5);
        }
        if (std::string(e.name) == "C_APLStop") {
            EXPECT_EQ(e.min_length, 6);
        }
    }
    EXPECT_EQ(table[337].length, 1);
    EXPECT_EQ(table[337].min_length, 1);
}

TEST(CommandTable, FlagCounts) {
    int settable = 0, queryable = 0;
    std::set<std::string> query_only;
    for (const CommandEntry& e : command_table()) {
        settable += e.settable;
        queryable += e.queryable;
        if (e.queryable && !e.settable) query_only.insert(e.name);
    }
    EXPECT_EQ(settable, 95);
    EXPECT_EQ(queryable, 90);
    EXPECT_EQ(query_only,
              (std::set<std::string>{"APL", "CTags", "OBsolete", "RELEase", "RELoad", "REMap"}));
    EXPECT_TRUE(find_command("trunc")->queryable);
    EXPECT_TRUE(find_command("trunc")->settable);
    EXPECT_FALSE(find_command("synonym")->queryable);
    EXPECT_TRUE(find_command("synonym")->settable);
    EXPECT_FALSE(find_command("=")->queryable);
}

TEST(CommandTable, HashRule) {
    // starts at c0, then (h * 31 + c) % 8192 for every character, c0 included
    EXPECT_EQ(command_hash("a"), (97u * 31 + 97) % 8192);
    unsigned h = 'x';
    for (char c : std::string("xedit"))
        h = (h * 31 + static_cast<unsigned char>(c)) % 8192;
    EXPECT_EQ(command_hash("xedit"), h);
    EXPECT_LT(command_hash("winshrinktofit"), 8192u);
}

TEST(CommandLookup, MinimumAbbreviation) {
    EXPECT_EQ(name_of(find_command("ACC")), "ACCess");
    EXPECT_EQ(name_of(find_command("access")), "ACCess");
    EXPECT_EQ(name_of(find_command("AcCeS")), "ACCess");
    EXPECT_EQ(find_command("AC"), nullptr);
    EXPECT_EQ(find_command("accesss"), nullptr);
    EXPECT_EQ(find_command(""), nullptr);
}

TEST(CommandLookup, NameWithoutLowerCaseMustBeTypedInFull) {
    EXPECT_EQ(find_command("AQU"), nullptr);
    EXPECT_EQ(find_command("AQUI"), nullptr);
    EXPECT_EQ(name_of(find_command("aquit")), "AQUIT");
    EXPECT_EQ(find_command("DELA"), nullptr);
    EXPECT_EQ(name_of(find_command("delay")), "DELAY");
}

TEST(CommandLookup, SharedAbbreviationGoesToTheEarlierEntry) {
    EXPECT_EQ(name_of(find_command("she")), "SHEll");
    EXPECT_EQ(name_of(find_command("shell")), "SHEll");
    EXPECT_EQ(name_of(find_command("shelle")), "SHEllEXT");
    EXPECT_EQ(name_of(find_command("SHELLEXT")), "SHEllEXT");
}

TEST(CommandLookup, OneLetterForms) {
    EXPECT_EQ(name_of(find_command("c")), "Change");
    EXPECT_EQ(name_of(find_command("l")), "Locate");
    EXPECT_EQ(name_of(find_command("x")), "X");
    EXPECT_EQ(name_of(find_command("xe")), "XE");
    EXPECT_EQ(name_of(find_command("xed")), "XEDit");
    EXPECT_EQ(name_of(find_command("fl")), "Flist");
    EXPECT_EQ(name_of(find_command("flf")), "FLFile");
    EXPECT_EQ(name_of(find_command("f")), "Flist");
    EXPECT_EQ(name_of(find_command("\xBD")), "\xBD");
    EXPECT_EQ(name_of(find_command("\xEE")), "\xEE");
}

TEST(CommandLookup, EveryAcceptedFormFindsAnEntryThatAgrees) {
    for (const CommandEntry& e : command_table()) {
        for (int n = e.min_length; n <= e.length; ++n) {
            const CommandEntry* found = find_command(std::string(e.name, static_cast<size_t>(n)));
            ASSERT_NE(found, nullptr) << e.name << " " << n;
            EXPECT_TRUE(abbreviates(std::string(e.name, static_cast<size_t>(n)), *found));
            EXPECT_LE(found, &e) << e.name;
        }
    }
}

TEST(SetTable, SettableEntriesThenHostNames) {
    auto rows = set_table();
    ASSERT_EQ(rows.size(), 95u + 28u);
    EXPECT_STREQ(rows[0].name, "=");
    EXPECT_EQ(rows[0].handler, &xfcm_set_equal);
    EXPECT_STREQ(rows[95].name, "BRKkey");
    EXPECT_EQ(rows[95].handler, nullptr);
    EXPECT_STREQ(rows[122].name, "TRANSLat");
    const CommandEntry* macro = find_set_item("macro", true);
    ASSERT_NE(macro, nullptr);
    EXPECT_EQ(macro->handler, &xfcm_set_macro);
}

TEST(SetTable, LinearSearchWithAbbreviation) {
    EXPECT_STREQ(find_set_item("trunc", true)->name, "TRUnc");
    EXPECT_STREQ(find_set_item("TRU", true)->name, "TRUnc");
    EXPECT_EQ(find_set_item("TR", true), nullptr);
    EXPECT_STREQ(find_set_item("term", true)->name, "TERMinal");
    EXPECT_EQ(find_set_item("term", false), nullptr);
    EXPECT_EQ(find_set_item("locate", true), nullptr); // not settable
}

} // namespace
} // namespace voren
