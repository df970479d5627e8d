// Terminal byte sequences to keys.
#include "platform/term_keys.h"

#include <vector>

namespace voren::platform {

static KeyDecoding done(Key key, std::size_t length) {
    return {true, key, length};
}
static KeyDecoding need_more() {
    return {false, {}, 0};
}

static Key make(KeyKind kind, int number = 0, unsigned char code = 0, std::uint8_t mods = 0) {
    Key k;
    k.kind = kind;
    k.number = number;
    k.code = code;
    k.modifiers = mods;
    return k;
}

// xterm's modifier parameter: 1 + (1 Shift, 2 Alt, 4 Control, 8 Meta).
static std::uint8_t xterm_modifiers(int param) {
    if (param < 2) return 0;
    int bits = param - 1;
    std::uint8_t m = 0;
    if (bits & 1) m |= ModShift;
    if (bits & (2 | 8)) m |= ModAlt;
    if (bits & 4) m |= ModControl;
    return m;
}

// A byte below 0x20 (or DEL) typed on its own.
static Key control_byte(unsigned char b, const KeyDecodeOptions& o) {
    if (b == o.backspace_byte) return make(KeyKind::Backspace);
    switch (b) {
    case 0x0d: return make(KeyKind::Enter);
    case 0x09: return make(KeyKind::Tab);
    case 0x1b: return make(KeyKind::Escape);
    case 0x7f: return make(KeyKind::Control, 0, '?');
    case 0x00: return make(KeyKind::Control, 0, '@');
    default: break;
    }
    if (b >= 1 && b <= 26)
        return make(KeyKind::Control, 0, static_cast<unsigned char>('a' + b - 1));
    return make(KeyKind::Control, 0, static_cast<unsigned char>('@' + b)); // 0x1c..0x1f
}

// A character code reported with modifiers (CSI u and modifyOtherKeys forms).
static Key char_with_modifiers(int code, std::uint8_t m) {
    switch (code) {
    case 13: return make(KeyKind::Enter, 0, 0, m);
    case 9: return make(KeyKind::Tab, 0, 0, m);
    case 27: return make(KeyKind::Escape, 0, 0, m);
    case 8:
    case 127: return make(KeyKind::Backspace, 0, 0, m);
    default: break;
    }
    if (code < 32 || code > 255) return make(KeyKind::None);
    unsigned char c = static_cast<unsigned char>(code);
    if (m & ModControl) {
        if (c >= 'A' && c <= 'Z') c = static_cast<unsigned char>(c - 'A' + 'a');
        if ((m & ModShift) && c >= 'a' && c <= 'z') c = static_cast<unsigned char>(c - 'a' + 'A');
        return make(KeyKind::Control, 0, c, static_cast<std::uint8_t>(m & ModAlt));
    }
    if (m & ModAlt) return make(KeyKind::Alt, 0, c);
    return make(KeyKind::Char, 0, c);
}

// Numbers of the "CSI n ~" keys.
static Key tilde_key(int n, std::uint8_t m) {
    switch (n) {
    case 1:
    case 7: return make(KeyKind::R, 7, 0, m); // Home
    case 2: return make(KeyKind::Insert, 0, 0, m);
    case 3: return make(KeyKind::Delete, 0, 0, m);
    case 4:
    case 8: return make(KeyKind::R, 13, 0, m); // End
    case 5: return make(KeyKind::R, 9, 0, m);  // Page Up
    case 6: return make(KeyKind::R, 15, 0, m); // Page Down
    default: break;
    }
    static const int fkeys[][2] = {{11, 1},  {12, 2},  {13, 3},  {14, 4},  {15, 5},
                                   {17, 6},  {18, 7},  {19, 8},  {20, 9},  {21, 10},
                                   {23, 11}, {24, 12}, {25, 13}, {26, 14}, {28, 15},
                                   {29, 16}, {31, 17}, {32, 18}, {33, 19}, {34, 20}};
    for (const auto& f : fkeys)
        if (f[0] == n) return make(KeyKind::F, f[1], 0, m);
    return make(KeyKind::None);
}

// Keys named by the final byte of "CSI 1;m X" and "SS3 X".
static Key letter_key(unsigned char final, std::uint8_t m) {
    switch (final) {
    case 'A': return make(KeyKind::R, 8, 0, m);
    case 'B': return make(KeyKind::R, 14, 0, m);
    case 'C': return make(KeyKind::R, 12, 0, m);
    case 'D': return make(KeyKind::R, 10, 0, m);
    case 'E': return make(KeyKind::R, 11, 0, m); // keypad 5
    case 'H': return make(KeyKind::R, 7, 0, m);
    case 'F': return make(KeyKind::R, 13, 0, m);
    case 'P': return make(KeyKind::F, 1, 0, m);
    case 'Q': return make(KeyKind::F, 2, 0, m);
    case 'R': return make(KeyKind::F, 3, 0, m);
    case 'S': return make(KeyKind::F, 4, 0, m);
    case 'Z': return make(KeyKind::Tab, 0, 0, static_cast<std::uint8_t>(m | ModShift));
    default: return make(KeyKind::None);
    }
}

// Keypad keys in application mode (SS3 j..y, X, M).
static Key keypad_key(unsigned char final) {
    if (final == 'M') return make(KeyKind::Enter);
    if (final >= 'p' && final <= 'y')
        return make(KeyKind::Char, 0, static_cast<unsigned char>('0' + final - 'p'));
    switch (final) {
    case 'j': return make(KeyKind::Char, 0, '*');
    case 'k': return make(KeyKind::Char, 0, '+');
    case 'l': return make(KeyKind::Char, 0, ',');
    case 'm': return make(KeyKind::Char, 0, '-');
    case 'n': return make(KeyKind::Char, 0, '.');
    case 'o': return make(KeyKind::Char, 0, '/');
    case 'X': return make(KeyKind::Char, 0, '=');
    default: return make(KeyKind::None);
    }
}

static KeyDecoding decode_csi(std::string_view s, bool more) {
    // s starts with ESC [
    std::size_t i = 2;
    if (i < s.size() && s[i] == '[') { // Linux console F1..F5: ESC [ [ A..E
        if (i + 1 >= s.size()) return more ? need_more() : done(make(KeyKind::None), s.size());
        unsigned char c = static_cast<unsigned char>(s[i + 1]);
        if (c >= 'A' && c <= 'E') return done(make(KeyKind::F, c - 'A' + 1), i + 2);
        return done(make(KeyKind::None), i + 2);
    }
    std::vector<int> params;
    int value = -1;
    bool private_marker = false;
    for (; i < s.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (c >= '0' && c <= '9') {
            value = (value < 0 ? 0 : value) * 10 + (c - '0');
            if (value > 1000000) value = 1000000;
        } else if (c == ';') {
            params.push_back(value);
            value = -1;
        } else if (c == ':') {
            // Sub-parameters (kitty's alternate keys): keep the first number only.
            while (i + 1 < s.size() && ((s[i + 1] >= '0' && s[i + 1] <= '9') || s[i + 1] == ':'))
                ++i;
        } else if (c >= 0x3c && c <= 0x3f) {
            private_marker = true;
        } else if (c >= 0x20 && c <= 0x2f) {
            // intermediate bytes: not used by any key we know
        } else if (c >= 0x40 && c <= 0x7e) {
            params.push_back(value);
            auto param = [&](std::size_t k, int dflt) {
                return k < params.size() && params[k] >= 0 ? params[k] : dflt;
            };
            std::size_t length = i + 1;
            if (private_marker) return done(make(KeyKind::None), length); // mouse and reports
            std::uint8_t m = xterm_modifiers(param(1, 1));
            if (c == '~') {
                int n = param(0, 0);
                if (n == 27) // modifyOtherKeys: CSI 27 ; m ; code ~
                    return done(char_with_modifiers(param(2, -1), xterm_modifiers(param(1, 1))),
                                length);
                return done(tilde_key(n, m), length);
            }
            if (c == 'u') return done(char_with_modifiers(param(0, -1), m), length);
            return done(letter_key(c, m), length);
        } else {
            return done(make(KeyKind::None), i); // not a key sequence
        }
    }
    if (more) return need_more();
    if (s.size() == 2) return done(make(KeyKind::Alt, 0, '['), 2);
    return done(make(KeyKind::None), s.size());
}

static KeyDecoding decode_ss3(std::string_view s, bool more) {
    // s starts with ESC O; some terminals put a modifier digit before the final byte.
    std::size_t i = 2;
    std::uint8_t m = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
        m = xterm_modifiers(s[i] - '0');
        ++i;
    }
    if (i >= s.size()) {
        if (more) return need_more();
        if (s.size() == 2) return done(make(KeyKind::Alt, 0, 'O'), 2);
        return done(make(KeyKind::None), s.size());
    }
    unsigned char c = static_cast<unsigned char>(s[i]);
    Key k = letter_key(c, m);
    if (k.kind == KeyKind::None) k = keypad_key(c);
    return done(k, i + 1);
}

