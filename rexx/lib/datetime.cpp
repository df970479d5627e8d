// DATE and TIME: the clock snapshot shared by one source line, the day-number
// arithmetic (every fourth year a leap year, no century rule) and the
// elapsed-time clock.
#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <ctime>
#include <string>
#include <sys/time.h>

#include "rexx/lib/builtins.h"
#include "rexx/lib/libutil.h"

namespace tolma {

namespace {

const char* const kMonths[] = {"January",   "February", "March",    "April",
                               "May",       "June",     "July",     "August",
                               "September", "October",  "November", "December"};
const char* const kWeekdays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                 "Thursday", "Friday", "Saturday"};

bool system_clock(long long& sec, long& usec) {
    timeval tv;
    gettimeofday(&tv, nullptr);
    sec = tv.tv_sec;
    usec = tv.tv_usec;
    return true;
}

// Elapsed-clock reading of the snapshot, kept next to the broken-down time.
struct Reading {
    long long sec = 0;
    long usec = 0;
};

// Reads the clock unless a clause of the current line already did.
void snapshot(Interp& in, LibState& lib, Reading& reading) {
    if (lib.clock_line == in.pos.line && lib.clock_line != -1) {
        reading.sec = lib.snapshot_sec;
        reading.usec = lib.usec;
        return;
    }
    long long sec = 0;
    long usec = 0;
    if (!(lib.clock_source ? lib.clock_source(sec, usec) : system_clock(sec, usec)))
        system_clock(sec, usec);
    time_t t = static_cast<time_t>(sec);
    tm parts{};
    localtime_r(&t, &parts);
    lib.sec = parts.tm_sec;
    lib.min = parts.tm_min;
    lib.hour = parts.tm_hour;
    lib.mday = parts.tm_mday;
    lib.mon = parts.tm_mon;
    lib.year = parts.tm_year + 1900;
    lib.usec = usec;
    lib.snapshot_sec = sec;
    lib.clock_line = in.pos.line;
    reading.sec = sec;
    reading.usec = usec;
}

} // namespace

long day_number(int day, int month, int year) {
    int mp = month > 2 ? month + 1 : month + 13;
    int yp = month > 2 ? year : year - 1;
    return static_cast<long>(std::trunc(30.6001 * mp)) +
           static_cast<long>(std::trunc(365.25 * yp)) + day;
}

void date_of_day_number(long n, int& day, int& month, int& year) {
    double yp = std::floor((static_cast<double>(n) - 122.1) / 365.25);
    double mp = std::floor((static_cast<double>(n) - std::floor(365.25 * yp)) / 30.6001);
    month = static_cast<int>(mp < 14 ? mp - 1 : mp - 13);
    year = static_cast<int>(month <= 2 ? yp + 1 : yp);
    day = static_cast<int>(static_cast<double>(n) - std::trunc(365.25 * yp) -
                           std::trunc(30.6001 * mp));
}

int weekday_of(long n) {
    double w = (static_cast<double>(n) + 5) / 7;
    return static_cast<int>(std::trunc((w - std::trunc(w)) * 7 + 0.001));
}

