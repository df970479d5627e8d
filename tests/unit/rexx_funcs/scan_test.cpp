// The word and string functions scan many bytes at a time; here they are
// compared with plain byte-by-byte versions over every short string of
// blanks, tabs, letters and look-alike bytes, and over random longer ones
// (the scans work in groups of 8 and 16 bytes, SPACE has a separate path up
// to 240 bytes).
#include <random>

#include "harness.h"
#include "rexx/lib/libutil.h"

namespace tolma::test {

namespace {

bool blank(char c) {
    return c == ' ' || c == '\t';
}

struct Span {
    size_t b, e;
};

std::vector<Span> words_of(const std::string& s) {
    std::vector<Span> w;
    size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && blank(s[i]))
            ++i;
        if (i == s.size()) break;
        size_t b = i;
        while (i < s.size() && !blank(s[i]))
            ++i;
        w.push_back({b, i});
    }
    return w;
}

std::string space_of(const std::string& s, size_t gap, char pad) {
    std::string r;
    for (const Span& w : words_of(s)) {
        if (!r.empty()) r.append(gap, pad);
        r.append(s, w.b, w.e - w.b);
    }
    return r;
}

std::string subword_of(const std::string& s, size_t first, size_t count) {
    std::vector<Span> w = words_of(s);
    if (first > w.size() || count == 0) return "";
    size_t last = std::min(w.size(), first - 1 + count);
    return s.substr(w[first - 1].b, w[last - 1].e - w[first - 1].b);
}

// Every word function on s, checked against the plain versions.
void check_words(Lib& f, const std::string& s) {
    std::vector<Span> w = words_of(s);
    ASSERT_EQ(f("WORDS", {s}), std::to_string(w.size())) << '[' << s << ']';
    for (size_t k = 1; k <= w.size() + 1; ++k) {
        std::string ks = std::to_string(k);
        bool in = k <= w.size();
        std::string word = in ? s.substr(w[k - 1].b, w[k - 1].e - w[k - 1].b) : "";
        ASSERT_EQ(f("WORD", {s, ks}), word) << '[' << s << "] " << k;
        ASSERT_EQ(f("WORDINDEX", {s, ks}), std::to_string(in ? w[k - 1].b + 1 : 0))
            << '[' << s << "] " << k;
        ASSERT_EQ(f("WORDLENGTH", {s, ks}), std::to_string(in ? w[k - 1].e - w[k - 1].b : 0))
            << '[' << s << "] " << k;
        ASSERT_EQ(f("SUBWORD", {s, ks, "2"}), subword_of(s, k, 2)) << '[' << s << "] " << k;
    }
    ASSERT_EQ(f("SPACE", {s}), space_of(s, 1, ' ')) << '[' << s << ']';
    ASSERT_EQ(f("SPACE", {s, "0"}), space_of(s, 0, ' ')) << '[' << s << ']';
    ASSERT_EQ(f("SPACE", {s, "1", "-"}), space_of(s, 1, '-')) << '[' << s << ']';
    ASSERT_EQ(f("SPACE", {s, "3", "+"}), space_of(s, 3, '+')) << '[' << s << ']';
}

// Bytes that look like a blank or a tab to a careless bit test.
const char kAlphabet[] = {' ', '\t', 'a', '\xA0', '\x89', '\0', ')', '!', '\x08', '\x0A'};

std::string random_text(std::mt19937& gen, size_t len, int blank_percent) {
    std::string s(len, 'x');
    std::uniform_int_distribution<int> pct(0, 99), any(0, sizeof kAlphabet - 1);
    for (char& c : s) {
        if (pct(gen) < blank_percent)
            c = pct(gen) < 80 ? ' ' : '\t';
        else
            c = kAlphabet[any(gen)];
    }
    return s;
}

} // namespace

TEST(ByteScans, SixteenByteTestAgreesWithThePortableOne) {
    std::mt19937 gen(7);
    std::uniform_int_distribution<int> any(0, sizeof kAlphabet - 1), byte(0, 255);
    for (int round = 0; round < 20000; ++round) {
        char block[16];
        for (char& c : block)
            c = round % 2 ? kAlphabet[any(gen)] : static_cast<char>(byte(gen));
        unsigned want = 0;
        for (int j = 0; j < 16; ++j)
            if (blank(block[j])) want |= 1u << j;
        ASSERT_EQ(blank_bits16(block), want);
        ASSERT_EQ(blank_bits16_portable(block), want);
    }
}