static KeyDecoding decode_utf8(std::string_view s, const KeyDecodeOptions& o, bool more) {
    unsigned char b = static_cast<unsigned char>(s[0]);
    if (!o.utf8) return done(make(KeyKind::Char, 0, b), 1);
    int extra = b >= 0xf0 && b < 0xf8 ? 3 : b >= 0xe0 ? 2 : b >= 0xc0 ? 1 : -1;
    if (b >= 0xf8) extra = -1;
    if (extra < 0) return done(make(KeyKind::None), 1); // a stray continuation byte
    char32_t cp = b & (0x3f >> extra);
    for (int k = 1; k <= extra; ++k) {
        if (static_cast<std::size_t>(k) >= s.size())
            return more ? need_more() : done(make(KeyKind::None), s.size());
        unsigned char c = static_cast<unsigned char>(s[k]);
        if ((c & 0xc0) != 0x80) return done(make(KeyKind::None), static_cast<std::size_t>(k));
        cp = (cp << 6) | (c & 0x3f);
    }
    std::size_t length = static_cast<std::size_t>(extra) + 1;
    // Text is bytes shown as Latin-1: characters beyond it cannot be typed.
    if (cp < 0xa0 || cp > 0xff) return done(make(KeyKind::None), length);
    return done(make(KeyKind::Char, 0, static_cast<unsigned char>(cp)), length);
}

