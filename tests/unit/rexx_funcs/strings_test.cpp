// String functions: results (checked against Regina REXX, which defines them
// the same way) and the secondary messages of wrong calls.
#include "harness.h"

namespace tolma::test {

TEST(StringFunctions, ResultsAgreeWithStandardRexx) {
    Lib f;
    EXPECT_EQ(f("LEFT", {"abc", "5"}), "abc  ");
    EXPECT_EQ(f("LEFT", {"abc", "2"}), "ab");
    EXPECT_EQ(f("LEFT", {"abc", "0"}), "");
    EXPECT_EQ(f("LEFT", {"abc", "5", "*"}), "abc**");
    EXPECT_EQ(f("LEFT", {"", "3"}), "   ");
    EXPECT_EQ(f("RIGHT", {"abc", "5"}), "  abc");
    EXPECT_EQ(f("RIGHT", {"abc", "2"}), "bc");
    EXPECT_EQ(f("RIGHT", {"abc", "5", "."}), "..abc");
    EXPECT_EQ(f("RIGHT", {"abc", "0"}), "");
    EXPECT_EQ(f("SUBSTR", {"abcdef", "3"}), "cdef");
    EXPECT_EQ(f("SUBSTR", {"abcdef", "3", "2"}), "cd");
    EXPECT_EQ(f("SUBSTR", {"abcdef", "5", "4"}), "ef  ");
    EXPECT_EQ(f("SUBSTR", {"abcdef", "5", "4", "x"}), "efxx");
    EXPECT_EQ(f("SUBSTR", {"abc", "7"}), "");
    EXPECT_EQ(f("SUBSTR", {"abc", "7", "2"}), "  ");
    EXPECT_EQ(f("SUBSTR", {"abc", "7", "2", "-"}), "--");
    EXPECT_EQ(f("SUBSTR", {"abc", "1", "0"}), "");
    EXPECT_EQ(f("SUBSTR", {"", "1", "2"}), "  ");
    EXPECT_EQ(f("LENGTH", {""}), "0");
    EXPECT_EQ(f("LENGTH", {"abc "}), "4");
    EXPECT_EQ(f("REVERSE", {"abc"}), "cba");
    EXPECT_EQ(f("REVERSE", {""}), "");
    EXPECT_EQ(f("COPIES", {"ab", "3"}), "ababab");
    EXPECT_EQ(f("COPIES", {"ab", "0"}), "");
    EXPECT_EQ(f("COPIES", {"", "5"}), "");
    EXPECT_EQ(f("COPIES", {"x", "10"}), "xxxxxxxxxx");
    EXPECT_EQ(f("CENTER", {"abc", "7"}), "  abc  ");
    EXPECT_EQ(f("CENTER", {"abc", "6"}), " abc  ");
    EXPECT_EQ(f("CENTER", {"abcd", "3"}), "abc");
    EXPECT_EQ(f("CENTER", {"abcde", "2"}), "bc");
    EXPECT_EQ(f("CENTER", {"abc", "8", "*"}), "**abc***");
    EXPECT_EQ(f("CENTRE", {"ab", "1"}), "a");
    EXPECT_EQ(f("CENTER", {"", "3"}), "   ");
    EXPECT_EQ(f("DELSTR", {"abcdef", "3"}), "ab");
    EXPECT_EQ(f("DELSTR", {"abcdef", "3", "2"}), "abef");
    EXPECT_EQ(f("DELSTR", {"abc", "4"}), "abc");
    EXPECT_EQ(f("DELSTR", {"abc", "1", "10"}), "");
    EXPECT_EQ(f("DELSTR", {"abc", "3", "0"}), "abc");
    EXPECT_EQ(f("INSERT", {"x", "abc"}), "xabc");
    EXPECT_EQ(f("INSERT", {"x", "abc", "1"}), "axbc");
    EXPECT_EQ(f("INSERT", {"x", "abc", "5"}), "abc  x");
    EXPECT_EQ(f("INSERT", {"xyz", "abc", "1", "2"}), "axybc");
    EXPECT_EQ(f("INSERT", {"x", "abc", "2", "4", "-"}), "abx---c");
    EXPECT_EQ(f("INSERT", {"", "abc", "1", "2"}), "a  bc");
    EXPECT_EQ(f("OVERLAY", {"x", "abc"}), "xbc");
    EXPECT_EQ(f("OVERLAY", {"xy", "abc", "3"}), "abxy");
    EXPECT_EQ(f("OVERLAY", {"xy", "abc", "5"}), "abc xy");
    EXPECT_EQ(f("OVERLAY", {"x", "abc", "2", "3", "-"}), "ax--");
    EXPECT_EQ(f("OVERLAY", {"", "abc", "2", "1"}), "a c");
    EXPECT_EQ(f("STRIP", {"  ab  "}), "ab");
    EXPECT_EQ(f("STRIP", {"  ab  ", "L"}), "ab  ");
    EXPECT_EQ(f("STRIP", {"  ab  ", "t"}), "  ab");
    EXPECT_EQ(f("STRIP", {"xxabxx", "B", "x"}), "ab");
    EXPECT_EQ(f("STRIP", {""}), "");
    EXPECT_EQ(f("STRIP", {"  "}), "");
    EXPECT_EQ(f("STRIP", {"ab", "both"}), "ab");
    EXPECT_EQ(f("COMPARE", {"abc", "abc"}), "0");
    EXPECT_EQ(f("COMPARE", {"abc", "abd"}), "3");
    EXPECT_EQ(f("COMPARE", {"abc", "ab"}), "3");
    EXPECT_EQ(f("COMPARE", {"ab", "ab  "}), "0");
    EXPECT_EQ(f("COMPARE", {"ab", "abxx", "x"}), "0");
    EXPECT_EQ(f("COMPARE", {"", ""}), "0");
    EXPECT_EQ(f("ABBREV", {"Print", "Pri"}), "1");
    EXPECT_EQ(f("ABBREV", {"Print", "PRI"}), "0");
    EXPECT_EQ(f("ABBREV", {"Print", "Pri", "4"}), "0");
    EXPECT_EQ(f("ABBREV", {"Print", ""}), "1");
    EXPECT_EQ(f("ABBREV", {"Print", "", "0"}), "1");
    EXPECT_EQ(f("ABBREV", {"Print", "Printer"}), "0");
    EXPECT_EQ(f("ABBREV", {"", ""}), "1");
    EXPECT_EQ(f("POS", {"b", "abcb"}), "2");
    EXPECT_EQ(f("POS", {"b", "abcb", "3"}), "4");
    EXPECT_EQ(f("POS", {"x", "abc"}), "0");
    EXPECT_EQ(f("POS", {"", "abc"}), "0");
    EXPECT_EQ(f("POS", {"b", "abc", "10"}), "0");
    EXPECT_EQ(f("POS", {"bc", "abc", "2"}), "2");
    EXPECT_EQ(f("LASTPOS", {"b", "abcb"}), "4");
    EXPECT_EQ(f("LASTPOS", {"b", "abcb", "3"}), "2");
    EXPECT_EQ(f("LASTPOS", {"b", "abcb", "1"}), "0");
    EXPECT_EQ(f("LASTPOS", {"bc", "abcbc", "4"}), "2");
    EXPECT_EQ(f("LASTPOS", {"bc", "abcbc", "5"}), "4");
    EXPECT_EQ(f("LASTPOS", {"", "abc"}), "0");
    EXPECT_EQ(f("LASTPOS", {"abcd", "abc"}), "0");
    EXPECT_EQ(f("COUNTSTR", {"a", "banana"}), "3");
    EXPECT_EQ(f("COUNTSTR", {"aa", "aaaa"}), "2");
    EXPECT_EQ(f("COUNTSTR", {"", "abc"}), "0");
    EXPECT_EQ(f("COUNTSTR", {"x", ""}), "0");
    EXPECT_EQ(f("CHANGESTR", {"a", "banana", "o"}), "bonono");
    EXPECT_EQ(f("CHANGESTR", {"an", "banana", ""}), "ba");
    EXPECT_EQ(f("CHANGESTR", {"", "abc", "x"}), "abc");
    EXPECT_EQ(f("CHANGESTR", {"aa", "aaa", "b"}), "ba");
    EXPECT_EQ(f("VERIFY", {"abc", "abc"}), "0");
    EXPECT_EQ(f("VERIFY", {"abcd", "abc"}), "4");
    EXPECT_EQ(f("VERIFY", {"abc", "b", "M"}), "2");
    EXPECT_EQ(f("VERIFY", {"abc", "x", "m"}), "0");
    EXPECT_EQ(f("VERIFY", {"12a3", "0123456789", omitted, "2"}), "3");
    EXPECT_EQ(f("VERIFY", {"abc", "", omitted}), "1");
    EXPECT_EQ(f("VERIFY", {"", "abc"}), "0");
    EXPECT_EQ(f("VERIFY", {"abc", "abc", "N", "5"}), "0");
    EXPECT_EQ(f("TRANSLATE", {"abc"}), "ABC");
    EXPECT_EQ(f("TRANSLATE", {"abc", "xy", "ab"}), "xyc");
    EXPECT_EQ(f("TRANSLATE", {"abcd", "x", "abcd"}), "x   ");
    EXPECT_EQ(f("TRANSLATE", {"abcd", "x", "abcd", "-"}), "x---");
    EXPECT_EQ(f("TRANSLATE", {"aaa", "xy", "aa"}), "xxx");
    EXPECT_EQ(f("TRANSLATE", {"abc", "", "", "*"}), "abc");
    EXPECT_EQ(f("TRANSLATE", {"abc", "12"}), "   ");
    EXPECT_EQ(f("TRANSLATE", {"abc", omitted, "abc", "-"}), "---");
    EXPECT_EQ(f("XRANGE", {"a", "e"}), "abcde");
    EXPECT_EQ(f("XRANGE", {"z", "z"}), "z");
    EXPECT_EQ(f("BITAND", {"ab", "  "}), "  ");
    EXPECT_EQ(f("BITOR", {"ab", "  "}), "ab");
    EXPECT_EQ(f("BITXOR", {"ab", "  "}), "AB");
    EXPECT_EQ(f("BITOR", {"a", "   "}), "a  ");
    EXPECT_EQ(f("BITAND", {"abc", "  ", "Z"}), "  B");
    EXPECT_EQ(f("BITXOR", {"ab"}), "ab");
}

TEST(StringFunctions, Extensions) {
    Lib f;
    EXPECT_EQ(f("INDEX", {"b", "abcb"}), "2"); // needle first, as POS
    EXPECT_EQ(f("POS", {"B", "abcb", omitted, "1"}), "2");
    EXPECT_EQ(f("POS", {"B", "abcb", "3", "1"}), "4");
    EXPECT_EQ(f("POS", {"B", "abcb", omitted, "0"}), "0");
    EXPECT_EQ(f("CHANGE", {"banana", "an", "AN"}), "bANANa");
    EXPECT_EQ(f("CHANGE", {"bAnana", "an", "-", "1"}), "b--a");
    EXPECT_EQ(f("CHANGE", {"bAnana", "an", "-", "0"}), "bAn-a");
    EXPECT_EQ(f("CHANGE", {"abc", "", "x"}), "abc");
    EXPECT_EQ(f("UPPER", {"aBc1\xe9"}), "ABC1\xe9");
    EXPECT_EQ(f("LOWER", {"aBC1"}), "abc1");
    EXPECT_EQ(f("UPPERW", {"hello  wORLD\tx"}), "Hello  World\tX");
    EXPECT_EQ(f("FWC", {"  hello world"}), "  Hello world");
    EXPECT_EQ(f("FWC", {""}), "");
    EXPECT_EQ(f("TRANSLATE", {"a\xe9z"}), "A\xe9Z");
    // Without tables TRANSLATE upper-cases, whatever the pad (as Regina).
    EXPECT_EQ(f("TRANSLATE", {"abc", omitted, omitted}), "ABC");
    EXPECT_EQ(f("TRANSLATE", {"abc", omitted, omitted, "x"}), "ABC");
    EXPECT_EQ(f("TRANSLATE", {"abc", ""}), "   ");
    EXPECT_EQ(f("TRANSLATE", {"abc", omitted, "b"}), "a c");
    EXPECT_EQ(f("TRANSLATE", {"abc", "", "", "-"}), "abc");
    EXPECT_EQ(f("XRANGE", {"\xfe", "\x01"}), std::string("\xfe\xff\x00\x01", 4));
    EXPECT_EQ(f("XRANGE", {}).size(), 256u);
    EXPECT_EQ(f("COPIES", {"ab", "3"}), "ababab");
    EXPECT_EQ(f("COPIES", {"abc", "1000"}).size(), 3000u);
    EXPECT_EQ(f("COPIES", {"abc", "1000"}).substr(2997), "abc");
}

TEST(StringFunctions, BinaryDataIsKept) {
    Lib f;
    std::string nul("a\0b", 3);
    EXPECT_EQ(f("LENGTH", {nul}), "3");
    EXPECT_EQ(f("REVERSE", {nul}), std::string("b\0a", 3));
    EXPECT_EQ(f("POS", {"b", nul}), "3");
    EXPECT_EQ(f("SUBSTR", {nul, "2", "2"}), std::string("\0b", 2));
}

// TRANSLATE keeps the map of its last tables: a call whose tables differ
// from the last ones in a single byte, at any place and any length, must
// build a new map.
TEST(StringFunctions, TranslateSeesEveryChangeOfItsTables) {
    Lib f;
    std::string subject;
    for (int c = 32; c < 127; ++c)
        subject += static_cast<char>(c);
    auto expected = [&](const std::string& out, const std::string& inp) {
        std::string r = subject;
        for (char& ch : r) {
            size_t at = inp.find(ch);
            if (at != std::string::npos) ch = at < out.size() ? out[at] : ' ';
        }
        return r;
    };
    for (size_t n = 1; n <= 20; ++n) {
        std::string inp, out;
        for (size_t i = 0; i < n; ++i) {
            inp += static_cast<char>('a' + i);
            out += static_cast<char>('A' + i);
        }
        ASSERT_EQ(f("TRANSLATE", {subject, out, inp}), expected(out, inp)) << n;
        for (size_t k = 0; k < n; ++k) {
            std::string inp2 = inp, out2 = out;
            inp2[k] = static_cast<char>('0' + k % 10);
            ASSERT_EQ(f("TRANSLATE", {subject, out, inp2}), expected(out, inp2)) << n << " " << k;
            ASSERT_EQ(f("TRANSLATE", {subject, out, inp}), expected(out, inp)) << n << " " << k;
            out2[k] = '#';
            ASSERT_EQ(f("TRANSLATE", {subject, out2, inp}), expected(out2, inp)) << n << " " << k;
            ASSERT_EQ(f("TRANSLATE", {subject, out, inp}), expected(out, inp)) << n << " " << k;
        }
        // A table one byte shorter or longer, and the output table alone.
        ASSERT_EQ(f("TRANSLATE", {subject, out, inp + "z"}), expected(out, inp + "z")) << n;
        ASSERT_EQ(f("TRANSLATE", {subject, out.substr(1), inp}), expected(out.substr(1), inp)) << n;
    }
}

// STRIP scans eight bytes at a time: every count of pads at either end,
// around words of every length, with pads inside and bytes next to the pad.
TEST(StringFunctions, StripAtEveryLengthOfPadsAndWords) {
    Lib f;
    const char* options[] = {"B", "L", "T"};
    for (char pad : {' ', 'x', '\xff'}) {
        for (size_t lead = 0; lead <= 18; ++lead) {
            for (size_t word = 0; word <= 18; word += (word < 3 ? 1 : 5)) {
                for (size_t trail = 0; trail <= 18; ++trail) {
                    std::string middle;
                    for (size_t i = 0; i < word; ++i)
                        middle += i % 4 == 1 ? pad : static_cast<char>(pad ^ (1 + i % 3));
                    if (!middle.empty()) {
                        middle.front() = static_cast<char>(pad ^ 1);
                        middle.back() = static_cast<char>(pad ^ 2);
                    }
                    std::string text = std::string(lead, pad) + middle + std::string(trail, pad);
                    for (const char* opt : options) {
                        size_t b = 0, e = text.size();
                        if (*opt != 'T')
                            while (b < e && text[b] == pad)
                                ++b;
                        if (*opt != 'L')
                            while (e > b && text[e - 1] == pad)
                                --e;
                        ASSERT_EQ(f("STRIP", {text, opt, std::string(1, pad)}),
                                  text.substr(b, e - b))
                            << lead << " " << word << " " << trail << " " << opt;
                    }
                }
            }
        }
    }
}

TEST(StringFunctions, WrongCalls) {
    Lib f;
    EXPECT_EQ(f.msg("LEFT", {"abc"}), "LEFT(): must receive 2 or 3 arguments.");
    EXPECT_EQ(f.msg("RIGHT", {"abc", "-2"}), "RIGHT(): argument 2 must be a positive integer.");
    EXPECT_EQ(f.msg("RIGHT", {"abc", "2", "ab"}),
              "RIGHT(): the padding expression must be one character wide.");
    EXPECT_EQ(f.msg("SUBSTR", {"abc"}), "SUBSTR(): must receive 2 to 4 arguments.");
    EXPECT_EQ(f.msg("SUBSTR", {"abc", "0"}),
              "SUBSTR(): argument 2 must be a strictly positive integer.");
    EXPECT_EQ(f.msg("SUBSTR", {"abc", "1", "-1"}),
              "SUBSTR(): argument 3 must be a positive integer.");
    EXPECT_EQ(f.msg("SUBSTR", {"abc", "1", "3000000000"}), "SUBSTR(): Overflow on argument 3.");
    EXPECT_EQ(f.blamed("SUBSTR", {"abc", "1", "3000000000"}), 2);
    EXPECT_EQ(f.msg("LENGTH", {}), "LENGTH(): must receive 1 argument.");
    EXPECT_EQ(f.msg("LENGTH", {"a", "b"}), "LENGTH(): must receive 1 argument.");
    EXPECT_EQ(f.msg("REVERSE", {}), "REVERSE(): must receive 1 argument.");
    EXPECT_EQ(f.msg("COPIES", {"a"}), "COPIES(): must receive 2 arguments.");
    EXPECT_EQ(f.msg("COPIES", {"a", "x"}), "COPIES(): argument 2 must be an integer");
    EXPECT_EQ(f.msg("COPIES", {"a", "-1"}), "COPIES(): argument 2 must be a positive integer");
    EXPECT_EQ(f.msg("CENTER", {"a"}), "CENTER(): must receive 2 or 3 arguments.");
    EXPECT_EQ(f.msg("CENTER", {"a", "x"}),
              "CENTER(): the second argument must be a positive integer.");
    EXPECT_EQ(f.msg("CENTRE", {"a", "-1"}),
              "CENTRE(): the second argument must be a positive integer.");
    EXPECT_EQ(f.msg("CENTER", {"a", "3", "--"}),
              "CENTER(): the padding expression must be one character wide.");
    EXPECT_EQ(f.msg("COMPARE", {"a"}), "COMPARE(): must receive 2 or 3 arguments.");
    EXPECT_EQ(f.msg("COMPARE", {"a", "b", ""}),
              "COMPARE(): the padding expression must be one character wide.");
    EXPECT_EQ(f.msg("ABBREV", {"a"}), "ABBREV(): must receive 2 or 3 arguments.");
    EXPECT_EQ(f.msg("ABBREV", {"a", "b", "x"}), "ABBREV(): the third argument must be an integer.");
    EXPECT_EQ(f.msg("ABBREV", {"a", "b", "-1"}),
              "ABBREV(): the third argument must be an integer.");
    EXPECT_EQ(f.msg("DELSTR", {"a"}), "DELSTR(): must receive 2 or 3 arguments.");
    EXPECT_EQ(f.msg("DELSTR", {"a", "x"}), "DELSTR(): argument 2 must be an integer.");
    EXPECT_EQ(f.msg("DELSTR", {"a", "0"}),
              "DELSTR(): argument 2 must be a strictly positive integer.");
    EXPECT_EQ(f.msg("DELSTR", {"a", "1", "y"}), "DELSTR(): argument 3 must be an integer.");
    EXPECT_EQ(f.msg("DELSTR", {"a", "1", "-1"}),
              "DELSTR(): argument 3 must be a positive integer.");
    EXPECT_EQ(f.msg("INSERT", {"a"}), "INSERT(): must receive between 2 and 5 arguments.");
    EXPECT_EQ(f.msg("INSERT", {"a", "b", "-1"}),
              "INSERT(): argument 3 must be a positive integer.");
    EXPECT_EQ(f.msg("INSERT", {"a", "b", "1", "x"}),
              "INSERT(): argument 4 must be a whole number.");
    EXPECT_EQ(f.msg("OVERLAY", {"a", "b", "0"}),
              "OVERLAY(): argument 3 must be a strictly positive integer.");
    EXPECT_EQ(f.msg("OVERLAY", {"a", "b", "1", "1", "xx"}),
              "OVERLAY(): the padding expression must be one character wide.");
    EXPECT_EQ(f.msg("POS", {"a"}), "POS(): must receive 2 to 4 arguments.");
    EXPECT_EQ(f.msg("POS", {"a", "b", "x"}), "POS(): argument 3 must be a whole number.");
    EXPECT_EQ(f.msg("POS", {"a", "b", "0"}),
              "POS(): argument 3 must be a strictly positive integer.");
    EXPECT_EQ(f.msg("POS", {"a", "b", "1", "2"}), "POS(): argument 4 must be 0 or 1.");
    EXPECT_EQ(f.msg("INDEX", {"a", "b", "1", "x"}), "INDEX(): argument 4 must be 0 or 1.");
    EXPECT_EQ(f.msg("LASTPOS", {"a", "b", "0"}),
              "LASTPOS(): argument 3 must be a strictly positive integer.");
    EXPECT_EQ(f.msg("STRIP", {}), "STRIP(): must receive 1 to 3 arguments.");
    EXPECT_EQ(f.msg("STRIP", {"a", "X"}), "STRIP(): argument 3 must be L|T|B.");
    EXPECT_EQ(f.blamed("STRIP", {"a", "X"}), 1);
    EXPECT_EQ(f.msg("STRIP", {"a", "B", "xy"}),
              "STRIP(): the padding expression must be one character wide.");
    EXPECT_EQ(f.msg("TRANSLATE", {}), "TRANSLATE(): argument 1 missing.");
    EXPECT_EQ(f.msg("TRANSLATE", {omitted, "a"}), "TRANSLATE(): argument 1 missing.");
    EXPECT_EQ(f.msg("TRANSLATE", {"a", "b", "c", "d", "e"}),
              "TRANSLATE(): up to 4 arguments allowed.");
    EXPECT_EQ(f.msg("TRANSLATE", {"a", "b", "c", "dd"}),
              "TRANSLATE(): the padding expression must be one character wide.");
    EXPECT_EQ(f.msg("VERIFY", {"a"}), "VERIFY(): needs at least 2 arguments.");
    EXPECT_EQ(f.msg("VERIFY", {"a", "b", "M", "1", "1", "1"}),
              "VERIFY(): up to 5 arguments allowed.");
    EXPECT_EQ(f.msg("VERIFY", {"a", "b", "X"}), "VERIFY(): arguments 3 must be \"M\" or \"N\".");
    EXPECT_EQ(f.msg("VERIFY", {"a", "b", "M", "z"}),
              "VERIFY(): argument 4 must be a whole number.");
    EXPECT_EQ(f.msg("VERIFY", {"a", "b", "M", "0"}),
              "VERIFY(): argument 4 must be a strictly positive integer.");
    EXPECT_EQ(f.msg("XRANGE", {"a", "b", "c"}), "XRANGE(): up to 2 arguments allowed.");
    EXPECT_EQ(f.msg("XRANGE", {"ab"}), "XRANGE(): argument 1 is invalid.");
    EXPECT_EQ(f.msg("XRANGE", {"a", ""}), "XRANGE(): argument 2 is invalid.");
    EXPECT_EQ(f.msg("CHANGE", {"a", "b"}), "CHANGE(): must receive 3 or 4 arguments.");
    EXPECT_EQ(f.msg("CHANGE", {"a", "b", "c", "2"}), "CHANGE(): argument 4 must be 0 or 1.");
    EXPECT_EQ(f.msg("CHANGESTR", {"a", "b"}), "CHANGESTR(): must receive 3 arguments.");
    EXPECT_EQ(f.msg("COUNTSTR", {"a"}), "COUNTSTR(): must receive 2 arguments.");
    EXPECT_EQ(f.msg("UPPER", {}), "UPPER(): must receive 1 argument.");
    EXPECT_EQ(f.msg("LOWER", {"a", "b"}), "LOWER(): must receive 1 argument.");
    EXPECT_EQ(f.msg("FWC", {}), "FWC(): needs 1 argument.");
    EXPECT_EQ(f.msg("BITAND", {}), "BITAND(): must receive 1 to 3 arguments.");
    EXPECT_EQ(f.msg("BITOR", {"a", "b", "cc"}),
              "BITOR(): the padding expression must be one character wide.");
}

TEST(StringFunctions, ResultsTooLongForAValueAreRefused) {
    Lib f;
    CallResult r = f.call("COPIES", {"ab", "2000000000"});
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error.code, 5);
    // Counts whose product with the length would wrap 32 or 64 bits.
    for (const char* n : {"2147483648", "4294967296", "4294967297", "3000000000", "1100000000"}) {
        r = f.call("COPIES", {"ab", n});
        EXPECT_FALSE(r.ok) << n;
        EXPECT_EQ(r.error.code, 5) << n;
    }
    r = f.call("COPIES", {"", "4294967297"});
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.text, "");
}

} // namespace tolma::test