namespace {

// Reads "%d/%d/%d" (blanks allowed before each number).
bool read_date(std::string_view s, int v[3]) {
    size_t i = 0;
    for (int k = 0; k < 3; ++k) {
        while (i < s.size() && s[i] == ' ')
            ++i;
        bool neg = false;
        if (i < s.size() && (s[i] == '-' || s[i] == '+')) neg = s[i++] == '-';
        size_t b = i;
        long long x = 0;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9' && i - b < 9)
            x = x * 10 + (s[i++] - '0');
        if (i == b || (i < s.size() && s[i] >= '0' && s[i] <= '9')) return false;
        v[k] = static_cast<int>(neg ? -x : x);
        if (k < 2) {
            if (i >= s.size() || s[i] != '/') return false;
            ++i;
        }
    }
    while (i < s.size() && s[i] == ' ')
        ++i;
    return i == s.size();
}

std::string printf_text(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string printf_text(const char* fmt, ...) {
    char buf[128];
    va_list ap;
    va_start(ap, fmt);
    int n = std::vsnprintf(buf, sizeof buf, fmt, ap);
    va_end(ap);
    return std::string(buf, n < 0 ? 0 : std::min<size_t>(n, sizeof buf - 1));
}

int two_digit_year(int year) {
    int y = year % 100;
    return y < 0 ? -y : y;
}

RexxValue bi_date(Interp& in, Args& a) {
    if (a.n > 2) wrong_call(in, a, 0, "must receive 1 or 2 arguments.");
    int day, month, year;
    if (a.has(1)) {
        std::string_view s = a[1].text(in.numeric);
        int v[3];
        bool ok =
            read_date(s, v) && v[0] >= 1 && v[0] <= 31 && v[1] >= 1 && v[1] <= 12 && v[2] != 0;
        if (ok) {
            int d2, m2, y2;
            date_of_day_number(day_number(v[0], v[1], v[2]), d2, m2, y2);
            ok = d2 == v[0] && m2 == v[1] && y2 == v[2];
        }
        if (!ok) wrong_call(in, a, 1, "Invalid \"" + std::string(s) + "\" date.");
        day = v[0];
        month = v[1];
        year = v[2];
    } else {
        Reading r;
        snapshot(in, *a.lib, r);
        day = a.lib->mday;
        month = a.lib->mon + 1;
        year = a.lib->year;
    }
    const long base = day_number(1, 1, 1) + 1;
    std::string_view opt = a.has(0) ? a[0].text(in.numeric) : std::string_view("n");
    if (a.has(0)) {
        long long k;
        if (whole_number(a[0], k) == WholeTest::Ok) {
            int d, m, y;
            date_of_day_number(base + static_cast<long>(k), d, m, y);
            return RexxValue(printf_text("%d/%.2d/%.2d", y, m, d));
        }
    }
    char c =
        opt.empty() ? 'n' : static_cast<char>(lower_table()[static_cast<unsigned char>(opt[0])]);
    long dn = day_number(day, month, year);
    switch (c) {
    case 'b': return int_result(dn - base);
    case 'c': return int_result(dn - day_number(1, 1, year / 100 * 100));
    case 'd': return int_result(dn - day_number(1, 1, year) + 1);
    case 'e':
        if (opt.size() > 1 && opt[1] == '4')
            return RexxValue(printf_text("%.2d/%.2d/%.4d", day, month, year));
        return RexxValue(printf_text("%.2d/%.2d/%.2d", day, month, two_digit_year(year)));
    case 'j':
        return RexxValue(printf_text("%.2d%.3d", two_digit_year(year),
                                     static_cast<int>(dn - day_number(1, 1, year) + 1)));
    case 'l':
    case 'n': return RexxValue(printf_text("%d %.3s %d", day, kMonths[month - 1], year));
    case 'm': return RexxValue(kMonths[month - 1]);
    case 'o': return RexxValue(printf_text("%.2d/%.2d/%.2d", two_digit_year(year), month, day));
    case 's': return RexxValue(printf_text("%.4d%.2d%.2d", year, month, day));
    case 'u': return RexxValue(printf_text("%.2d/%.2d/%.2d", month, day, two_digit_year(year)));
    case 'w': return RexxValue(kWeekdays[weekday_of(dn)]);
    default: wrong_call(in, a, 0, "argument 1 must start with B|C|D|E|J|L|M|O|S|U|W.");
    }
}

double elapsed_since(const LibState& lib, const Reading& r) {
    return static_cast<double>(r.sec - lib.elapsed_sec) +
           static_cast<double>(r.usec - lib.elapsed_usec) / 1e6;
}

RexxValue bi_time(Interp& in, Args& a) {
    if (a.n > 1) wrong_call(in, a, 0, "must receive 1 argument.");
    LibState& lib = *a.lib;
    Reading r;
    snapshot(in, lib, r);
    std::string_view opt = a.has(0) ? a[0].text(in.numeric) : std::string_view("n");
    long long k;
    if (a.has(0) && whole_number(a[0], k) == WholeTest::Ok) {
        // A count of seconds since midnight, written as N writes the time.
        long long s = ((k % 86400) + 86400) % 86400;
        return RexxValue(printf_text("%2.2d:%2.2d:%2.2d", static_cast<int>(s / 3600),
                                     static_cast<int>(s / 60 % 60), static_cast<int>(s % 60)));
    }
    char c =
        opt.empty() ? 'n' : static_cast<char>(lower_table()[static_cast<unsigned char>(opt[0])]);
    switch (c) {
    case 'c':
        if (lib.hour <= 12) return RexxValue(printf_text("%d:%2.2dam", lib.hour, lib.min));
        return RexxValue(printf_text("%d:%2.2dpm", lib.hour - 12, lib.min));
    case 'e':
    case 'r': {
        double elapsed = 0;
        if (lib.elapsed_started) elapsed = elapsed_since(lib, r);
        if (!lib.elapsed_started || c == 'r') {
            lib.elapsed_started = true;
            lib.elapsed_sec = r.sec;
            lib.elapsed_usec = r.usec;
        }
        return RexxValue::number(elapsed, elapsed == 0 ? 0 : -1);
    }
    case 'h': return int_result(lib.hour);
    case 'l': {
        if (lib.usec == 0)
            return RexxValue(printf_text("%2.2d:%2.2d:%2.2d", lib.hour, lib.min, lib.sec));
        std::string frac = printf_text("%.6ld", lib.usec);
        while (frac.size() > 1 && frac.back() == '0')
            frac.pop_back();
        return RexxValue(
            printf_text("%2.2d:%2.2d:%2.2d.%s", lib.hour, lib.min, lib.sec, frac.c_str()));
    }
    case 'm': return int_result(lib.hour * 60 + lib.min);
    case 'n': return RexxValue(printf_text("%2.2d:%2.2d:%2.2d", lib.hour, lib.min, lib.sec));
    case 's': return int_result(lib.hour * 3600L + lib.min * 60 + lib.sec);
    default:
        wrong_call(in, a, 0, "argument 1 must start with C|E|H|L|M|N|R|S, or be a whole number.");
    }
}

} // namespace

const Builtin kDateTimeBuiltins[] = {
    {"date", bi_date},
    {"time", bi_time},
};
const size_t kDateTimeBuiltinCount = sizeof kDateTimeBuiltins / sizeof kDateTimeBuiltins[0];

} // namespace tolma
