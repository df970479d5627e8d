// Cross-check of whole-number arithmetic at NUMERIC DIGITS 9 with Regina
// REXX, where both interpreters define the results the same way. Skipped
// when no `rexx` program is installed.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <unistd.h>

#include "harness.h"

using namespace tolma;

namespace {

struct Case {
    long a, b;
    ArithOp op;
};

bool have_regina() {
    return std::system("command -v rexx >/dev/null 2>&1") == 0;
}

std::vector<std::string> run_regina(const std::string& program) {
    char path[] = "/tmp/tolma_regina_XXXXXX";
    int fd = mkstemp(path);
    if (fd < 0) return {};
    close(fd);
    {
        std::ofstream f(path);
        f << program;
    }
    std::vector<std::string> lines;
    std::string cmd = std::string("rexx ") + path + " 2>&1";
    if (FILE* p = popen(cmd.c_str(), "r")) {
        char buf[256];
        while (std::fgets(buf, sizeof buf, p)) {
            std::string l(buf);
            while (!l.empty() && (l.back() == '\n' || l.back() == '\r'))
                l.pop_back();
            lines.push_back(l);
        }
        pclose(p);
    }
    std::remove(path);
    return lines;
}

TEST(Regina, WholeNumberOperatorsAgree) {
    if (!have_regina()) GTEST_SKIP() << "no rexx program";
    uint64_t seed = 0x2545F4914F6CDD1DULL;
    auto next = [&] {
        seed ^= seed << 13;
        seed ^= seed >> 7;
        seed ^= seed << 17;
        return seed;
    };
    const ArithOp ops[] = {ArithOp::Add,    ArithOp::Sub, ArithOp::Mul,
                           ArithOp::IntDiv, ArithOp::Rem, ArithOp::Div};
    std::vector<Case> cases;
    std::string program;
    for (int i = 0; i < 600; ++i) {
        Case c;
        c.op = ops[i % 6];
        c.a = static_cast<long>(next() % 20001) - 10000;
        c.b = static_cast<long>(next() % 20001) - 10000;
        if (c.b == 0) c.b = 7;
        cases.push_back(c);
        program += "say " + std::to_string(c.a) + " " + arith_op_text(c.op) + " (" +
                   std::to_string(c.b) + ")\n";
    }
    std::vector<std::string> expected = run_regina(program);
    ASSERT_EQ(expected.size(), cases.size());
    tolma_test::Captured cap;
    int mismatches = 0;
    for (size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        RexxValue r = eval_arith(cap.in, c.op, RexxValue(std::to_string(c.a)),
                                 RexxValue(std::to_string(c.b)));
        std::string got(r.text(cap.in.numeric));
        if (got != expected[i] && ++mismatches < 10)
            ADD_FAILURE() << c.a << ' ' << arith_op_text(c.op) << ' ' << c.b << ": " << got
                          << " (Regina " << expected[i] << ")";
    }
    EXPECT_EQ(mismatches, 0);
}

} // namespace
