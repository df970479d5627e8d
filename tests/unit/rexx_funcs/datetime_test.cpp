// DATE and TIME against a test clock (local time = UTC in these tests).
#include <cstdlib>
#include <ctime>

#include "harness.h"
#include "rexx/lib/libutil.h"

namespace tolma::test {

namespace {

long long g_sec = 0;
long g_usec = 0;

bool test_clock(long long& sec, long& usec) {
    sec = g_sec;
    usec = g_usec;
    return true;
}

// 2026-12-06 09:38:34 UTC, a Sunday.
constexpr long long kSunday = 1796549914;
// 2026-03-01 00:00:00 UTC.
constexpr long long kMarch1 = 1772323200;

struct Clock : Lib {
    Clock(long long sec, long usec = 0) {
        setenv("TZ", "UTC", 1);
        tzset();
        g_sec = sec;
        g_usec = usec;
        lib.clock_source = test_clock;
    }
    // The executor clears the snapshot's line before each clause.
    void next_clause(int line) {
        lib.clock_line = -1;
        in.pos.line = line;
    }
};

} // namespace

TEST(DayNumbers, EveryFourthYearIsALeapYear) {
    // 1 January 0001 and 1 January 2000 as the B option counts them.
    EXPECT_EQ(day_number(1, 1, 1), 429);
    EXPECT_EQ(day_number(1, 1, 2000) - 430, 730133);
    int d, m, y;
    for (long n : {429L, 730563L, 740399L, 500000L, 600060L}) {
        date_of_day_number(n, d, m, y);
        EXPECT_EQ(day_number(d, m, y), n);
    }
    date_of_day_number(day_number(29, 2, 1900), d, m, y); // no century rule
    EXPECT_EQ(d, 29);
    EXPECT_EQ(m, 2);
    EXPECT_EQ(weekday_of(day_number(6, 12, 2026)), 0);
    EXPECT_EQ(weekday_of(day_number(7, 12, 2026)), 1);
    EXPECT_EQ(weekday_of(day_number(12, 12, 2026)), 6);
}

TEST(DateFunction, EveryOption) {
    Clock f(kSunday);
    EXPECT_EQ(f("DATE", {}), "6 Dec 2026");
    EXPECT_EQ(f("DATE", {"N"}), "6 Dec 2026");
    EXPECT_EQ(f("DATE", {"Long"}), "6 Dec 2026");
    EXPECT_EQ(f("DATE", {"B"}), "739969");
    EXPECT_EQ(f("DATE", {"C"}), "9836");
    EXPECT_EQ(f("DATE", {"D"}), "340");
    EXPECT_EQ(f("DATE", {"E"}), "06/12/26");
    EXPECT_EQ(f("DATE", {"E4"}), "06/12/2026");
    EXPECT_EQ(f("DATE", {"J"}), "26340");
    EXPECT_EQ(f("DATE", {"M"}), "December");
    EXPECT_EQ(f("DATE", {"O"}), "26/12/06");
    EXPECT_EQ(f("DATE", {"S"}), "20261206");
    EXPECT_EQ(f("DATE", {"U"}), "12/06/26");
    EXPECT_EQ(f("DATE", {"W"}), "Sunday");
    EXPECT_EQ(f("DATE", {"weekday"}), "Sunday");
    EXPECT_EQ(f("DATE", {""}), "6 Dec 2026");
}

TEST(DateFunction, DateArgument) {
    Clock f(kSunday);
    EXPECT_EQ(f("DATE", {"B", "1/1/2000"}), "730133");
    EXPECT_EQ(f("DATE", {"B", "1/1/0001"}), "-1");
    EXPECT_EQ(f("DATE", {"W", "7/12/2026"}), "Monday");
    EXPECT_EQ(f("DATE", {"S", "5/3/0099"}), "00990305");
    EXPECT_EQ(f("DATE", {"E", "5/3/2009"}), "05/03/09");
    EXPECT_EQ(f("DATE", {"D", "31/12/2024"}), "366");
    EXPECT_EQ(f("DATE", {"N", "29/02/1900"}), "29 Feb 1900");
    EXPECT_EQ(f("DATE", {omitted, "01/02/2003"}), "1 Feb 2003");
    // The date argument does not change the snapshot.
    EXPECT_EQ(f("DATE", {"S"}), "20261206");
    EXPECT_EQ(f.msg("DATE", {"N", "29/02/2001"}), "DATE(): Invalid \"29/02/2001\" date.");
    EXPECT_EQ(f.blamed("DATE", {"N", "29/02/2001"}), 1);
    EXPECT_EQ(f.msg("DATE", {"N", "31/02/2001"}), "DATE(): Invalid \"31/02/2001\" date.");
    EXPECT_EQ(f.msg("DATE", {"N", "1/13/2001"}), "DATE(): Invalid \"1/13/2001\" date.");
    EXPECT_EQ(f.msg("DATE", {"N", "1/1/0"}), "DATE(): Invalid \"1/1/0\" date.");
    EXPECT_EQ(f.msg("DATE", {"N", "0/1/2000"}), "DATE(): Invalid \"0/1/2000\" date.");
    EXPECT_EQ(f.msg("DATE", {"N", "2000-01-01"}), "DATE(): Invalid \"2000-01-01\" date.");
    EXPECT_EQ(f.msg("DATE", {"N", "1/1/2000x"}), "DATE(): Invalid \"1/1/2000x\" date.");
    EXPECT_EQ(f.msg("DATE", {"N", ""}), "DATE(): Invalid \"\" date.");
}

TEST(DateFunction, WholeNumberIsTheInverseOfBase) {
    Clock f(kSunday);
    EXPECT_EQ(f("DATE", {"739969"}), "2026/12/06");
    EXPECT_EQ(f("DATE", {f("DATE", {"B"})}), "2026/12/06");
    EXPECT_EQ(f("DATE", {"730133"}), "2000/01/01");
    EXPECT_EQ(f("DATE", {"0"}), "1/01/02");
}

TEST(DateFunction, WrongCalls) {
    Clock f(kSunday);
    EXPECT_EQ(f.msg("DATE", {"N", "1/1/2000", "x"}), "DATE(): must receive 1 or 2 arguments.");
    EXPECT_EQ(f.msg("DATE", {"X"}), "DATE(): argument 1 must start with B|C|D|E|J|L|M|O|S|U|W.");
    EXPECT_EQ(f.blamed("DATE", {"X"}), 0);
    EXPECT_EQ(f.blamed("DATE", {"N", "1/1/2000", "x"}), 0);
    EXPECT_EQ(f.msg("DATE", {"1.5"}), "DATE(): argument 1 must start with B|C|D|E|J|L|M|O|S|U|W.");
}

TEST(TimeFunction, EveryOption) {
    Clock f(kSunday, 250000);
    EXPECT_EQ(f("TIME", {}), "09:38:34");
    EXPECT_EQ(f("TIME", {"N"}), "09:38:34");
    EXPECT_EQ(f("TIME", {"normal"}), "09:38:34");
    EXPECT_EQ(f("TIME", {"C"}), "9:38am");
    EXPECT_EQ(f("TIME", {"H"}), "9");
    EXPECT_EQ(f("TIME", {"L"}), "09:38:34.25");
    EXPECT_EQ(f("TIME", {"M"}), "578");
    EXPECT_EQ(f("TIME", {"S"}), "34714");
    EXPECT_EQ(f("TIME", {"3661"}), "01:01:01");
}

TEST(TimeFunction, CivilAndLongForms) {
    Clock f(kMarch1 + 5 * 60);
    EXPECT_EQ(f("TIME", {"C"}), "0:05am");
    f.next_clause(2);
    g_sec = kMarch1 + 12 * 3600 + 30 * 60;
    EXPECT_EQ(f("TIME", {"C"}), "12:30am");
    f.next_clause(3);
    g_sec = kMarch1 + 13 * 3600;
    EXPECT_EQ(f("TIME", {"C"}), "1:00pm");
    f.next_clause(4);
    g_sec = kMarch1 + 23 * 3600 + 59 * 60;
    EXPECT_EQ(f("TIME", {"c"}), "11:59pm");
    f.next_clause(5);
    g_sec = kMarch1 + 10 * 3600;
    g_usec = 0;
    EXPECT_EQ(f("TIME", {"L"}), "10:00:00");
    f.next_clause(6);
    g_usec = 1;
    EXPECT_EQ(f("TIME", {"L"}), "10:00:00.000001");
    f.next_clause(7);
    g_usec = 100000;
    EXPECT_EQ(f("TIME", {"L"}), "10:00:00.1");
}

TEST(TimeFunction, OneSnapshotPerLine) {
    Clock f(kSunday);
    f.next_clause(5);
    EXPECT_EQ(f("TIME", {"N"}), "09:38:34");
    g_sec += 61;
    // Same line, same clause: the same instant, for DATE too.
    EXPECT_EQ(f("TIME", {"N"}), "09:38:34");
    EXPECT_EQ(f("DATE", {"S"}), "20261206");
    // A later call on the same line (no clause boundary) still sees it.
    EXPECT_EQ(f("TIME", {"S"}), "34714");
    // Another line reads the clock anew.
    f.in.pos.line = 6;
    EXPECT_EQ(f("TIME", {"N"}), "09:39:35");
    // A new clause on the same line reads it too.
    g_sec += 1;
    f.next_clause(6);
    EXPECT_EQ(f("TIME", {"N"}), "09:39:36");
}

TEST(TimeFunction, ElapsedClock) {
    Clock f(kSunday, 500000);
    EXPECT_EQ(f("TIME", {"E"}), "0");
    f.next_clause(2);
    g_sec += 2;
    g_usec = 750000;
    EXPECT_EQ(f("TIME", {"E"}), "2.25");
    f.next_clause(3);
    g_sec += 1;
    EXPECT_EQ(f("TIME", {"R"}), "3.25");
    f.next_clause(4);
    g_sec += 1;
    g_usec = 0;
    EXPECT_EQ(f("TIME", {"E"}), "0.25");
    f.next_clause(5);
    EXPECT_EQ(f("TIME", {"R"}), "0.25");
    EXPECT_EQ(f("TIME", {"E"}), "0");
    // The first R starts the clock.
    Clock g(kSunday);
    EXPECT_EQ(g("TIME", {"R"}), "0");
}

TEST(TimeFunction, WrongCalls) {
    Clock f(kSunday);
    EXPECT_EQ(f.msg("TIME", {"N", "x"}), "TIME(): must receive 1 argument.");
    EXPECT_EQ(f.msg("TIME", {"X"}),
              "TIME(): argument 1 must start with C|E|H|L|M|N|R|S, or be a whole number.");
    EXPECT_EQ(f.msg("TIME", {"1.5"}),
              "TIME(): argument 1 must start with C|E|H|L|M|N|R|S, or be a whole number.");
}

} // namespace tolma::test
