#include "platform/headless.h"
#include <gtest/gtest.h>
TEST(Smoke, Opens) { voren::FieldWindow w; voren::open_headless_window(w, 4, 10); EXPECT_EQ(w.rows, 4); }
