// Key tables: defaults, names, SET, NBKEYS, listing, execution modes and lookup.
#include "editor/screen/keys.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace voren {
namespace {

const KeyEntry& f_entry(const KeyTables& k, int index) {
    return k.f_keys.at(static_cast<size_t>(index - 1));
}
const KeyEntry& l_entry(const KeyTables& k, int index) {
    return k.l_keys.at(static_cast<size_t>(index - 1));
}
const KeyEntry& r_entry(const KeyTables& k, int index) {
    return k.r_keys.at(static_cast<size_t>(index - 1));
}

// Tables with no definition at all, for exact listings.
KeyTables empty_tables() {
    KeyTables k;
    for (auto& e : k.f_keys)
        e = {};
    for (auto& e : k.l_keys)
        e = {};
    for (auto& e : k.r_keys)
        e = {};
    for (auto& e : k.control_keys)
        e = {};
    for (auto& e : k.alt_keys)
        e = {};
    for (auto& e : k.enter_keys)
        e = {"", KeyMode::Before};
    return k;
}

// ---------------------------------------------------------------------------
// Defaults

TEST(KeyDefaults, RawTablesHaveTheirFixedSizes) {
    EXPECT_EQ(builtin_default_keys(KeyClass::F).size(), 96u);
    EXPECT_EQ(builtin_default_keys(KeyClass::L).size(), 88u);
    EXPECT_EQ(builtin_default_keys(KeyClass::R).size(), 120u);
}

TEST(KeyDefaults, StartUpCountsAndTableSizes) {
    KeyTables k;
    EXPECT_EQ(k.nf, 12);
    EXPECT_EQ(k.nl, 10);
    EXPECT_EQ(k.nr, 15);
    EXPECT_EQ(k.f_keys.size(), 96u);
    EXPECT_EQ(k.l_keys.size(), 80u);
    EXPECT_EQ(k.r_keys.size(), 120u);
    EXPECT_EQ(k.keyboard_type, "linux");
}

TEST(KeyDefaults, FKeysByGroup) {
    KeyTables k;
    EXPECT_EQ(f_entry(k, 1).definition, "quit");
    EXPECT_EQ(f_entry(k, 1).mode, KeyMode::Only);
    EXPECT_EQ(f_entry(k, 12).definition, "command =");
    EXPECT_EQ(f_entry(k, 13).definition, "command c_lineadd"); // Shift+F1
    EXPECT_EQ(f_entry(k, 16).definition, "");                  // Shift+F4
    EXPECT_EQ(f_entry(k, 24).definition, "command bot");       // Shift+F12
    EXPECT_EQ(f_entry(k, 25).definition, "command flquit");    // Control+F1
    EXPECT_EQ(f_entry(k, 33).definition, "command xshowhistory");
    EXPECT_EQ(f_entry(k, 45).definition, "command showhistory"); // Alt+F9
    EXPECT_EQ(f_entry(k, 49).definition, "");
}

TEST(KeyDefaults, RKeysByGroup) {
    KeyTables k;
    EXPECT_EQ(r_entry(k, 7).definition, "");
    EXPECT_EQ(r_entry(k, 5 + 15).definition, "macro extsel_start");
    EXPECT_EQ(r_entry(k, 14 + 15).definition, "macro extsel_down");
    EXPECT_EQ(r_entry(k, 11 + 15).definition, "");
    EXPECT_EQ(r_entry(k, 8 + 30).definition, "macro mvlineup");
    EXPECT_EQ(r_entry(k, 14 + 30).definition, "macro mvlinedown");
}

TEST(KeyDefaults, LKeysFallIntoTheNextGroupWithTenKeys) {
    KeyTables k;
    EXPECT_EQ(l_entry(k, 2).definition, "command match");
    EXPECT_EQ(l_entry(k, 10).definition, "command s_cut");
    EXPECT_EQ(l_entry(k, 1 + 10).definition, "command help");    // Shift+L1
    EXPECT_EQ(l_entry(k, 5 + 10).definition, "command redo");    // Shift+L5
    EXPECT_EQ(l_entry(k, 10 + 10).definition, "command s_find"); // Shift+L10
    EXPECT_EQ(l_entry(k, 9 + 20).definition, "command s_find");  // Control+L9
    EXPECT_EQ(l_entry(k, 3 + 50).definition, "s_find");          // Shift+Alt+L3
}

TEST(KeyDefaults, LoadingForElevenLKeysCopiesEntryByEntry) {
    KeyTables k;
    ASSERT_EQ(set_key(k, "NBKEYS 11 12 15"), 0);
    load_default_keys(k);
    ASSERT_EQ(k.l_keys.size(), 88u);
    EXPECT_EQ(l_entry(k, 11).definition, "command help"); // now plain L11
    EXPECT_EQ(l_entry(k, 15).definition, "command redo"); // now Shift+L4
    EXPECT_EQ(l_entry(k, 12).definition, "");
}

TEST(KeyDefaults, LoadingForFewerFKeysDropsTheTail) {
    KeyTables k;
    ASSERT_EQ(set_key(k, "NBKEYS 10 5 15"), 0);
    load_default_keys(k);
    ASSERT_EQ(k.f_keys.size(), 40u);
    EXPECT_EQ(f_entry(k, 6).definition, "command c_endline"); // raw entry 6 is Shift+F1 now
    EXPECT_EQ(f_entry(k, 13).definition, "command c_lineadd");
}

TEST(KeyDefaults, ControlAndAltTables) {
    KeyTables k;
    EXPECT_EQ(k.control_keys['0'].definition, "macro goto_bookmark 5");
    EXPECT_EQ(k.control_keys['3'].definition, "macro set_bookmark 3");
    EXPECT_EQ(k.control_keys['9'].definition, "macro goto_bookmark 4");
    EXPECT_EQ(k.control_keys['A'].definition, "macro adjust_cursor");
    EXPECT_EQ(k.control_keys['a'].definition, "command c_lineadd");
    EXPECT_EQ(k.control_keys['z'].definition, "command left0");
    EXPECT_EQ(k.control_keys['b'].definition, "");
    EXPECT_EQ(k.alt_keys['u'].definition, "command s_set off");
    EXPECT_TRUE(k.alt_keys['u'].captured);
    EXPECT_TRUE(k.alt_keys['+'].captured);
    EXPECT_FALSE(k.alt_keys['U'].captured);
    EXPECT_FALSE(k.alt_keys['q'].captured);
}

TEST(KeyDefaults, EnterKeysAreEmptyBefore) {
    KeyTables k;
    for (const auto& e : k.enter_keys) {
        EXPECT_EQ(e.definition, "");
        EXPECT_EQ(e.mode, KeyMode::Before);
    }
}

TEST(KeyDefaults, ModifierGroupsInTableOrder) {
    EXPECT_EQ(modifier_group(false, false, false), 0);
    EXPECT_EQ(modifier_group(true, false, false), 1);
    EXPECT_EQ(modifier_group(false, true, false), 2);
    EXPECT_EQ(modifier_group(false, false, true), 3);
    EXPECT_EQ(modifier_group(true, true, false), 4);
    EXPECT_EQ(modifier_group(true, false, true), 5);
    EXPECT_EQ(modifier_group(false, true, true), 6);
    EXPECT_EQ(modifier_group(true, true, true), 7);
}

// ---------------------------------------------------------------------------
// Key names

std::optional<KeyName> name(const KeyTables& k, std::string_view text) {
    return parse_key_name(k, text);
}

TEST(KeyNames, NumberedKeysAndPrefixes) {
    KeyTables k;
    EXPECT_EQ(name(k, "f1"), (KeyName{KeyClass::F, 1}));
    EXPECT_EQ(name(k, "F12"), (KeyName{KeyClass::F, 12}));
    EXPECT_EQ(name(k, "s-f1"), (KeyName{KeyClass::F, 13}));
    EXPECT_EQ(name(k, "C-F1"), (KeyName{KeyClass::F, 25}));
    EXPECT_EQ(name(k, "m-f1"), (KeyName{KeyClass::F, 37}));
    EXPECT_EQ(name(k, "l-f1"), (KeyName{KeyClass::F, 37}));
    EXPECT_EQ(name(k, "r-f1"), (KeyName{KeyClass::F, 37}));
    EXPECT_EQ(name(k, "s+c-f1"), (KeyName{KeyClass::F, 49}));
    EXPECT_EQ(name(k, "c+s-f1"), (KeyName{KeyClass::F, 49}));
    EXPECT_EQ(name(k, "s+m-f1"), (KeyName{KeyClass::F, 61}));
    EXPECT_EQ(name(k, "m+s-f1"), (KeyName{KeyClass::F, 61}));
    EXPECT_EQ(name(k, "c+m-f1"), (KeyName{KeyClass::F, 73}));
    EXPECT_EQ(name(k, "m+c-f1"), (KeyName{KeyClass::F, 73}));
    for (const char* p : {"s+c+m-", "s+m+c-", "c+s+m-", "c+m+s-", "m+s+c-", "m+c+s-"}) {
        EXPECT_EQ(name(k, std::string(p) + "f12"), (KeyName{KeyClass::F, 96})) << p;
    }
    EXPECT_EQ(name(k, "l10"), (KeyName{KeyClass::L, 10}));
    EXPECT_EQ(name(k, "s-l1"), (KeyName{KeyClass::L, 11}));
    EXPECT_EQ(name(k, "r15"), (KeyName{KeyClass::R, 15}));
    EXPECT_EQ(name(k, "c-r8"), (KeyName{KeyClass::R, 38}));
}

TEST(KeyNames, PfNumbersAreRawEntries) {
    KeyTables k;
    EXPECT_EQ(name(k, "pf13"), name(k, "s-f1"));
    EXPECT_EQ(name(k, "PF96"), (KeyName{KeyClass::F, 96}));
    ASSERT_EQ(set_key(k, "NBKEYS 10 10 15"), 0);
    EXPECT_EQ(name(k, "pf13"), name(k, "s-f3"));
    EXPECT_FALSE(name(k, "pf81"));
}

TEST(KeyNames, CharactersEnterAndKeyboardNames) {
    KeyTables k;
    EXPECT_EQ(name(k, "^a"), (KeyName{KeyClass::Control, 'a'}));
    EXPECT_EQ(name(k, "^A"), (KeyName{KeyClass::Control, 'A'}));
    EXPECT_EQ(name(k, "^="), (KeyName{KeyClass::Control, '='}));
    EXPECT_EQ(name(k, "m-x"), (KeyName{KeyClass::Alt, 'x'}));
    EXPECT_EQ(name(k, "M-X"), (KeyName{KeyClass::Alt, 'X'}));
    EXPECT_EQ(name(k, "l-x"), (KeyName{KeyClass::Alt, 'x'}));
    EXPECT_EQ(name(k, "m--"), (KeyName{KeyClass::Alt, '-'}));
    EXPECT_EQ(name(k, "enter"), (KeyName{KeyClass::Enter, 0}));
    EXPECT_EQ(name(k, "ENTER"), (KeyName{KeyClass::Enter, 0}));
    EXPECT_EQ(name(k, "s+c+m-enter"), (KeyName{KeyClass::Enter, 7}));
    EXPECT_EQ(name(k, "c+m-Enter"), (KeyName{KeyClass::Enter, 6}));
    EXPECT_EQ(name(k, "leftarrow"), (KeyName{KeyClass::R, 10}));
    EXPECT_EQ(name(k, "rightarrow"), (KeyName{KeyClass::R, 12}));
    EXPECT_EQ(name(k, "uparrow"), (KeyName{KeyClass::R, 8}));
    EXPECT_EQ(name(k, "downarrow"), (KeyName{KeyClass::R, 14}));
    EXPECT_EQ(name(k, "printscreen"), (KeyName{KeyClass::R, 1}));
    EXPECT_EQ(name(k, "scrolllock"), (KeyName{KeyClass::R, 2}));
    EXPECT_EQ(name(k, "pause"), (KeyName{KeyClass::R, 3}));
    EXPECT_EQ(name(k, "home"), (KeyName{KeyClass::R, 7}));
    EXPECT_EQ(name(k, "end"), (KeyName{KeyClass::R, 13}));
    EXPECT_EQ(name(k, "pageup"), (KeyName{KeyClass::R, 9}));
    EXPECT_EQ(name(k, "PageDown"), (KeyName{KeyClass::R, 15}));
    EXPECT_EQ(name(k, "s-leftarrow"), (KeyName{KeyClass::R, 25}));
    EXPECT_EQ(name(k, "c-home"), (KeyName{KeyClass::R, 37}));
}

TEST(KeyNames, KeyboardTypeDecidesEnd) {
    KeyTables k;
    ASSERT_EQ(set_keyboard_type(k, "sun"), 0);
    EXPECT_EQ(name(k, "end"), (KeyName{KeyClass::R, 13}));
    ASSERT_EQ(set_keyboard_type(k, "DEC"), 0);
    EXPECT_EQ(k.keyboard_type, "dec");
    EXPECT_FALSE(name(k, "end"));
    ASSERT_EQ(set_keyboard_type(k, "sequent"), 0);
    EXPECT_FALSE(name(k, "end"));
    EXPECT_EQ(name(k, "home"), (KeyName{KeyClass::R, 7}));
}

TEST(KeyNames, UnknownKeyboardTypeGives48AndKeepsTheType) {
    KeyTables k;
    EXPECT_EQ(set_keyboard_type(k, "amiga"), kKeyMsgInvalidKeyboardType);
    EXPECT_EQ(set_keyboard_type(k, ""), kKeyMsgInvalidKeyboardType);
    EXPECT_EQ(k.keyboard_type, "linux");
}

TEST(KeyNames, KeyboardNamesBeyondTheCountAreRejected) {
    KeyTables k;
    ASSERT_EQ(set_key(k, "NBKEYS 10 12 14"), 0);
    EXPECT_FALSE(name(k, "pagedown"));
    EXPECT_EQ(name(k, "downarrow"), (KeyName{KeyClass::R, 14}));
}

TEST(KeyNames, CountsBound) {
    KeyTables k;
    EXPECT_TRUE(name(k, "f12"));
    EXPECT_FALSE(name(k, "f13"));
    EXPECT_TRUE(name(k, "l10"));
    EXPECT_FALSE(name(k, "l11"));
    ASSERT_EQ(set_key(k, "NBKEYS 15 24 15"), 0);
    EXPECT_TRUE(name(k, "f24"));
    EXPECT_TRUE(name(k, "l15"));
    EXPECT_FALSE(name(k, "f25"));
}

TEST(KeyNames, IsKeySetting) {
    for (const char* w :
         {"f1",        "F99",  "pf13",       "s-f1",      "^a",        "m-x",    "enter",
          "S+C-ENTER", "home", "End",        "leftarrow", "backspace", "NBKEYS", "server",
          "ins",       "caps", "prev_field", "eof",       "r7",        "l-a"}) {
        EXPECT_TRUE(is_key_setting(w)) << w;
    }
    for (const char* w : {"", "trunc", "wrap", "number", "zone", "prefix", "pf", "rw", "lrecl", "f",
                          "^", "s-", "enterx", "x-f1", "s-pf1", "keyboard"}) {
        EXPECT_FALSE(is_key_setting(w)) << w;
    }
}

// ---------------------------------------------------------------------------
// SET key definitions

TEST(SetKey, Pf13AndShiftF1AreTheSameEntry) {
    KeyTables a, b;
    ASSERT_EQ(set_key(a, "PF13 command top"), 0);
    ASSERT_EQ(set_key(b, "S-F1 command top"), 0);
    EXPECT_EQ(a, b);
    EXPECT_EQ(f_entry(a, 13).definition, "command top");
    EXPECT_EQ(f_entry(a, 13).mode, KeyMode::Before);
}

TEST(SetKey, DefaultModeRule) {
    struct Case {
        const char* definition;
        KeyMode mode;
    };
    const Case cases[] = {
        {"?", KeyMode::Only},           {"?i", KeyMode::Only},           {"=", KeyMode::Only},
        {"=x", KeyMode::Only},          {"locate /x/", KeyMode::Before}, {"compl", KeyMode::Only},
        {"COMPLETE", KeyMode::Only},    {"Comple word", KeyMode::Only},  {"comp", KeyMode::Before},
        {"completed", KeyMode::Before}, {"command ?", KeyMode::Before},
    };
    for (const Case& c : cases) {
        KeyTables k;
        ASSERT_EQ(set_key(k, std::string("F5 ") + c.definition), 0) << c.definition;
        EXPECT_EQ(f_entry(k, 5).definition, c.definition);
        EXPECT_EQ(f_entry(k, 5).mode, c.mode) << c.definition;
    }
}

TEST(SetKey, ExplicitModeWords) {
    KeyTables k;
    ASSERT_EQ(set_key(k, "F5 only locate /x/"), 0);
    EXPECT_EQ(f_entry(k, 5).mode, KeyMode::Only);
    ASSERT_EQ(set_key(k, "F5 AFTER locate /x/"), 0);
    EXPECT_EQ(f_entry(k, 5).mode, KeyMode::After);
    ASSERT_EQ(set_key(k, "F5 Ignore ?"), 0);
    EXPECT_EQ(f_entry(k, 5).mode, KeyMode::Ignore);
    EXPECT_EQ(f_entry(k, 5).definition, "?");
    ASSERT_EQ(set_key(k, "F5 before   =  "), 0);
    EXPECT_EQ(f_entry(k, 5).mode, KeyMode::Before);
    EXPECT_EQ(f_entry(k, 5).definition, "=  ");
    ASSERT_EQ(set_key(k, "F5 onlyx"), 0); // not a mode word
    EXPECT_EQ(f_entry(k, 5).definition, "onlyx");
}

TEST(SetKey, EmptyDefinitionRemoves) {
    KeyTables k;
    ASSERT_EQ(set_key(k, "F1"), 0);
    EXPECT_EQ(f_entry(k, 1).definition, "");
    EXPECT_EQ(f_entry(k, 1).mode, KeyMode::Only);
    ASSERT_EQ(set_key(k, "s-f2 ignore   "), 0);
    EXPECT_EQ(f_entry(k, 14).definition, "");
    ASSERT_EQ(set_key(k, "enter ignore command down"), 0);
    ASSERT_EQ(set_key(k, "enter"), 0);
    EXPECT_EQ(k.enter_keys[0].definition, "");
    EXPECT_EQ(k.enter_keys[0].mode, KeyMode::Before);
}

TEST(SetKey, CharacterTablesAndCapturedFlag) {
    KeyTables k;
    ASSERT_EQ(set_key(k, "^b command bottom"), 0);
    ASSERT_EQ(set_key(k, "^B command top"), 0);
    EXPECT_EQ(k.control_keys['b'].definition, "command bottom");
    EXPECT_EQ(k.control_keys['B'].definition, "command top");
    ASSERT_EQ(set_key(k, "m-q command qquit"), 0);
    EXPECT_TRUE(k.alt_keys['q'].captured);
    EXPECT_FALSE(k.alt_keys['Q'].captured);
    ASSERT_EQ(set_key(k, "m-q"), 0);
    EXPECT_FALSE(k.alt_keys['q'].captured);
    ASSERT_EQ(set_key(k, "M-u"), 0);
    EXPECT_FALSE(k.alt_keys['u'].captured);
    EXPECT_EQ(k.alt_keys['u'].definition, "");
}

TEST(SetKey, EnterByModifiers) {
    KeyTables k;
    ASSERT_EQ(set_key(k, "S-ENTER command down"), 0);
    ASSERT_EQ(set_key(k, "m+c+s-enter command up"), 0);
    EXPECT_EQ(k.enter_keys[1].definition, "command down");
    EXPECT_EQ(k.enter_keys[7].definition, "command up");
    EXPECT_EQ(k.enter_keys[0].definition, "");
}

TEST(SetKey, KeyboardNameDefinesItsRKey) {
    KeyTables k;
    ASSERT_EQ(set_key(k, "s-home command top"), 0);
    EXPECT_EQ(r_entry(k, 7 + 15).definition, "command top");
    ASSERT_EQ(set_key(k, "pagedown command pgdown"), 0);
    EXPECT_EQ(r_entry(k, 15).definition, "command pgdown");
}

TEST(SetKey, MalformedNamesGive16AndLeaveTablesUnchanged) {
    const char* bad[] = {
        "f0 x",        "f13 x",   "f25 x",        "l11 x",    "r16 x",  "pf0 x",
        "pf97 x",      "s-pf1 x", "s-^a x",       "^ x",      "^ab x",  "x1 x",
        "f x",         "fx x",    "f1x x",        "s- x",     "q-f1 x", "s+s-f1 x",
        "s-a x",       "c-a x",   "s+c+m+s-f1 x", "enter1 x", "f-1 x",  "f+1 x",
        "f99999999 x", "s-m-a x", "l-l-f1 x",     "m- x",     "pf x",   "s-enterx x",
        "c-^a x",      "s-f0 x",  "s+c-f13 x",    "pf1x x",   "",       "   ",
    };
    for (const char* operands : bad) {
        KeyTables k;
        const KeyTables before = k;
        EXPECT_EQ(set_key(k, operands), kKeyMsgInvalidParameters) << operands;
        EXPECT_EQ(k, before) << operands;
    }
}

TEST(SetKey, EndOnDecGives16) {
    KeyTables k;
    ASSERT_EQ(set_keyboard_type(k, "dec"), 0);
    const KeyTables before = k;
    EXPECT_EQ(set_key(k, "end command bot"), kKeyMsgInvalidParameters);
    EXPECT_EQ(k, before);
}

// ---------------------------------------------------------------------------
// Field functions, Backspace, server

TEST(FieldFunctions, BindAndList) {
    KeyTables k;
    ASSERT_EQ(set_key(k, "HOME f3"), 0);
    EXPECT_EQ(k.field_keys[0], (FieldKey{FieldKeyKind::F, 3}));
    ASSERT_EQ(set_key(k, "ins s+c-r7"), 0);
    EXPECT_EQ(k.field_keys[3], (FieldKey{FieldKeyKind::R, 7, true, true, false}));
    ASSERT_EQ(set_key(k, "eof pf14"), 0); // Shift+F2
    EXPECT_EQ(k.field_keys[8], (FieldKey{FieldKeyKind::F, 2, true}));
    ASSERT_EQ(set_key(k, "caps c-pf14"), 0);
    EXPECT_EQ(k.field_keys[4], (FieldKey{FieldKeyKind::F, 2, true, true}));
    ASSERT_EQ(set_key(k, "apl m-escape"), 0);
    EXPECT_EQ(k.field_keys[5], (FieldKey{FieldKeyKind::Escape, 0, false, false, true}));
    ASSERT_EQ(set_key(k, "up_field lf"), 0);
    EXPECT_EQ(k.field_keys[7], (FieldKey{FieldKeyKind::Lf}));
    ASSERT_EQ(set_key(k, "down_field alt"), 0);
    EXPECT_EQ(k.field_keys[6], (FieldKey{FieldKeyKind::Alt}));
    ASSERT_EQ(set_key(k, "prev_field ^q"), 0);
    EXPECT_EQ(k.field_keys[2], (FieldKey{FieldKeyKind::Control, 'q'}));
    ASSERT_EQ(set_key(k, "ihome uparrow"), 0);
    EXPECT_EQ(k.field_keys[1], (FieldKey{FieldKeyKind::R, 8}));
    ASSERT_EQ(set_key(k, "ihome"), 0); // no key: unbound
    EXPECT_EQ(k.field_keys[1], FieldKey{});
}

TEST(FieldFunctions, MalformedKeysGive16) {
    const char* bad[] = {"home f13",  "home ^A",      "home s-^a", "home f3 extra",
                         "home pf97", "home escape1", "home ^1",   "home enter",
                         "home m-a",  "home s-",      "home c-x"};
    for (const char* operands : bad) {
        KeyTables k;
        ASSERT_EQ(set_key(k, "home f5"), 0);
        const KeyTables before = k;
        EXPECT_EQ(set_key(k, operands), kKeyMsgInvalidParameters) << operands;
        EXPECT_EQ(k, before) << operands;
    }
}

TEST(FieldFunctions, DefiningF3RemovesItFromTheSlot) {
    KeyTables k;
    ASSERT_EQ(set_key(k, "home f3"), 0);
    ASSERT_EQ(set_key(k, "ins s-f3"), 0);
    ASSERT_EQ(set_key(k, "F3 command save"), 0);
    EXPECT_EQ(k.field_keys[0], FieldKey{});
    EXPECT_EQ(k.field_keys[3], (FieldKey{FieldKeyKind::F, 3, true})); // other modifiers stay
}

TEST(FieldFunctions, PfNameClearsTheSameKey) {
    KeyTables k;
    ASSERT_EQ(set_key(k, "ins s-f3"), 0);
    ASSERT_EQ(set_key(k, "pf15 command x"), 0);
    EXPECT_EQ(k.field_keys[3], FieldKey{});
}

TEST(FieldFunctions, RemovingADefinitionKeepsTheSlot) {
    KeyTables k;
    ASSERT_EQ(set_key(k, "home f3"), 0);
    ASSERT_EQ(set_key(k, "F3"), 0);
    EXPECT_EQ(k.field_keys[0], (FieldKey{FieldKeyKind::F, 3}));
}

TEST(FieldFunctions, ControlLetterDefinitionClearsTheSlot) {
    KeyTables k;
    ASSERT_EQ(set_key(k, "eof ^q"), 0);
    ASSERT_EQ(set_key(k, "^Q command x"), 0); // another character
    EXPECT_EQ(k.field_keys[8], (FieldKey{FieldKeyKind::Control, 'q'}));
    ASSERT_EQ(set_key(k, "^q command x"), 0);
    EXPECT_EQ(k.field_keys[8], FieldKey{});
}

TEST(Backspace, OnlyTheTwoCharacters) {
    KeyTables k;
    EXPECT_EQ(k.backspace, 127);
    ASSERT_EQ(set_key(k, "BACKSPACE ^h"), 0);
    EXPECT_EQ(k.backspace, 8);
    ASSERT_EQ(set_key(k, "backspace ^?"), 0);
    EXPECT_EQ(k.backspace, 127);
    for (const char* bad : {"backspace", "backspace ^x", "backspace ^h ^?", "backspace h"}) {
        const KeyTables before = k;
        EXPECT_EQ(set_key(k, bad), kKeyMsgInvalidParameters) << bad;
        EXPECT_EQ(k, before);
    }
}

TEST(Server, StoredAsGiven) {
    KeyTables k;
    ASSERT_EQ(set_key(k, "SERVER  host:1234 "), 0);
    EXPECT_EQ(k.server, "host:1234");
    ASSERT_EQ(set_key(k, "server"), 0);
    EXPECT_EQ(k.server, "");
}

// ---------------------------------------------------------------------------
// NBKEYS

TEST(NbKeys, Bounds) {
    KeyTables k;
    EXPECT_EQ(set_key(k, "NBKEYS 15 24 15"), 0);
    EXPECT_EQ(k.nl, 15);
    EXPECT_EQ(k.nf, 24);
    EXPECT_EQ(k.nr, 15);
    EXPECT_EQ(set_key(k, "NBKEYS 1 1 1"), 0);
    const char* bad[] = {"NBKEYS 16 24 15", "NBKEYS 15 25 15", "NBKEYS 15 24 16",
                         "NBKEYS 0 12 15",  "NBKEYS 10 0 15",  "NBKEYS 10 12 0",
                         "NBKEYS",          "NBKEYS 10 12",    "NBKEYS 10 12 15 4",
                         "NBKEYS a 12 15",  "NBKEYS -1 12 15", "NBKEYS 10 12.0 15"};
    for (const char* operands : bad) {
        KeyTables t;
        const KeyTables before = t;
        EXPECT_EQ(set_key(t, operands), kKeyMsgInvalidNumbers) << operands;
        EXPECT_EQ(t, before) << operands;
    }
}

TEST(NbKeys, RebuildKeepsKeyNumberAndGroup) {
    KeyTables k;
    ASSERT_EQ(set_key(k, "F12 ignore command twelve"), 0);
    ASSERT_EQ(set_key(k, "S+C+M-F12 after command last"), 0);
    ASSERT_EQ(set_key(k, "NBKEYS 10 24 15"), 0);
    ASSERT_EQ(k.f_keys.size(), 192u);
    EXPECT_EQ(f_entry(k, 1).definition, "quit");
    EXPECT_EQ(f_entry(k, 1 + 24).definition, "command c_lineadd");   // still Shift+F1
    EXPECT_EQ(f_entry(k, 9 + 72).definition, "command showhistory"); // still Alt+F9
    EXPECT_EQ(f_entry(k, 12).definition, "command twelve");
    EXPECT_EQ(f_entry(k, 12).mode, KeyMode::Ignore);
    EXPECT_EQ(f_entry(k, 12 + 24 * 7).definition, "command last");
    EXPECT_EQ(f_entry(k, 12 + 24 * 7).mode, KeyMode::After);
    EXPECT_EQ(f_entry(k, 13).definition, ""); // new keys start undefined
    EXPECT_EQ(f_entry(k, 24 + 24).definition, "");
    // Keys beyond a smaller count lose their definitions for good.
    ASSERT_EQ(set_key(k, "NBKEYS 10 11 15"), 0);
    ASSERT_EQ(set_key(k, "NBKEYS 10 12 15"), 0);
    EXPECT_EQ(f_entry(k, 12).definition, "");
    EXPECT_EQ(f_entry(k, 11).definition, "command compress");
    EXPECT_EQ(f_entry(k, 13).definition, "command c_lineadd");
}

TEST(NbKeys, RebuildKeepsLAndRKeys) {
    KeyTables k;
    ASSERT_EQ(set_key(k, "NBKEYS 15 12 10"), 0);
    EXPECT_EQ(l_entry(k, 1 + 15).definition, "command help");
    EXPECT_EQ(l_entry(k, 3 + 75).definition, "s_find");
    EXPECT_EQ(r_entry(k, 10 + 20).definition, "command prevword");
    EXPECT_EQ(r_entry(k, 8 + 10).definition, "macro extsel_up");
    EXPECT_FALSE(parse_key_name(k, "c-r12"));
}

TEST(NbKeys, UnbindsFieldFunctionsOfVanishedKeys) {
    KeyTables k;
    ASSERT_EQ(set_key(k, "home f12"), 0);
    ASSERT_EQ(set_key(k, "ins f2"), 0);
    ASSERT_EQ(set_key(k, "NBKEYS 10 11 15"), 0);
    EXPECT_EQ(k.field_keys[0], FieldKey{});
    EXPECT_EQ(k.field_keys[3], (FieldKey{FieldKeyKind::F, 2}));
}

// ---------------------------------------------------------------------------
// Listing

TEST(Listing, EmptyTablesListTheFixedLines) {
    KeyTables k = empty_tables();
    std::vector<std::string> expected = {
        "SET BACKSPACE   ^?",
        "SET NBKEYS      10 12 15",
        "SET SERVER      ",
    };
    EXPECT_EQ(key_listing(k), expected);
}

TEST(Listing, EveryFormatByteForByte) {
    KeyTables k = empty_tables();
    const char* settings[] = {
        "m-b x13",          "^b x12",          "ENTER ignore command down",
        "S+C+M-ENTER x15",  "l3 x10",          "S+C+M-F12 x8",
        "S+M-F12 x5",       "F1 quit",         "C+M-F3 x6",
        "S-F12 only x2",    "M-F10 ignore x4", "S+C-F11 after x3",
        "R10 x9",           "C-F1 x1",         "^A x11",
        "M-A x14",          "backspace ^h",    "server here",
        "eof s+c+m-f1",     "home f3",         "ins ^z",
        "apl r-escape",     "caps s-lf",       "down_field c+m-l2",
        "r15 x7",           "s-enter ?",       "m-enter x16",
        "c-enter x17",      "s+c-enter x18",   "s+m-enter x19",
        "c+m-enter x20",    "ihome s+m-r1",    "prev_field alt",
        "up_field m+c-alt",
    };
    for (const char* s : settings)
        ASSERT_EQ(set_key(k, s), 0) << s;
    std::vector<std::string> expected = {
        "SET F1          BEFORE quit", "SET S-F12       ONLY x2",
        "SET C-F1        BEFORE x1",   "SET M-F10       IGNORE x4",
        "SET S+C-F11     AFTER x3",    "SET S+M-F12     BEFORE x5",
        "SET C+M-F3      BEFORE x6",   "SET S+C+M-F12   BEFORE x8",
        "SET R10         BEFORE x9",   "SET R15         BEFORE x7",
        "SET L3          BEFORE x10",  "SET ^A          BEFORE x11",
        "SET ^b          BEFORE x12",  "SET M-A         BEFORE x14",
        "SET M-b         BEFORE x13",  "SET ENTER       IGNORE command down",
        "SET S-ENTER     ONLY ?",      "SET C-ENTER     BEFORE x17",
        "SET M-ENTER     BEFORE x16",  "SET S+C-ENTER   BEFORE x18",
        "SET S+M-ENTER   BEFORE x19",  "SET C+M-ENTER   BEFORE x20",
        "SET S+C+M-ENTER BEFORE x15",  "SET HOME        F3",
        "SET IHOME       S+M-R1",      "SET PREV_FIELD  ALT",
        "SET INS         ^z",          "SET CAPS        S-LF",
        "SET APL         M-ESCAPE",    "SET DOWN_FIELD  C+M-L2",
        "SET UP_FIELD    C+M-ALT",     "SET EOF         S+C+M-F1",
        "SET BACKSPACE   ^h",          "SET NBKEYS      10 12 15",
        "SET SERVER      here",
    };
    EXPECT_EQ(key_listing(k), expected);
}

TEST(Listing, EnterNamesArePaddedToSixteen) {
    // "SET ENTER" and friends fill 16 columns; the mode word follows.
    KeyTables k = empty_tables();
    ASSERT_EQ(set_key(k, "enter only x"), 0);
    auto lines = key_listing(k);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "SET ENTER       ONLY x");
    EXPECT_EQ(lines[0].find("ONLY"), 16u);
}

