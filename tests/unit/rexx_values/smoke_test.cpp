#include "rexx/core/arith.h"
#include "rexx/core/interp.h"
#include <gtest/gtest.h>
TEST(Smoke, Builds) {
    tolma::Interp in;
    EXPECT_EQ(tolma::numeric_text(in.numeric), "9 0 SCIENTIFIC");
}
