// RexxValue: short and long strings, copies and moves, number caching.
#include <cstring>

#include <gtest/gtest.h>

#include "harness.h"
#include "rexx/core/values.h"

using tolma::NumericSettings;
using tolma::RexxValue;

namespace {

TEST(RexxValue, ShortAndLongStringsKeepTheirBytes) {
    std::string with_nul("a\0b", 3);
    RexxValue a(with_nul);
    EXPECT_EQ(a.str(), with_nul);
    EXPECT_EQ(a.str().size(), 3u);
    std::string long_text(1000, 'x');
    RexxValue b(long_text);
    EXPECT_EQ(b.str(), long_text);
    RexxValue empty;
    EXPECT_TRUE(empty.is_string());
    EXPECT_EQ(empty.str(), "");
}

TEST(RexxValue, CopiesAndMovesAreIndependent) {
    std::string long_text(100, 'y');
    RexxValue a(long_text);
    RexxValue b = a;
    b.assign_text("short");
    EXPECT_EQ(a.str(), long_text);
    EXPECT_EQ(b.str(), "short");
    RexxValue c = std::move(a);
    EXPECT_EQ(c.str(), long_text);
    a = c; // a moved-from value can be assigned again
    EXPECT_EQ(a.str(), long_text);
    c = RexxValue("z");
    EXPECT_EQ(c.str(), "z");
    EXPECT_EQ(a.str(), long_text);
}

TEST(RexxValue, AssignFromOwnTextIsSafe) {
    RexxValue a(std::string(50, 'q') + "tail");
    a.assign_text(a.str().substr(10)); // overlapping source on the heap
    EXPECT_EQ(a.str(), std::string(40, 'q') + "tail");
    a.assign_text(a.str().substr(40)); // and into the inline buffer
    EXPECT_EQ(a.str(), "tail");
    a.assign_text(a.str().substr(1)); // inline into inline
    EXPECT_EQ(a.str(), "ail");
    a.assign_text(a.str().substr(3)); // empty, from the end of its own text
    EXPECT_EQ(a.str(), "");
}

TEST(RexxValue, AssignFromOtherTextReplacesEveryForm) {
    RexxValue a(std::string(40, 'x'));
    std::string other(30, 'y');
    a.assign_text(other); // heap to heap
    EXPECT_EQ(a.str(), other);
    a.assign_text("short"); // heap to inline
    EXPECT_EQ(a.str(), "short");
    a.assign_text(std::string(60, 'z')); // inline to heap
    EXPECT_EQ(a.str(), std::string(60, 'z'));
    a.assign_text(std::string_view());
    EXPECT_EQ(a.str(), "");
    RexxValue n = RexxValue::number(12, 0);
    n.assign_text("ab");
    EXPECT_TRUE(n.is_string());
    EXPECT_EQ(n.str(), "ab");
}

TEST(RexxValue, LongCopyIntoARoomyBuffer) {
    RexxValue big(std::string(80, 'b'));
    RexxValue src(std::string(30, '7'));
    big = src;
    EXPECT_EQ(big.str(), std::string(30, '7'));
    src.assign_text(std::string(40, 's'));
    EXPECT_EQ(big.str(), std::string(30, '7')); // no sharing
    big = big;
    EXPECT_EQ(big.str(), std::string(30, '7'));
    RexxValue num = RexxValue::number(5, 0);
    RexxValue text(std::string(30, 'n'));
    text = num; // a number replaces a long string
    EXPECT_TRUE(text.is_number_form());
    EXPECT_EQ(text.text(NumericSettings{}), "5");
}

TEST(RexxValue, LongCopiesOfEveryLengthAroundTheInlineMoves) {
    // Heap texts copied into a heap buffer that is big enough: the short
    // moves cover 32 to 64 bytes with the terminator, memcpy the rest.
    for (size_t n = 30; n <= 140; ++n) {
        std::string text;
        for (size_t i = 0; i < n; ++i)
            text += static_cast<char>('A' + i % 53);
        RexxValue src(text);
        RexxValue to(std::string(200, '.'));
        to = src;
        ASSERT_EQ(to.str(), text) << n;
        ASSERT_EQ(to.str().data()[n], '\0') << n;
        // A heap buffer holding a shorter text than the inline limit.
        RexxValue shrunk(std::string(200, '.'));
        shrunk.resize_text(5);
        RexxValue short_text(std::string(3, 'q'));
        shrunk = short_text;
        ASSERT_EQ(shrunk.str(), "qqq");
    }
}

TEST(RexxValue, AppendGrowsAcrossTheInlineLimit) {
    NumericSettings ns;
    RexxValue a("abc");
    for (int i = 0; i < 20; ++i)
        a.append("defgh", ns);
    EXPECT_EQ(a.str().size(), 3u + 100u);
    EXPECT_EQ(a.str().substr(0, 8), "abcdefgh");
    RexxValue self("xy");
    for (int i = 0; i < 6; ++i)
        self.append(self.str(), ns); // x = x || x
    EXPECT_EQ(self.str().size(), 128u);
    EXPECT_EQ(self.str().substr(0, 6), "xyxyxy");
}

TEST(RexxValue, NumberTextIsFormattedPerSettingsAndCached) {
    RexxValue n = RexxValue::number(123456, 0);
    NumericSettings nine, five;
    five.digits = 5;
    EXPECT_EQ(n.text(nine), "123456");
    EXPECT_EQ(n.text(five), "1.2346E+5");
    EXPECT_EQ(n.text(nine), "123456");
    RexxValue copy = n;
    EXPECT_EQ(copy.text(nine), "123456");
    EXPECT_TRUE(copy.is_number_form());
}

TEST(RexxValue, AppendToNumberUsesItsText) {
    NumericSettings ns;
    RexxValue n = RexxValue::number(1.5, 2);
    n.append("x", ns);
    EXPECT_TRUE(n.is_string());
    EXPECT_EQ(n.str(), "1.50x");
}

TEST(RexxValue, StringRecognisedOnceKeepsItsSpelling) {
    RexxValue v(" 007 ");
    ASSERT_TRUE(tolma::is_number(v));
    EXPECT_TRUE(v.known_number());
    EXPECT_EQ(v.num(), 7);
    // The text stays as written; only the number is cached next to it.
    EXPECT_EQ(v.str(), " 007 ");
    RexxValue w("abc");
    EXPECT_FALSE(tolma::is_number(w));
    EXPECT_TRUE(w.known_not_number());
    w.assign_text("12");
    EXPECT_FALSE(w.known_not_number()); // a new text is checked anew
    EXPECT_TRUE(tolma::is_number(w));
}

TEST(SpareBuffer, OverwrittenValueLendsItsBufferToTheNextLongText) {
    tolma::SpareBuffer spare;
    // Lengths past the inline room, so that both texts need a heap buffer.
    const size_t longer = RexxValue::kInline + 17, shorter = RexxValue::kInline + 7;
    RexxValue old(std::string(longer, 'o'));
    old.give_buffer(spare);
    EXPECT_EQ(old.str(), "");
    ASSERT_NE(spare.data, nullptr);
    EXPECT_GE(spare.cap, longer);
    char* lent = spare.data;
    RexxValue fresh;
    char* p = fresh.resize_text(shorter, spare);
    EXPECT_EQ(p, lent);
    EXPECT_EQ(spare.data, nullptr);
    std::memset(p, 'n', shorter);
    EXPECT_EQ(fresh.str(), std::string(shorter, 'n'));
    // The value owns it now: a second giving and taking round trips it.
    fresh.give_buffer(spare);
    EXPECT_EQ(spare.data, lent);
}

TEST(SpareBuffer, OnlyFittingBuffersAreTaken) {
    tolma::SpareBuffer spare;
    RexxValue big(std::string(1000, 'b'));
    big.give_buffer(spare);
    ASSERT_NE(spare.data, nullptr);
    RexxValue short_text;
    short_text.resize_text(5, spare); // fits inline: the spare stays
    RexxValue small_heap;
    small_heap.resize_text(40, spare); // far smaller than the buffer
    EXPECT_NE(spare.data, nullptr);
    RexxValue larger;
    larger.resize_text(2000, spare); // too small a buffer
    EXPECT_NE(spare.data, nullptr);
    // A buffer already held is not replaced; a huge one is never kept.
    tolma::SpareBuffer other;
    RexxValue second(std::string(100, 's'));
    char* held = spare.data;
    second.give_buffer(spare);
    EXPECT_EQ(spare.data, held);
    EXPECT_EQ(second.str(), std::string(100, 's'));
    RexxValue huge(std::string(tolma::SpareBuffer::kMaxKept + 1, 'h'));
    huge.give_buffer(other);
    EXPECT_EQ(other.data, nullptr);
    EXPECT_EQ(huge.str().size(), tolma::SpareBuffer::kMaxKept + 1);
}

} // namespace