namespace tolma::test {

TEST(RchangeFunction, ReplacesEveryMatch) {
    Lib f;
    EXPECT_EQ(f("RCHANGE", {"banana", "an", "AN"}), "bANANa");
    EXPECT_EQ(f("RCHANGE", {"banana", "a*", "-"}), "-b-n-n-");
    EXPECT_EQ(f("RCHANGE", {"a1b22c333", "[0-9][0-9]*", "<&>"}), "a<1>b<22>c<333>");
    EXPECT_EQ(f("RCHANGE", {"John Smith", "\\(.*\\) \\(.*\\)", "\\2, \\1"}), "Smith, John");
    EXPECT_EQ(f("RCHANGE", {"abc", "^", ">"}), ">abc");
    EXPECT_EQ(f("RCHANGE", {"abc", "x", "y"}), "abc");
    EXPECT_EQ(f("RCHANGE", {"ABC abc", "b", "-", "1"}), "A-C a-c");
    EXPECT_EQ(f("RCHANGE", {"ABC abc", "b", "-", "0"}), "ABC a-c");
    // An empty pattern reuses the previous one.
    EXPECT_EQ(f("RCHANGE", {"xbx", "", "_"}), "x_x");
    EXPECT_EQ(f("RCHANGE", {std::string("a\0b", 3), "b", "c"}), std::string("a\0c", 3));
}

TEST(RchangeFunction, WrongCalls) {
    Lib f;
    EXPECT_EQ(f.msg("RCHANGE", {"a", "b"}), "RCHANGE(): must receive 3 to 4 arguments.");
    EXPECT_EQ(f.msg("RCHANGE", {"a", "b", "c", "2"}), "RCHANGE(): argument 4 must be 0 or 1");
    EXPECT_EQ(f.msg("RCHANGE", {"a", "\\(", "c"}), "RCHANGE(): Invalid regular expression.");
    EXPECT_EQ(f.blamed("RCHANGE", {"a", "\\(", "c"}), 1);
    EXPECT_EQ(f.msg("RCHANGE", {"a", "", "c"}), "RCHANGE(): Invalid regular expression.");
    // A failed compile does not replace the previous expression.
    EXPECT_EQ(f("RCHANGE", {"abc", "b", "-"}), "a-c");
    EXPECT_EQ(f.msg("RCHANGE", {"a", "[", "c"}), "RCHANGE(): Invalid regular expression.");
    EXPECT_EQ(f("RCHANGE", {"abc", "", "+"}), "a+c");
}

} // namespace tolma::test