TEST(Listing, KeyNumbersLeftJustified) {
    KeyTables k = empty_tables();
    ASSERT_EQ(set_key(k, "NBKEYS 15 24 15"), 0);
    ASSERT_EQ(set_key(k, "s+c+m-f24 x"), 0);
    ASSERT_EQ(set_key(k, "s-l15 y"), 0);
    auto lines = key_listing(k);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0], "SET S+C+M-F24   BEFORE x");
    EXPECT_EQ(lines[1], "SET S-L15       BEFORE y");
}

TEST(Listing, DefaultTablesStartWithTheFKeysAndRoundTrip) {
    KeyTables k;
    auto lines = key_listing(k);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "SET F1          ONLY quit");
    EXPECT_EQ(lines[12], "SET S-F1        ONLY command c_lineadd");
    // Reading the listing back, line by line, into empty tables gives the same tables.
    KeyTables copy = empty_tables();
    for (const std::string& line : lines) {
        ASSERT_EQ(line.substr(0, 4), "SET ");
        ASSERT_EQ(set_key(copy, std::string_view(line).substr(4)), 0) << line;
    }
    EXPECT_EQ(key_listing(copy), lines);
    EXPECT_EQ(copy, k);
}

TEST(Listing, RoundTripOfEveryKindOfLine) {
    KeyTables k;
    for (const char* s :
         {"NBKEYS 12 20 14", "s+c-l12 after a", "c+m-r14 ignore b", "enter ignore command down",
          "m-Z c", "^~ d", "home s-r7", "eof ^a", "backspace ^h", "server srv"}) {
        ASSERT_EQ(set_key(k, s), 0) << s;
    }
    auto lines = key_file_lines(k);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "SET NBKEYS      12 20 14");
    KeyTables copy = empty_tables();
    for (const std::string& line : lines) {
        ASSERT_EQ(set_key(copy, std::string_view(line).substr(4)), 0) << line;
    }
    EXPECT_EQ(key_listing(copy), key_listing(k));
}