static KeyDecoding decode_plain(std::string_view s, const KeyDecodeOptions& o, bool more) {
    unsigned char b = static_cast<unsigned char>(s[0]);
    if (b < 0x20 || b == 0x7f || b == o.backspace_byte) return done(control_byte(b, o), 1);
    if (b < 0x80) return done(make(KeyKind::Char, 0, b), 1);
    return decode_utf8(s, o, more);
}

// Adds Alt to a key that followed an ESC.
static Key with_alt(Key k) {
    switch (k.kind) {
    case KeyKind::Char: return make(KeyKind::Alt, 0, k.code);
    case KeyKind::None:
    case KeyKind::Alt: return k;
    default: k.modifiers |= ModAlt; return k;
    }
}

KeyDecoding decode_key(std::string_view s, const KeyDecodeOptions& o, bool more) {
    if (s.empty()) return need_more();
    if (static_cast<unsigned char>(s[0]) != 0x1b) return decode_plain(s, o, more);
    if (s.size() == 1) return more ? need_more() : done(make(KeyKind::Escape), 1);
    if (s[1] == '[') return decode_csi(s, more);
    if (s[1] == 'O') return decode_ss3(s, more);
    if (s[1] == 0x1b) {
        // ESC ESC ...: Alt with an escape sequence, or Alt+Escape.
        KeyDecoding inner = decode_key(s.substr(1), o, more);
        if (!inner.complete) return inner;
        return done(with_alt(inner.key), inner.length + 1);
    }
    KeyDecoding inner = decode_plain(s.substr(1), o, more);
    if (!inner.complete) return inner;
    return done(with_alt(inner.key), inner.length + 1);
}

} // namespace voren::platform
