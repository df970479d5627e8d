// Micro-benchmarks of the common functions as the executor will call them:
// arguments fetched from variables, the row resolved once, the result
// assigned to a variable. Disabled by default; run with
// --gtest_also_run_disabled_tests. They print timings and assert nothing
// about them.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "harness.h"
#include "rexx/core/pool.h"

namespace tolma::test {

namespace {

// VOREN_BENCH_N sets the iterations and VOREN_BENCH_ONLY picks one function,
// so that an instruction counter (valgrind --tool=callgrind) can measure one
// function at two loop counts.
long iterations() {
    const char* n = std::getenv("VOREN_BENCH_N");
    return n ? std::atol(n) : 1000000;
}

// x = NAME(args...) in a loop; args are literals except "$s", the variable s.
void bench(const char* name, std::vector<std::string> args) {
    const char* only = std::getenv("VOREN_BENCH_ONLY");
    if (only && std::string(only) != name) return;
    const long kN = iterations();
    Lib f;
    SymbolRef s = analyse_symbol("s", f.in.case_mode), x = analyse_symbol("x", f.in.case_mode);
    set_value(f.in, s, RexxValue(std::string_view("The quick brown fox jumps over the lazy dog")));
    if (std::string(name) == "STRIP")
        set_value(f.in, s, RexxValue(std::string_view("    The quick brown fox    ")));
    if (std::string(name) == "SPACE")
        set_value(f.in, s, RexxValue(std::string_view("  The  quick brown   fox jumps  ")));
    std::string_view msg;
    const Builtin* row = find_builtin(name, f.in.case_mode, &msg);
    ASSERT_NE(row, nullptr);
    std::vector<RexxValue> literals;
    for (const std::string& a : args)
        literals.emplace_back(a);
    RexxValue fb;
    auto t0 = std::chrono::steady_clock::now();
    for (long k = 0; k < kN; ++k) {
        const RexxValue* slots[4];
        for (size_t i = 0; i < args.size(); ++i)
            slots[i] = args[i] == "$s" ? &fetch_value(f.in, s, fb) : &literals[i];
        set_value(
            f.in, x,
            invoke_builtin(f.in, f.lib, *row, msg, slots, static_cast<int>(args.size()), nullptr));
    }
    double sec = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    std::printf("%-10s %7.1f ns/call  -> %s\n", name, sec * 1e9 / kN,
                std::string(get_value(f.in, x).text(f.in.numeric)).c_str());
}

} // namespace

TEST(DISABLED_Bench, CommonFunctions) {
    bench("SUBSTR", {"$s", "5", "11"});
    bench("POS", {"lazy", "$s"});
    bench("WORD", {"$s", "5"});
    bench("WORDS", {"$s"});
    bench("STRIP", {"$s"});
    bench("TRANSLATE", {"$s", "abc", "xyz"});
    bench("D2X", {"123456"});
    bench("LENGTH", {"$s"});
    bench("COPIES", {"ab", "20"});
    bench("SPACE", {"$s"});
}

} // namespace tolma::test
