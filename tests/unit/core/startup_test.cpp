#include "editor/core/editor.h"
#include "editor/core/file_io.h"
#include "editor/core/main_loop.h"
#include "editor/core/startup.h"
#include "tests/unit/core/core_test_support.h"

#include <gtest/gtest.h>
#include <set>

namespace voren {
namespace {

using Texts = std::vector<std::string>;

std::optional<StartOptions> parse(const Texts& args) {
    return parse_command_line(args);
}

TEST(Options, FilesFollowTheOptions) {
    auto options = parse({"voren", "-c", "top", "-kedit", "a.c", "-batch", "b c"});
    ASSERT_TRUE(options);
    EXPECT_EQ(options->commands, (Texts{"top"}));
    EXPECT_TRUE(options->kedit);
    EXPECT_FALSE(options->batch); // after the first file it is a file name
    EXPECT_EQ(options->files, (Texts{"a.c", "-batch", "b c"}));
}

TEST(Options, EveryOptionTakesItsArgumentCount) {
    auto options = parse({"voren",     "-Ww",
                          "1",         "-Wh",
                          "2",         "-Wp",
                          "1",         "2",
                          "-Wf",       "a",
                          "b",         "c",
                          "-width",    "80",
                          "-height",   "24",
                          "-position", "0",
                          "0",         "-font",
                          "f",         "-display",
                          ":0",        "-geometry",
                          "g",         "-synchronous",
                          "-iconic",   "-icon_position",
                          "1",         "2",
                          "-WP",       "3",
                          "4",         "-xrm",
                          "x",         "-scope",
                          "s",         "-dy_font",
                          "d",         "-noauto",
                          "-pdf",      "-id",
                          "ME",        "file"});
    ASSERT_TRUE(options);
    EXPECT_EQ(options->files, (Texts{"file"}));
    EXPECT_TRUE(options->ispf);
    EXPECT_EQ(options->identity, "ME");
    ASSERT_EQ(options->screen_options.size(), 13u);
    EXPECT_EQ(options->screen_options[3], (Texts{"Wf", "a", "b", "c"}));
    EXPECT_EQ(options->screen_options.back(), (Texts{"noauto"}));
}

TEST(Options, UnknownOrIncompleteOptionsAreRefused) {
    EXPECT_FALSE(parse({"voren", "-x"}));
    EXPECT_FALSE(parse({"voren", "-C", "top"})); // case-sensitive
    EXPECT_FALSE(parse({"voren", "-c"}));
    EXPECT_FALSE(parse({"voren", "-Wf", "a", "b"}));
    EXPECT_FALSE(parse({"voren", "-batchx"}));
    EXPECT_TRUE(parse({"voren"}));
}

TEST(Options, ProfileChoice) {
    using P = StartOptions::Profile;
    EXPECT_EQ(parse({"voren"})->profile, P::Default);
    EXPECT_EQ(parse({"voren", "-batch"})->profile, P::None);
    auto batch_p = parse({"voren", "-batch", "-p", "x"});
    EXPECT_EQ(batch_p->profile, P::Explicit);
    EXPECT_EQ(batch_p->profile_name, "x.voren");
    EXPECT_EQ(parse({"voren", "-p", "x", "-batch"})->profile, P::Explicit);
    EXPECT_EQ(parse({"voren", "-p", "x", "-np"})->profile, P::None);
    EXPECT_EQ(parse({"voren", "-np", "-p", "x"})->profile, P::Explicit);
    EXPECT_EQ(parse({"voren", "-P", "dir.d/prof"})->profile_name, "dir.d/prof.voren");
    EXPECT_EQ(parse({"voren", "-p", "my.x"})->profile_name, "my.x");
    EXPECT_EQ(parse({"voren", "-filec", "cmds"})->profile, P::None);
}

TEST(Options, CommandFileIsHashedThenRun) {
    auto options = parse({"voren", "-c", "first", "-filec", "dir.v/cmds", "-filec", "b.x", "f"});
    ASSERT_TRUE(options);
    EXPECT_TRUE(options->batch);
    EXPECT_EQ(options->commands,
              (Texts{"first", "hash dir.v/cmds.voren", "dir.v/cmds", "hash b.x", "b.x"}));
}

TEST(Personalities, ComeFromTheProgramName) {
    EXPECT_EQ(personality_of("/usr/bin/xeda"), Personality::Xeda);
    EXPECT_EQ(personality_of("tree"), Personality::Tree);
    EXPECT_EQ(personality_of("./fli"), Personality::FileList);
    EXPECT_EQ(personality_of("/x/voren"), Personality::Editor);
    EXPECT_EQ(personality_of("/x/TREE"), Personality::Editor);
    EXPECT_EQ(parse({"tree"})->personality_arguments, " ");
    auto fli = parse({"/bin/fli", "-kedit", "a", "b"});
    EXPECT_EQ(fli->personality, Personality::FileList);
    EXPECT_EQ(fli->personality_arguments, "a b");
    EXPECT_EQ(fli->files, (Texts{"a", "b"}));
}

TEST(Startup, XedaIsNotSupported) {
    char arg0[] = "/usr/bin/xeda";
    char* argv[] = {arg0, nullptr};
    testing::internal::CaptureStderr();
    EXPECT_EQ(voren_main(1, argv), 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "xeda: not supported\n");
}

TEST(Startup, AnInvalidOptionStopsWithStatusOne) {
    char arg0[] = "voren", arg1[] = "-nope";
    char* argv[] = {arg0, arg1, nullptr};
    testing::internal::CaptureStderr();
    EXPECT_EQ(voren_main(2, argv), 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "VOREN: invalid option\n");
}

TEST(Startup, WithoutAScreenLayerTheEditorCannotStart) {
    char arg0[] = "voren";
    char* argv[] = {arg0, nullptr};
    testing::internal::CaptureStderr();
    EXPECT_EQ(voren_main(1, argv), 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "voren: can't initialize\n");
}

TEST(Startup, TooSmallWindow) {
    char arg0[] = "voren";
    char* argv[] = {arg0, nullptr};
    ScreenLayer small{[](Editor&, const StartOptions&) { return screen_too_small; }};
    testing::internal::CaptureStderr();
    EXPECT_EQ(voren_main(1, argv, small), 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "voren: too small window\n");
}

TEST(Startup, BatchRunOpensTheFilesThenRunsTheCommandsAndExits) {
    char a0[] = "voren", a1[] = "-batch", a2[] = "-c", a3[] = "top", a4[] = "my file";
    char* argv[] = {a0, a1, a2, a3, a4, nullptr};
    EXPECT_EXIT(
        {
            test_log().clear();
            voren_main(5, argv);
        },
        testing::ExitedWithCode(0), "");
    // In-process check of the same queue order.
    Editor ed;
    queue_startup_commands(ed, *parse({"voren", "-c", "top", "-filec", "cmds", "a", "b c"}));
    EXPECT_EQ(Texts(ed.pending_commands.begin(), ed.pending_commands.end()),
              (Texts{"xed \"a\"", "xed \"b c\"", "top", "hash cmds.voren", "cmds"}));
}

// Profile search ---------------------------------------------------------------

std::set<std::string> existing_files;
bool fake_exists(const std::string& path) {
    return existing_files.count(path) != 0;
}

TEST(Profile, DefaultSearchOrderIsSixPlaces) {
    StartOptions options;
    ProfilePlaces places{"/home/u", "/opt/voren/bin"};
    EXPECT_EQ(profile_candidates(options, places),
              (Texts{"profile.voren", "profile.x", "/home/u/profile.voren", "/home/u/profile.x",
                     "/opt/voren/bin/profile.voren", "/opt/voren/bin/profile.x"}));
    existing_files = {"/home/u/profile.x", "/opt/voren/bin/profile.voren"};
    EXPECT_EQ(find_profile(options, places, fake_exists), "/home/u/profile.x");
    existing_files = {"profile.x", "/home/u/profile.voren"};
    EXPECT_EQ(find_profile(options, places, fake_exists), "profile.x");
    existing_files = {};
    EXPECT_FALSE(find_profile(options, places, fake_exists));
}

TEST(Profile, ExplicitProfileIsTheOnlyNameSearched) {
    auto options = *parse({"voren", "-p", "mine"});
    ProfilePlaces places{"/home/u/", "/opt"};
    EXPECT_EQ(profile_candidates(options, places),
              (Texts{"mine.voren", "/home/u/mine.voren", "/opt/mine.voren"}));
    auto absolute = *parse({"voren", "-p", "/etc/p.voren"});
    EXPECT_EQ(profile_candidates(absolute, places), (Texts{"/etc/p.voren"}));
    EXPECT_TRUE(profile_candidates(*parse({"voren", "-np"}), places).empty());
    EXPECT_EQ(profile_candidates(options, ProfilePlaces{}), (Texts{"mine.voren"}));
}

TEST(Profile, CommandNamesTheMacroAndPassesTheArguments) {
    EXPECT_EQ(profile_command("/home/u/profile.voren", {"voren", "-c", "top", "a.c"}),
              "macro profile -c top a.c");
    EXPECT_EQ(profile_command("profile.x", {"voren"}), "macro profile");
}

// Queue and turns -----------------------------------------------------------------

TEST(Queue, AppendAndInsertAtTheFront) {
    Editor ed;
    queue_command(ed, "b");
    queue_command(ed, "c");
    queue_command_first(ed, "a");
    EXPECT_EQ(Texts(ed.pending_commands.begin(), ed.pending_commands.end()),
              (Texts{"a", "b", "c"}));
}

TEST(Turns, BatchTurnsRunTheQueueThenTheStackThenStop) {
    test_log().clear();
    Editor ed;
    ed.batch_mode = true;
    test_log().attach(ed, true);
    Texts stack{"s1", "s2"};
    ed.take_stack_line = [&](Editor&, std::string& line) {
        if (stack.empty()) return false;
        line = stack.front();
        stack.erase(stack.begin());
        return true;
    };
    queue_command(ed, "q1");
    queue_command(ed, "q2");
    int turns = 0;
    while (run_turn(ed))
        ++turns;
    EXPECT_EQ(turns, 4);
    EXPECT_EQ(test_log().commands(), (Texts{"q1", "q2", "s1", "s2"}));
}

TEST(Turns, InteractiveTurnAsksTheScreenAndTheKey) {
    test_log().clear();
    Editor ed;
    test_log().attach(ed, true);
    Texts calls;
    ed.redisplay = [&](Editor&) { calls.push_back("redisplay"); };
    ed.wait_for_user = [&](Editor&) { calls.push_back("wait"); };
    ed.run_key = [&](Editor&) { calls.push_back("key"); };
    queue_command(ed, "queued");
    EXPECT_TRUE(run_turn(ed)); // a queued command: no redisplay before it
    EXPECT_TRUE(run_turn(ed));
    EXPECT_EQ(calls, (Texts{"wait", "redisplay", "wait", "key"}));
    EXPECT_EQ(test_log().commands(), (Texts{"queued"}));
}

TEST(Turns, WatchedFilesChangedOnDiskAreReloadedBeforeTheTurn) {
    TempDir dir;
    Editor ed;
    write_bytes(dir.file("w"), "old\n");
    ASSERT_EQ(open_file(ed, dir.file("w")), 0);
    ed.run_key = [](Editor&) {};
    write_bytes(dir.file("w"), "new\n");
    current_file(ed)->disk_mtime_ns -= 1000000000;
    EXPECT_TRUE(run_turn(ed));
    EXPECT_EQ(line_texts(ed), (Texts{"old"})); // not watched
    current_file(ed)->watch = true;
    EXPECT_TRUE(run_turn(ed));
    EXPECT_EQ(line_texts(ed), (Texts{"new"}));
}

TEST(BatchLog, MessageLogsAreAppendedWithTheHeader) {
    TempDir dir;
    Editor ed;
    File& log = add_file_with(ed, {"first", "second"});
    log.path = dir.file("run.@messages");
    add_file_with(ed, {"other"}).path = dir.file("other");
    write_bytes(log.path, "old\n");
    ASSERT_TRUE(append_message_logs(ed));
    std::string text = read_bytes(log.path);
    EXPECT_EQ(text.rfind("old\n****** VOREN batch run ", 0), 0u);
    EXPECT_EQ(text.size(), std::string("old\n****** VOREN batch run dd/mm/yyyy hh:mm:ss\n").size() +
                               std::string("first\nsecond\n").size());
    EXPECT_EQ(text.substr(text.size() - 13), "first\nsecond\n");
    EXPECT_FALSE(exists(dir.file("other")));
}

TEST(BatchLog, AFailureIsReportedOnStandardError) {
    Editor ed;
    add_file_with(ed, {"x"}).path = "/nonexistent-dir/a.@messages";
    testing::internal::CaptureStderr();
    EXPECT_FALSE(append_message_logs(ed));
    EXPECT_EQ(
        testing::internal::GetCapturedStderr(),
        "VOREN: Unable to save \"/nonexistent-dir/a.@messages\" (No such file or directory).\n");
}

} // namespace
} // namespace voren