TEST(Listing, KeyFileIsTheListingWithTheCountsFirst) {
    KeyTables k;
    auto listing = key_listing(k);
    auto file = key_file_lines(k);
    ASSERT_EQ(file.size(), listing.size());
    EXPECT_EQ(file.front(), "SET NBKEYS      10 12 15");
    EXPECT_EQ(listing[listing.size() - 2], "SET NBKEYS      10 12 15");
    EXPECT_EQ(std::vector<std::string>(file.begin() + 1, file.end() - 1),
              std::vector<std::string>(listing.begin(), listing.end() - 2));
    EXPECT_EQ(file.back(), listing.back());
}

// ---------------------------------------------------------------------------
// Executing a key

struct Recorder {
    std::vector<std::string> log;
    int run_rc = 0;
    std::function<int(std::string_view)> run() {
        return [this](std::string_view s) {
            log.push_back("run:" + std::string(s));
            return run_rc;
        };
    }
    std::function<void(std::string_view)> history() {
        return [this](std::string_view s) { log.push_back("history:" + std::string(s)); };
    }
};

std::vector<std::string> exec(std::string_view def, KeyMode mode, std::string_view text,
                              bool plain_enter = false) {
    Recorder r;
    execute_key(def, mode, text, r.run(), r.history(), plain_enter);
    return r.log;
}

