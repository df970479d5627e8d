// The colour palette, nearest terminal colours, and the hangup hook.
#include "platform/hangup.h"
#include "platform/headless.h"

#include <csignal>
#include <gtest/gtest.h>

namespace voren::platform {
namespace {

TEST(Palette, NamedColoursByNumber) {
    const Palette& p = default_palette();
    EXPECT_EQ(p[1], (Rgb{0, 0, 255}));      // blue
    EXPECT_EQ(p[2], (Rgb{255, 0, 0}));      // red
    EXPECT_EQ(p[7], (Rgb{0, 0, 0}));        // black
    EXPECT_EQ(p[12], (Rgb{176, 48, 96}));   // maroon
    EXPECT_EQ(p[62], (Rgb{255, 255, 255})); // white
    EXPECT_EQ(p[63], (Rgb{160, 32, 240}));  // purple
}

TEST(Palette, RedefiningAColour) {
    FieldWindow w;
    open_headless_window(w, 2, 2);
    EXPECT_TRUE(set_colour_rgb(w, 3, {1, 2, 3}));
    EXPECT_EQ(w.palette[3], (Rgb{1, 2, 3}));
    EXPECT_FALSE(set_colour_rgb(w, 0, {1, 2, 3}));
    EXPECT_FALSE(set_colour_rgb(w, 64, {1, 2, 3}));
    EXPECT_EQ(default_palette()[3], (Rgb{255, 165, 0})); // the defaults stay
    set_background_rgb(w, {10, 20, 30});
    set_foreground_rgb(w, {40, 50, 60});
    EXPECT_TRUE(w.background_set);
    EXPECT_EQ(w.background, (Rgb{10, 20, 30}));
    EXPECT_EQ(w.foreground, (Rgb{40, 50, 60}));
}

TEST(NearestColour, TwoHundredFiftySix) {
    EXPECT_EQ(nearest_colour_256({255, 0, 0}), 196);
    EXPECT_EQ(nearest_colour_256({0, 0, 255}), 21);
    EXPECT_EQ(nearest_colour_256({0, 0, 0}), 16);
    EXPECT_EQ(nearest_colour_256({255, 255, 255}), 231);
    EXPECT_EQ(nearest_colour_256({128, 128, 128}), 244); // grey ramp: 8 + 10*12
    EXPECT_EQ(nearest_colour_256({95, 135, 175}), 16 + 36 * 1 + 6 * 2 + 3);
    EXPECT_EQ(nearest_colour_256({255, 165, 0}), 214); // orange: cube levels 255, 175, 0
}

TEST(NearestColour, AvoidsReservedSlots) {
    std::array<bool, 256> avoid{};
    avoid[196] = true;
    int red = nearest_colour_256({255, 0, 0}, &avoid);
    EXPECT_NE(red, 196);
    EXPECT_EQ(red, 160); // (215, 0, 0)
    avoid.fill(true);
    EXPECT_EQ(nearest_colour_256({1, 2, 3}, &avoid), 16); // nothing left: the first slot
}

TEST(NearestColour, Eight) {
    EXPECT_EQ(nearest_colour_8({0, 0, 0}), 0);
    EXPECT_EQ(nearest_colour_8({255, 0, 0}), 1);
    EXPECT_EQ(nearest_colour_8({0, 255, 0}), 2);
    EXPECT_EQ(nearest_colour_8({255, 165, 0}), 3); // orange is yellow
    EXPECT_EQ(nearest_colour_8({0, 0, 255}), 4);
    EXPECT_EQ(nearest_colour_8({176, 48, 96}), 1); // maroon is red
    EXPECT_EQ(nearest_colour_8({255, 255, 255}), 7);
}

int handled_signal = 0;
int handled_count = 0;
void* handled_context = nullptr;
void record(int sig, void* context) {
    handled_signal = sig;
    handled_context = context;
    ++handled_count;
}

struct Hangup : ::testing::Test {
    void SetUp() override {
        handled_signal = 0;
        handled_count = 0;
        handled_context = nullptr;
    }
    void TearDown() override { set_hangup_handler(nullptr, nullptr); }
};

TEST_F(Hangup, SignalIsHandledLaterInNormalContext) {
    int context = 0;
    set_hangup_handler(record, &context);
    EXPECT_FALSE(hangup_pending());
    std::raise(SIGTERM);
    EXPECT_TRUE(hangup_pending());
    EXPECT_EQ(handled_count, 0); // nothing ran inside the signal handler
    EXPECT_EQ(run_pending_hangup(), SIGTERM);
    EXPECT_EQ(handled_signal, SIGTERM);
    EXPECT_EQ(handled_context, &context);
    EXPECT_FALSE(hangup_pending());
    EXPECT_EQ(run_pending_hangup(), 0);
    EXPECT_EQ(handled_count, 1);
}

TEST_F(Hangup, SecondSignalWhilePendingIsNotRunTwice) {
    set_hangup_handler(record, nullptr);
    std::raise(SIGHUP);
    std::raise(SIGTERM);
    EXPECT_EQ(run_pending_hangup(), SIGHUP);
    EXPECT_EQ(handled_count, 1);
}

TEST_F(Hangup, InputTurnEndsWithHangupAfterTheHandlerRan) {
    FieldWindow w;
    open_headless_window(w, 4, 10);
    FieldSpec s;
    s.id = 1;
    s.width = 10;
    s.input = true;
    create_field(w, s);
    set_hangup_handler(record, nullptr);
    script_text(w, "abc");
    std::raise(SIGHUP);
    InputTurn t = read_input(w);
    EXPECT_EQ(t.key.kind, KeyKind::Hangup);
    EXPECT_EQ(t.key.number, SIGHUP);
    EXPECT_EQ(handled_count, 1);
    EXPECT_EQ(find_field(w, 1)->text, ""); // no key was taken after the hangup
}

TEST_F(Hangup, NotedHangupWithoutSignal) {
    set_hangup_handler(record, nullptr);
    note_hangup(SIGHUP);
    EXPECT_EQ(run_pending_hangup(), SIGHUP);
    EXPECT_EQ(handled_signal, SIGHUP);
}

} // namespace
} // namespace voren::platform