TEST(ByteScans, BlankBitsNeverReadPastTheEnd) {
    // The string sits at the very end of its buffer: a read past it would be
    // caught by the sanitizer build; the padding reads as blanks.
    for (size_t n = 1; n <= 40; ++n) {
        std::vector<char> buf(n, 'x');
        buf[n - 1] = ' ';
        for (size_t i = 0; i < n; ++i) {
            unsigned got = blank_bits_at(buf.data(), i, n);
            for (size_t j = 0; j < 16; ++j) {
                bool want = i + j >= n || blank(buf[i + j]);
                ASSERT_EQ((got >> j) & 1, want ? 1u : 0u) << n << ' ' << i << ' ' << j;
            }
        }
    }
}

TEST(ByteScans, SkipsAndFindWordAgreeWithByteLoops) {
    std::mt19937 gen(11);
    for (int round = 0; round < 3000; ++round) {
        std::string s = random_text(gen, round % 70, (round / 70) % 4 * 30);
        size_t n = s.size();
        for (size_t i = 0; i <= n; ++i) {
            size_t b = i, e = i;
            while (b < n && blank(s[b]))
                ++b;
            while (e < n && !blank(s[e]))
                ++e;
            ASSERT_EQ(skip_blanks(s.data(), i, n), b) << '[' << s << "] " << i;
            ASSERT_EQ(skip_word(s.data(), i, n), e) << '[' << s << "] " << i;
        }
        std::vector<Span> w = words_of(s);
        for (long long k = -1; k <= static_cast<long long>(w.size()) + 1; ++k) {
            size_t b = 99, e = 99;
            bool found = find_word(s, k, b, e);
            bool in = k >= 1 && k <= static_cast<long long>(w.size());
            ASSERT_EQ(found, in) << '[' << s << "] " << k;
            if (in) {
                ASSERT_EQ(b, w[k - 1].b) << '[' << s << "] " << k;
                ASSERT_EQ(e, w[k - 1].e) << '[' << s << "] " << k;
            }
        }
    }
}

TEST(ByteScans, WordFunctionsOnEveryShortString) {
    Lib f;
    const char letters[] = {' ', '\t', 'a', '\xA0'};
    for (size_t len = 0; len <= 6; ++len) {
        size_t total = 1;
        for (size_t i = 0; i < len; ++i)
            total *= 4;
        for (size_t code = 0; code < total; ++code) {
            std::string s;
            for (size_t i = 0, c = code; i < len; ++i, c /= 4)
                s += letters[c % 4];
            check_words(f, s);
        }
    }
}

TEST(ByteScans, WordFunctionsOnRandomLongerStrings) {
    Lib f;
    std::mt19937 gen(3);
    const size_t lengths[] = {7,  8,  9,  15,  16,  17,  23,  24,  31,  32,  33,  47,
                              48, 63, 64, 100, 239, 240, 241, 255, 256, 257, 300, 1000};
    for (size_t len : lengths)
        for (int blanks : {0, 10, 50, 90, 100})
            for (int round = 0; round < 6; ++round)
                check_words(f, random_text(gen, len, blanks));
}

namespace {

// TRANSLATE done one byte at a time from its definition.
std::string translate_of(const std::string& s, const Arg& out, const Arg& inp, char pad) {
    std::string r;
    for (char c : s) {
        if (!out && !inp) {
            r += c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
            continue;
        }
        std::string o = out.value_or("");
        size_t k;
        if (inp) {
            k = inp->find(c);
            if (k == std::string::npos) {
                r += c;
                continue;
            }
        } else {
            k = static_cast<unsigned char>(c);
        }
        r += k < o.size() ? o[k] : pad;
    }
    return r;
}

std::string random_bytes(std::mt19937& gen, size_t len, const std::string& from) {
    std::uniform_int_distribution<size_t> pick(0, from.size() - 1);
    std::string s;
    for (size_t i = 0; i < len; ++i)
        s += from[pick(gen)];
    return s;
}

} // namespace