using Log = std::vector<std::string>;

TEST(ExecuteKey, Only) {
    EXPECT_EQ(exec("command top", KeyMode::Only, "next 3"), (Log{"run:command top"}));
    EXPECT_EQ(exec("", KeyMode::Only, "next 3"), Log{});
    EXPECT_EQ(exec("", KeyMode::Only, "next 3", true), (Log{"history:next 3", "run:next 3"}));
    EXPECT_EQ(exec("command top", KeyMode::Only, "next 3", true), (Log{"run:command top"}));
}

TEST(ExecuteKey, After) {
    EXPECT_EQ(exec("command top", KeyMode::After, "next 3"),
              (Log{"history:next 3", "run:next 3", "run:command top"}));
    EXPECT_EQ(exec("command top", KeyMode::After, ""), (Log{"run:command top"}));
    EXPECT_EQ(exec("", KeyMode::After, "next 3"), (Log{"history:next 3", "run:next 3"}));
}

TEST(ExecuteKey, BeforeRunsTheTextAfterTheDefinition) {
    EXPECT_EQ(exec("locate /x/", KeyMode::Before, "change /x/y/"),
              (Log{"run:locate /x/", "history:change /x/y/", "run:change /x/y/"}));
    EXPECT_EQ(exec("", KeyMode::Before, "top"), (Log{"history:top", "run:top"}));
    EXPECT_EQ(exec("", KeyMode::Before, "   "), Log{});
}

