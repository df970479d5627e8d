// The NOTREADY path: error 40 when untrapped, SIGNAL ON and CALL ON.
#include "harness.h"
#include "rexx/core/errors.h"
#include "rexx/core/pool.h"

namespace tolma::test {

TEST(NotReady, UntrappedIsErrorForty) {
    Io t;
    std::string f = t.path("none");
    CallResult r = t.call("LINEIN", {f});
    ASSERT_FALSE(r.ok);
    EXPECT_EQ(r.error.code, 40);
    EXPECT_EQ(r.error.detail,
              "LINEIN(): unable to open file \"" + f + "\": No such file or directory");
}

TEST(NotReady, SignalOnTransfersWithTheStreamName) {
    Io t;
    set_trap(t.in, Condition::Notready, TrapMode::Signal);
    std::string f = t.path("none");
    std::string label;
    try {
        t.call("LINEIN", {f});
        ADD_FAILURE() << "no transfer";
    } catch (const SignalTransfer& s) {
        label = s.label;
    }
    EXPECT_EQ(label, "NOTREADY");
    EXPECT_EQ(t.in.condition.code, static_cast<int>(Condition::Notready));
    EXPECT_EQ(t.in.condition.description, f);
    EXPECT_EQ(t.in.traps[Condition::Notready].mode, TrapMode::Off);
    EXPECT_EQ(t.out, "LINEIN(): unable to open file \"" + f + "\": No such file or directory\n");
    RexxValue* sigl = get_var(t.in, "SIGL");
    ASSERT_NE(sigl, nullptr);
    EXPECT_EQ(sigl->text(t.in.numeric), "1");
}

TEST(NotReady, SignalOnNamedLabelAndLowerCase) {
    Io t;
    t.in.case_mode = NameCase::Lower;
    set_trap(t.in, Condition::Notready, TrapMode::Signal);
    t.scratch.write("two", "a\nb\n");
    try {
        t.call("linein", {t.path("two"), "3"});
        ADD_FAILURE() << "no transfer";
    } catch (const SignalTransfer& s) {
        EXPECT_EQ(s.label, "notready");
    }
    set_trap(t.in, Condition::Notready, TrapMode::Signal, "BADFILE");
    try {
        t.call("charin", {t.path("two"), "99"});
        ADD_FAILURE() << "no transfer";
    } catch (const SignalTransfer& s) {
        EXPECT_EQ(s.label, "BADFILE");
    }
}

TEST(NotReady, CallOnRunsHandlerDelayedAndReturnsEmpty) {
    Io t;
    set_trap(t.in, Condition::Notready, TrapMode::Call);
    std::string f = t.path("none");
    std::vector<std::string> calls;
    bool delayed_inside = false;
    std::string description_inside;
    t.in.call_handler = [&](Interp& in, const std::string& label) {
        calls.push_back(label);
        delayed_inside = in.traps[Condition::Notready].busy;
        description_inside = in.condition.description;
        // A failure inside the handler while the trap is delayed neither
        // nests nor raises.
        std::string nested = t("LINEIN", {f});
        EXPECT_EQ(nested, "");
    };
    EXPECT_EQ(t("LINEIN", {f}), "");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0], "NOTREADY");
    EXPECT_TRUE(delayed_inside);
    EXPECT_EQ(description_inside, f);
    // Re-armed afterwards.
    EXPECT_EQ(t.in.traps[Condition::Notready].mode, TrapMode::Call);
    EXPECT_FALSE(t.in.traps[Condition::Notready].busy);
    EXPECT_EQ(t("LINEOUT", {t.path("d/none"), "x"}), "");
    EXPECT_EQ(calls.size(), 2u);
}

TEST(NotReady, ArgumentErrorsStayErrorForty) {
    Io t;
    set_trap(t.in, Condition::Notready, TrapMode::Signal);
    CallResult r = t.call("LINEIN", {t.path("x"), "abc"});
    EXPECT_EQ(r.error.code, 40);
    EXPECT_EQ(t.in.traps[Condition::Notready].mode, TrapMode::Signal);
}

} // namespace tolma::test