TEST(ByteScans, TranslateAgreesWithItsDefinition) {
    Lib f;
    std::mt19937 gen(5);
    const std::string letters = "abcxyzXYZ \t\x80\xff\xe1{}`@";
    for (int round = 0; round < 4000; ++round) {
        size_t len = static_cast<size_t>(round % 75);
        std::string s = random_bytes(gen, len, letters);
        // Tables of 0 to 6 characters, sometimes with repeats; sometimes
        // the same table texts come back, so the kept map is used.
        size_t tn = static_cast<size_t>(round / 75 % 7);
        std::string inp = random_bytes(gen, tn, round % 3 ? "xyz" : letters);
        std::string out = random_bytes(gen, tn / 2 + round % 2, letters);
        std::string pad = round % 4 == 0 ? "-" : " ";
        if (round % 5 == 0) {
            ASSERT_EQ(f("TRANSLATE", {s}), translate_of(s, omitted, omitted, ' ')) << s;
        } else if (round % 5 == 1) {
            ASSERT_EQ(f("TRANSLATE", {s, out}), translate_of(s, out, omitted, ' ')) << s;
        } else if (round % 5 == 2) {
            ASSERT_EQ(f("TRANSLATE", {s, omitted, inp, pad}), translate_of(s, omitted, inp, pad[0]))
                << s << '|' << inp;
        } else {
            ASSERT_EQ(f("TRANSLATE", {s, out, inp, pad}), translate_of(s, out, inp, pad[0]))
                << s << '|' << out << '|' << inp;
            // The same call once more, then with one table changed in place.
            ASSERT_EQ(f("TRANSLATE", {s, out, inp, pad}), translate_of(s, out, inp, pad[0]));
            if (!out.empty()) {
                out[0] = out[0] == 'q' ? 'r' : 'q';
                ASSERT_EQ(f("TRANSLATE", {s, out, inp, pad}), translate_of(s, out, inp, pad[0]))
                    << s << '|' << out << '|' << inp;
            }
            ASSERT_EQ(f("TRANSLATE", {s, out, inp, "*"}), translate_of(s, out, inp, '*'));
        }
        ASSERT_EQ(f("UPPER", {s}), translate_of(s, omitted, omitted, ' ')) << s;
    }
}

TEST(ByteScans, ByteMapWithAndWithoutSse2Agree) {
    std::mt19937 gen(9);
    std::uniform_int_distribution<int> byte(0, 255), few(0, 6);
    for (int round = 0; round < 3000; ++round) {
        TranslateMap t;
        for (int c = 0; c < 256; ++c)
            t.map[c] = static_cast<unsigned char>(c);
        // A map changing 0 to 6 bytes, its list of changed bytes filled in
        // as TRANSLATE fills it.
        int changes = few(gen);
        for (int k = 0; k < changes; ++k)
            t.map[byte(gen)] = static_cast<unsigned char>(byte(gen));
        t.changed_count = 0;
        for (int c = 0; c < 256 && t.changed_count <= 4; ++c) {
            if (t.map[c] == c) continue;
            if (t.changed_count < 4) t.changed[t.changed_count] = kEachByte * c;
            ++t.changed_count;
        }
        for (int k = t.changed_count; k < 4; ++k)
            t.changed[k] = t.changed[0];
        size_t n = static_cast<size_t>(round % 70);
        std::string s;
        for (size_t i = 0; i < n; ++i)
            s += static_cast<char>(byte(gen) % 3 ? byte(gen) : 'a' + byte(gen) % 4);
        std::string want;
        for (char c : s)
            want += static_cast<char>(t.map[static_cast<unsigned char>(c)]);
        std::vector<char> a(n + 1), b(n + 1);
        map_bytes(t, s.data(), a.data(), n);
        map_bytes_portable(t, s.data(), b.data(), n);
        ASSERT_EQ(std::string(a.data(), n), want) << round;
        ASSERT_EQ(std::string(b.data(), n), want) << round;
    }
}