TEST(ExecuteKey, IgnoreEnter) {
    KeyTables k;
    ASSERT_EQ(set_key(k, "enter ignore command down"), 0);
    auto binding = lookup_key(k, KeyId{KeyClass::Enter});
    ASSERT_TRUE(binding);
    EXPECT_TRUE(binding->plain_enter);
    EXPECT_EQ(exec(binding->definition, binding->mode, "", true), (Log{"run:command down"}));
    EXPECT_EQ(exec(binding->definition, binding->mode, "top", true),
              (Log{"history:top", "run:top"}));
}

TEST(ExecuteKey, DefaultEnterRunsTheCommandLine) {
    KeyTables k;
    auto binding = lookup_key(k, KeyId{KeyClass::Enter});
    ASSERT_TRUE(binding);
    EXPECT_EQ(exec(binding->definition, binding->mode, "c/a/b/", true),
              (Log{"history:c/a/b/", "run:c/a/b/"}));
}

TEST(ExecuteKey, HistorySkipsEqualsButStillRuns) {
    EXPECT_EQ(exec("", KeyMode::Before, "="), (Log{"run:="}));
    EXPECT_EQ(exec("", KeyMode::Before, "=top"), (Log{"run:=top"}));
    EXPECT_EQ(exec("", KeyMode::Ignore, " =top"), (Log{"run: =top"}));
}

