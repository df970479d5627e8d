// Micro-benchmarks of the pool and arithmetic as the executor will drive
// them. Disabled by default; run with --gtest_also_run_disabled_tests.
// They print timings and assert nothing about them.
#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>

#include "harness.h"

using namespace tolma;

namespace {

struct Timer {
    const char* what;
    long n;
    std::chrono::steady_clock::time_point t0 = std::chrono::steady_clock::now();
    ~Timer() {
        double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        std::printf("%-40s %8.1f ns/iteration (%ld iterations, %.3f s)\n", what, s * 1e9 / n, n, s);
    }
};

const long kN = 2000000;

TEST(DISABLED_Bench, CountingLoop) {
    // do i = 1 to N; x = x + i; end
    tolma_test::Captured c;
    Interp& in = c.in;
    SymbolRef x = analyse_symbol("x", in.case_mode), i = analyse_symbol("i", in.case_mode);
    RexxValue one("1"), limit(std::to_string(kN)), fb;
    set_value(in, x, RexxValue("0"));
    set_value(in, i, one);
    {
        Timer t{"x = x + i (counting loop)", kN};
        for (;;) {
            const RexxValue& iv = fetch_value(in, i, fb);
            if (compare_values(in.numeric, CompareOp::Gt, iv, limit)) break;
            RexxValue sum = eval_arith(in, ArithOp::Add, fetch_value(in, x, fb), iv);
            set_value(in, x, std::move(sum));
            RexxValue next = eval_arith(in, ArithOp::Add, fetch_value(in, i, fb), one);
            set_value(in, i, std::move(next));
        }
    }
    EXPECT_EQ(get_value(in, x).text(in.numeric), "2.000001E+12");
}

TEST(DISABLED_Bench, CompoundAssignAndRead) {
    // do i = 1 to N; a.i = i; end; do i = 1 to N; s = s + a.i; end
    tolma_test::Captured c;
    Interp& in = c.in;
    SymbolRef a = analyse_symbol("a.i", in.case_mode), i = analyse_symbol("i", in.case_mode),
              s = analyse_symbol("s", in.case_mode);
    RexxValue fb;
    {
        Timer t{"a.i = i", kN};
        for (long k = 1; k <= kN; ++k) {
            set_value(in, i, RexxValue::number(static_cast<double>(k), 0));
            set_value(in, a, fetch_value(in, i, fb));
        }
    }
    set_value(in, s, RexxValue("0"));
    {
        Timer t{"s = s + a.i", kN};
        for (long k = 1; k <= kN; ++k) {
            set_value(in, i, RexxValue::number(static_cast<double>(k), 0));
            RexxValue sum =
                eval_arith(in, ArithOp::Add, fetch_value(in, s, fb), fetch_value(in, a, fb));
            set_value(in, s, std::move(sum));
        }
    }
    EXPECT_EQ(get_value(in, s).text(in.numeric), "2.000001E+12");
}

TEST(DISABLED_Bench, DecimalArithmetic) {
    tolma_test::Captured c;
    Interp& in = c.in;
    SymbolRef x = analyse_symbol("x", in.case_mode);
    RexxValue step("0.1"), fb;
    set_value(in, x, RexxValue("0"));
    {
        Timer t{"x = x + 0.1", kN};
        for (long k = 0; k < kN; ++k)
            set_value(in, x, eval_arith(in, ArithOp::Add, fetch_value(in, x, fb), step));
    }
    EXPECT_FALSE(get_value(in, x).text(in.numeric).empty());
}

TEST(DISABLED_Bench, ConcatenationAndCompare) {
    tolma_test::Captured c;
    Interp& in = c.in;
    SymbolRef s = analyse_symbol("s", in.case_mode);
    RexxValue word("abc"), fb;
    {
        Timer t{"if s = 'abc' then s = 'abc' (strings)", kN};
        set_value(in, s, RexxValue("abc"));
        long hits = 0;
        for (long k = 0; k < kN; ++k) {
            if (compare_values(in.numeric, CompareOp::Eq, fetch_value(in, s, fb), word)) ++hits;
            set_value(in, s, word);
        }
        EXPECT_EQ(hits, kN);
    }
}

TEST(DISABLED_Bench, ProcedureExpose) {
    tolma_test::Captured c;
    Interp& in = c.in;
    SymbolRef x = analyse_symbol("x", in.case_mode), y = analyse_symbol("y", in.case_mode);
    RexxValue one("1"), fb;
    set_value(in, x, RexxValue("0"));
    {
        Timer t{"call p (procedure expose x; y = 1)", kN / 4};
        for (long k = 0; k < kN / 4; ++k) {
            new_generation(in);
            expose(in, x);
            set_value(in, y, one);
            set_value(in, x, eval_arith(in, ArithOp::Add, fetch_value(in, x, fb), one));
            release_generation(in);
        }
    }
    EXPECT_EQ(get_value(in, x).text(in.numeric), "500000");
}

} // namespace
