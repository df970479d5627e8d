// Terminal byte sequences to keys.
#include "platform/term_keys.h"

#include <gtest/gtest.h>

namespace voren::platform {
namespace {

KeyDecodeOptions utf8;

// The name of the key the whole byte string decodes to; "" when it decodes to
// something shorter than the string, "MORE" when it is incomplete.
std::string name(std::string_view bytes, bool more = true, const KeyDecodeOptions& options = utf8) {
    KeyDecoding d = decode_key(bytes, options, more);
    if (!d.complete) return "MORE";
    if (d.length != bytes.size()) return "short:" + std::to_string(d.length);
    return key_name(d.key);
}

TEST(KeyDecoding, PlainCharacters) {
    EXPECT_EQ(name("a"), "a");
    EXPECT_EQ(name(" "), " ");
    EXPECT_EQ(name("~"), "~");
    KeyDecoding d = decode_key("abc", utf8, true);
    EXPECT_EQ(d.length, 1u);
    EXPECT_EQ(d.key.code, 'a');
}

TEST(KeyDecoding, Utf8IsTakenAsLatinOne) {
    KeyDecoding d = decode_key("\xc3\xa9", utf8, true); // é
    ASSERT_TRUE(d.complete);
    EXPECT_EQ(d.key.kind, KeyKind::Char);
    EXPECT_EQ(d.key.code, 0xe9);
    EXPECT_EQ(d.length, 2u);
    EXPECT_EQ(name("\xc3"), "MORE");
    EXPECT_EQ(name("\xe2\x82\xac"), "NONE"); // the euro sign has no byte
    EXPECT_EQ(name("\xc2\x85"), "NONE");     // C1 controls cannot be typed
    EXPECT_EQ(name("\x80"), "NONE");         // stray continuation byte
    KeyDecodeOptions latin1;
    latin1.utf8 = false;
    d = decode_key("\xe9", latin1, true);
    EXPECT_EQ(d.key.code, 0xe9);
}

TEST(KeyDecoding, ControlBytes) {
    EXPECT_EQ(name("\x01"), "^a");
    EXPECT_EQ(name("\x1a"), "^z");
    EXPECT_EQ(name("\x0d"), "ENTER");
    EXPECT_EQ(name("\x09"), "TAB");
    EXPECT_EQ(name("\x0a"), "^j");
    EXPECT_EQ(name(std::string_view("\0", 1)), "^@");
    EXPECT_EQ(name("\x1c"), "^\\");
    EXPECT_EQ(name("\x1f"), "^_");
}

TEST(KeyDecoding, BackspaceFollowsTheSetting) {
    EXPECT_EQ(name("\x7f"), "BACKSPACE");
    EXPECT_EQ(name("\x08"), "^h");
    KeyDecodeOptions ctrl_h;
    ctrl_h.backspace_byte = 0x08;
    EXPECT_EQ(name("\x08", true, ctrl_h), "BACKSPACE");
    EXPECT_EQ(name("\x7f", true, ctrl_h), "^?");
}

TEST(KeyDecoding, EscapeAloneNeedsAPause) {
    EXPECT_EQ(name("\x1b"), "MORE");
    EXPECT_EQ(name("\x1b", false), "ESCAPE");
}

TEST(KeyDecoding, AltIsEscapeThenCharacter) {
    EXPECT_EQ(name("\x1bx"), "M-x");
    EXPECT_EQ(name("\x1bX"), "M-X");
    EXPECT_EQ(name("\x1b+"), "M-+");
    KeyDecoding d = decode_key("\x1b\xc3\xa9", utf8, true);
    EXPECT_EQ(d.key.kind, KeyKind::Alt);
    EXPECT_EQ(d.key.code, 0xe9);
    EXPECT_EQ(name("\x1b\x0d"), "M-ENTER");
    EXPECT_EQ(name("\x1b\x01"), "M-^a");
    d = decode_key("\x1b\x01", utf8, true);
    EXPECT_EQ(d.key.kind, KeyKind::Control);
    EXPECT_EQ(d.key.code, 'a');
    EXPECT_EQ(d.key.modifiers, ModAlt);
    // ESC [ and ESC O alone are Alt+[ and Alt+O once the terminal is quiet.
    EXPECT_EQ(name("\x1b["), "MORE");
    EXPECT_EQ(name("\x1b[", false), "M-[");
    EXPECT_EQ(name("\x1bO", false), "M-O");
}

TEST(KeyDecoding, FunctionKeysWithModifiers) {
    EXPECT_EQ(name("\x1bOP"), "F1");
    EXPECT_EQ(name("\x1bOS"), "F4");
    EXPECT_EQ(name("\x1b[1;2P"), "S-F1");
    EXPECT_EQ(name("\x1b[1;5Q"), "C-F2");
    EXPECT_EQ(name("\x1b[1;3R"), "M-F3");
    EXPECT_EQ(name("\x1b[1;8S"), "S+C+M-F4");
    EXPECT_EQ(name("\x1b[15~"), "F5");
    EXPECT_EQ(name("\x1b[17~"), "F6");
    EXPECT_EQ(name("\x1b[21~"), "F10");
    EXPECT_EQ(name("\x1b[23;2~"), "S-F11");
    EXPECT_EQ(name("\x1b[24;6~"), "S+C-F12");
    EXPECT_EQ(name("\x1b[24;7~"), "C+M-F12");
    EXPECT_EQ(name("\x1b[20;4~"), "S+M-F9");
    EXPECT_EQ(name("\x1b[17;9~"), "M-F6"); // Meta counts as Alt
    // VT220 / rxvt numbering of F1..F4 and the higher keys.
    EXPECT_EQ(name("\x1b[11~"), "F1");
    EXPECT_EQ(name("\x1b[25~"), "F13");
    EXPECT_EQ(name("\x1b[34~"), "F20");
    // The Linux console.
    EXPECT_EQ(name("\x1b[[A"), "F1");
    EXPECT_EQ(name("\x1b[[E"), "F5");
    EXPECT_EQ(name("\x1b[["), "MORE");
    // A modifier digit after SS3 (older terminals).
    EXPECT_EQ(name("\x1bO2P"), "S-F1");
}

TEST(KeyDecoding, CursorBlockIsTheRightHandKeys) {
    EXPECT_EQ(name("\x1b[A"), "R8");
    EXPECT_EQ(name("\x1b[B"), "R14");
    EXPECT_EQ(name("\x1b[C"), "R12");
    EXPECT_EQ(name("\x1b[D"), "R10");
    EXPECT_EQ(name("\x1bOA"), "R8");
    EXPECT_EQ(name("\x1b[H"), "R7");
    EXPECT_EQ(name("\x1b[F"), "R13");
    EXPECT_EQ(name("\x1bOH"), "R7");
    EXPECT_EQ(name("\x1b[1~"), "R7");
    EXPECT_EQ(name("\x1b[7~"), "R7");
    EXPECT_EQ(name("\x1b[4~"), "R13");
    EXPECT_EQ(name("\x1b[8~"), "R13");
    EXPECT_EQ(name("\x1b[5~"), "R9");
    EXPECT_EQ(name("\x1b[6~"), "R15");
    EXPECT_EQ(name("\x1b[E"), "R11");
    EXPECT_EQ(name("\x1b[1;5A"), "C-R8");
    EXPECT_EQ(name("\x1b[1;2D"), "S-R10");
    EXPECT_EQ(name("\x1b[5;5~"), "C-R9");
    EXPECT_EQ(name("\x1b[1;3H"), "M-R7");
}

TEST(KeyDecoding, AltBeforeASequenceAddsAlt) {
    EXPECT_EQ(name("\x1b\x1b[A"), "M-R8");
    EXPECT_EQ(name("\x1b\x1bOP"), "M-F1");
    EXPECT_EQ(name("\x1b\x1b"), "MORE");
    EXPECT_EQ(name("\x1b\x1b", false), "M-ESCAPE");
    EXPECT_EQ(decode_key("\x1b\x1b", utf8, false).key.modifiers, ModAlt);
}

TEST(KeyDecoding, EditingKeys) {
    EXPECT_EQ(name("\x1b[2~"), "INSERT");
    EXPECT_EQ(name("\x1b[3~"), "DELETE");
    EXPECT_EQ(name("\x1b[3;5~"), "C-DELETE");
    EXPECT_EQ(name("\x1b[Z"), "S-TAB");
}

TEST(KeyDecoding, KeypadInApplicationMode) {
    EXPECT_EQ(name("\x1bOM"), "ENTER");
    EXPECT_EQ(name("\x1bOp"), "0");
    EXPECT_EQ(name("\x1bOy"), "9");
    EXPECT_EQ(name("\x1bOo"), "/");
    EXPECT_EQ(name("\x1bOj"), "*");
}

TEST(KeyDecoding, ReportedModifiedCharacters) {
    // xterm modifyOtherKeys
    EXPECT_EQ(name("\x1b[27;5;49~"), "^1");
    EXPECT_EQ(name("\x1b[27;6;65~"), "^A"); // Control+Shift+a
    EXPECT_EQ(name("\x1b[27;2;13~"), "S-ENTER");
    EXPECT_EQ(name("\x1b[27;5;13~"), "C-ENTER");
    EXPECT_EQ(name("\x1b[27;3;120~"), "M-x");
    // CSI u
    EXPECT_EQ(name("\x1b[61;5u"), "^=");
    EXPECT_EQ(name("\x1b[97;6u"), "^A");
    EXPECT_EQ(name("\x1b[13;7u"), "C+M-ENTER");
    EXPECT_EQ(name("\x1b[97u"), "a");
    KeyDecoding d = decode_key("\x1b[97;7u", utf8, true); // Control+Alt+a
    EXPECT_EQ(d.key.kind, KeyKind::Control);
    EXPECT_EQ(d.key.code, 'a');
    EXPECT_EQ(d.key.modifiers, ModAlt);
}

TEST(KeyDecoding, IncompleteAndUnknownSequences) {
    EXPECT_EQ(name("\x1b[1;"), "MORE");
    EXPECT_EQ(name("\x1b[1;", false), "NONE");
    EXPECT_EQ(name("\x1b[99~"), "NONE");
    EXPECT_EQ(name("\x1b[<0;3;4M"), "NONE"); // a mouse report is not a key
    // Garbage inside a sequence ends it without swallowing what follows.
    KeyDecoding d = decode_key("\x1b[1\x01", utf8, true);
    EXPECT_TRUE(d.complete);
    EXPECT_EQ(d.key.kind, KeyKind::None);
    EXPECT_EQ(d.length, 3u);
    // Huge numbers do not overflow.
    EXPECT_EQ(name("\x1b[99999999999999999999~"), "NONE");
    EXPECT_EQ(name(""), "MORE");
}

TEST(KeyNames, ModifierGroupsFollowTheKeyTables) {
    EXPECT_EQ(modifier_group(0), 0);
    EXPECT_EQ(modifier_group(ModShift), 1);
    EXPECT_EQ(modifier_group(ModControl), 2);
    EXPECT_EQ(modifier_group(ModAlt), 3);
    EXPECT_EQ(modifier_group(ModShift | ModControl), 4);
    EXPECT_EQ(modifier_group(ModShift | ModAlt), 5);
    EXPECT_EQ(modifier_group(ModControl | ModAlt), 6);
    EXPECT_EQ(modifier_group(ModShift | ModControl | ModAlt), 7);
}

} // namespace
} // namespace voren::platform