TEST(ExecuteKey, ReturnsTheLastReturnCode) {
    Recorder r;
    r.run_rc = 4;
    EXPECT_EQ(execute_key("x", KeyMode::Before, "y", r.run(), r.history(), false), 4);
    EXPECT_EQ(execute_key("", KeyMode::Only, "y", r.run(), r.history(), false), 0);
}

// ---------------------------------------------------------------------------
// Lookup

TEST(LookupKey, NumberedKeysByModifiers) {
    KeyTables k;
    auto f1 = lookup_key(k, KeyId{KeyClass::F, 1});
    ASSERT_TRUE(f1);
    EXPECT_EQ(f1->definition, "quit");
    EXPECT_FALSE(f1->plain_enter);
    auto sf1 = lookup_key(k, KeyId{KeyClass::F, 1, true});
    ASSERT_TRUE(sf1);
    EXPECT_EQ(sf1->definition, "command c_lineadd");
    auto mf9 = lookup_key(k, KeyId{KeyClass::F, 9, false, false, true});
    ASSERT_TRUE(mf9);
    EXPECT_EQ(mf9->definition, "command showhistory");
    auto cr8 = lookup_key(k, KeyId{KeyClass::R, 8, false, true});
    ASSERT_TRUE(cr8);
    EXPECT_EQ(cr8->definition, "macro mvlineup");
    auto sl1 = lookup_key(k, KeyId{KeyClass::L, 1, true});
    ASSERT_TRUE(sl1);
    EXPECT_EQ(sl1->definition, "command help");
    EXPECT_FALSE(lookup_key(k, KeyId{KeyClass::F, 13}));
    EXPECT_FALSE(lookup_key(k, KeyId{KeyClass::F, 0}));
    EXPECT_FALSE(lookup_key(k, KeyId{KeyClass::L, 11}));
}

