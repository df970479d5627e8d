#include "common/regex/regex.h"

#include <gtest/gtest.h>

TEST(RegexSmoke, Compiles) {
    EXPECT_TRUE(vre::compile("a*b").ok());
}