TEST(ByteScans, PosAgreesWithPlainSearch) {
    Lib f;
    std::mt19937 gen(13);
    for (int round = 0; round < 6000; ++round) {
        // Few distinct letters, so that partial matches are common.
        size_t n = static_cast<size_t>(round % 90);
        std::string hay = random_bytes(gen, n, round % 2 ? "ab" : "abcd \xe1");
        std::string needle = random_bytes(gen, 1 + round / 90 % 6, "ab");
        if (round % 7 == 0 && n > 5) needle = hay.substr(n - 5); // a match at the very end
        size_t start = static_cast<size_t>(round % 5 == 0 ? round / 5 % (n + 2) : 0);
        size_t at = start < n ? hay.find(needle, start) : std::string::npos;
        std::string want = std::to_string(at == std::string::npos ? 0 : at + 1);
        ASSERT_EQ(f("POS", {needle, hay, std::to_string(start + 1)}), want)
            << needle << '|' << hay << '|' << start;
        // CHANGESTR finds its matches the same way.
        std::string changed;
        for (size_t from = 0;;) {
            size_t k = hay.find(needle, from);
            if (k == std::string::npos) {
                changed += hay.substr(from);
                break;
            }
            changed += hay.substr(from, k - from) + "<>";
            from = k + needle.size();
        }
        ASSERT_EQ(f("CHANGESTR", {needle, hay, "<>"}), changed) << needle << '|' << hay;
    }
}

TEST(ByteScans, ReverseOfEveryLength) {
    Lib f;
    std::string s;
    for (int n = 0; n <= 40; ++n) {
        std::string want(s.rbegin(), s.rend());
        ASSERT_EQ(f("REVERSE", {s}), want) << s;
        s += static_cast<char>(n % 3 ? 'a' + n : 0x80 + n);
    }
}

TEST(ByteScans, CopiesFillsEveryLength) {
    Lib f;
    for (const std::string s : {"a", "ab", "abc", "abcdefg", "abcdefgh", "abcdefghi", "xyz12"})
        for (int n = 0; n <= 70; ++n) {
            std::string want;
            for (int i = 0; i < n; ++i)
                want += s;
            ASSERT_EQ(f("COPIES", {s, std::to_string(n)}), want) << s << ' ' << n;
        }
    // Around the length where the library copies take over.
    for (int n : {84, 85, 86, 127, 128, 129}) {
        std::string want;
        for (int i = 0; i < n; ++i)
            want += "abc";
        ASSERT_EQ(f("COPIES", {"abc", std::to_string(n)}), want) << n;
    }
}

TEST(ByteScans, DecimalToHexAndBytesAtDigitBoundaries) {
    Lib f;
    EXPECT_EQ(f("D2X", {"0"}), "0");
    EXPECT_EQ(f("D2X", {"15"}), "F");
    EXPECT_EQ(f("D2X", {"16"}), "10");
    EXPECT_EQ(f("D2X", {"255"}), "FF");
    EXPECT_EQ(f("D2X", {"256"}), "100");
    EXPECT_EQ(f("D2X", {"123456"}), "1E240");
    EXPECT_EQ(f("D2X", {"4294967295"}), "FFFFFFFF");
    EXPECT_EQ(f("D2X", {"4294967296"}), "100000000");
    f.in.numeric.digits = 15;
    EXPECT_EQ(f("D2X", {"281474976710655"}), "FFFFFFFFFFFF");
    EXPECT_EQ(f("D2X", {"281474976710656"}), "1000000000000");
    f.in.numeric.digits = 9;
    EXPECT_EQ(f("D2X", {"0", "0"}), "");
    EXPECT_EQ(f("D2X", {"255", "1"}), "F");
    EXPECT_EQ(f("D2X", {"255", "5"}), "000FF");
    EXPECT_EQ(f("D2X", {"-1", "3"}), "FFF");
    EXPECT_EQ(f("D2X", {"-2", "20"}), "FFFFFFFFFFFFFFFFFFFE");
    EXPECT_EQ(f("D2C", {"0"}), std::string(1, '\0'));
    EXPECT_EQ(f("D2C", {"65"}), "A");
    EXPECT_EQ(f("D2C", {"16706"}), "AB");
    EXPECT_EQ(f("D2C", {"255", "3"}), std::string("\0\0\xff", 3));
    EXPECT_EQ(f("D2C", {"-1", "2"}), "\xff\xff");
    EXPECT_EQ(f("D2C", {"-191", "10"}), std::string(9, '\xff') + "A");
}

} // namespace tolma::test