TEST(LookupKey, CharactersAndEnter) {
    KeyTables k;
    auto ca = lookup_key(k, KeyId{KeyClass::Control, 'a', false, true});
    ASSERT_TRUE(ca);
    EXPECT_EQ(ca->definition, "command c_lineadd");
    auto csa = lookup_key(k, KeyId{KeyClass::Control, 'a', true, true});
    ASSERT_TRUE(csa);
    EXPECT_EQ(csa->definition, "macro adjust_cursor");
    auto mx = lookup_key(k, KeyId{KeyClass::Alt, 'x', false, false, true});
    ASSERT_TRUE(mx);
    EXPECT_EQ(mx->definition, "command s_xed");
    EXPECT_FALSE(lookup_key(k, KeyId{KeyClass::Alt, 0}));
    EXPECT_FALSE(lookup_key(k, KeyId{KeyClass::Control, 256}));
    ASSERT_EQ(set_key(k, "s+c+m-enter command all"), 0);
    auto e7 = lookup_key(k, KeyId{KeyClass::Enter, 0, true, true, true});
    ASSERT_TRUE(e7);
    EXPECT_EQ(e7->definition, "command all");
    EXPECT_FALSE(e7->plain_enter);
    EXPECT_EQ(e7->mode, KeyMode::Before);
}

} // namespace
} // namespace voren

namespace voren {
namespace {

TEST(FieldFunctions, BoundFunctionOfAKey) {
    KeyTables k;
    EXPECT_FALSE(bound_field_function(k.field_keys, FieldKey{}));
    EXPECT_FALSE(bound_field_function(k.field_keys, FieldKey{FieldKeyKind::F, 3}));
    ASSERT_EQ(set_key(k, "ins s-f3"), 0);
    ASSERT_EQ(set_key(k, "eof ^e"), 0);
    EXPECT_EQ(bound_field_function(k.field_keys, FieldKey{FieldKeyKind::F, 3, true}),
              FieldFunctionSlot::Ins);
    EXPECT_EQ(bound_field_function(k.field_keys, FieldKey{FieldKeyKind::Control, 'e'}),
              FieldFunctionSlot::Eof);
    EXPECT_FALSE(bound_field_function(k.field_keys, FieldKey{FieldKeyKind::F, 3}));
}

} // namespace
} // namespace voren

namespace voren {
namespace {

TEST(ExecuteKey, LocateKeyRunsTheCommandLineAfterwards) {
    KeyTables k;
    ASSERT_EQ(set_key(k, "F5 locate /x/"), 0);
    auto f5 = lookup_key(k, KeyId{KeyClass::F, 5});
    ASSERT_TRUE(f5);
    EXPECT_EQ(f5->mode, KeyMode::Before);
    Log log;
    execute_key(
        f5->definition, f5->mode, "next",
        [&](std::string_view s) {
            log.push_back("run:" + std::string(s));
            return 0;
        },
        [&](std::string_view s) { log.push_back("history:" + std::string(s)); }, f5->plain_enter);
    EXPECT_EQ(log, (Log{"run:locate /x/", "history:next", "run:next"}));

    ASSERT_EQ(set_key(k, "F5 ?"), 0);
    f5 = lookup_key(k, KeyId{KeyClass::F, 5});
    ASSERT_TRUE(f5);
    EXPECT_EQ(f5->mode, KeyMode::Only);
    EXPECT_EQ(exec(f5->definition, f5->mode, "next"), (Log{"run:?"}));
}

} // namespace
} // namespace voren
