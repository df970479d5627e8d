// STATE and LSTATE, QUEUED.
#include <sys/stat.h>
#include <unistd.h>

#include "harness.h"

namespace tolma::test {

TEST(State, LettersAndWords) {
    Io t;
    t.scratch.write("f.txt", "12345");
    t.scratch.write("empty", "");
    std::filesystem::create_directory(t.path("d"));
    std::string f = t.path("f.txt"), d = t.path("d"), e = t.path("empty");
    EXPECT_EQ(t("STATE", {f}), "1");
    EXPECT_EQ(t("STATE", {t.path("nope")}), "0");
    EXPECT_EQ(t("STATE", {f, "E"}), "1");
    EXPECT_EQ(t("STATE", {f, "exists"}), "1");
    EXPECT_EQ(t("STATE", {f, "F"}), "1");
    EXPECT_EQ(t("STATE", {d, "f"}), "0");
    EXPECT_EQ(t("STATE", {d, "D"}), "1");
    EXPECT_EQ(t("STATE", {d, "Directory"}), "1");
    EXPECT_EQ(t("STATE", {f, "D"}), "0");
    EXPECT_EQ(t("STATE", {f, "S"}), "5");
    EXPECT_EQ(t("STATE", {f, "size"}), "5");
    EXPECT_EQ(t("STATE", {e, "Z"}), "1");
    EXPECT_EQ(t("STATE", {f, "zero"}), "0");
    EXPECT_EQ(t("STATE", {f, "O"}), "1");
    EXPECT_EQ(t("STATE", {f, "R"}), "1");
    EXPECT_EQ(t("STATE", {f, "write"}), "1");
    EXPECT_EQ(t("STATE", {f, "X"}), "0");
    EXPECT_EQ(t("STATE", {d, "execute"}), "1");
    EXPECT_EQ(t("STATE", {f, "Y"}), "0");
    EXPECT_EQ(t("STATE", {"/dev/null", "system"}), "1");
    EXPECT_EQ(t("STATE", {t.path("nope"), "S"}), "");
    std::string stamp = t("STATE", {f, "P"});
    ASSERT_EQ(stamp.size(), 17u) << stamp;
    EXPECT_EQ(stamp[2], '/');
    EXPECT_EQ(stamp[5], '/');
    EXPECT_EQ(stamp[8], ' ');
    EXPECT_EQ(stamp[11], ':');
    EXPECT_EQ(t("STATE", {f, "stamp"}), stamp);
    EXPECT_FALSE(t("STATE", {f, "owner"}).empty());
    EXPECT_EQ(t("STATE", {f, "N"}), t("STATE", {f, "owner"}));
    EXPECT_FALSE(t("STATE", {f, "group"}).empty());
}

TEST(State, LinksThemselvesAndTheirTargets) {
    Io t;
    t.scratch.write("target", "abc");
    std::string link = t.path("link"), dangling = t.path("dangling");
    ASSERT_EQ(symlink(t.path("target").c_str(), link.c_str()), 0);
    ASSERT_EQ(symlink(t.path("gone").c_str(), dangling.c_str()), 0);
    EXPECT_EQ(t("STATE", {link, "L"}), "1");
    EXPECT_EQ(t("STATE", {link, "F"}), "1");
    EXPECT_EQ(t("LSTATE", {link, "F"}), "0");
    EXPECT_EQ(t("LSTATE", {link, "link"}), "1");
    EXPECT_EQ(t("STATE", {link, "S"}), "3");
    EXPECT_EQ(t("STATE", {dangling, "E"}), "0");
    EXPECT_EQ(t("LSTATE", {dangling, "E"}), "1");
    EXPECT_EQ(t("STATE", {t.path("target"), "L"}), "0");
}

TEST(State, Messages) {
    Io t;
    EXPECT_EQ(t.msg("STATE", {}), "STATE(): must receive 1 to 2 arguments.");
    EXPECT_EQ(t.msg("LSTATE", {"a", "b", "c"}), "LSTATE(): must receive 1 to 2 arguments.");
    EXPECT_EQ(t.msg("STATE", {""}), "STATE(): parameter 1 is empty.");
    EXPECT_EQ(t.msg("STATE", {"x", "Q"}), "STATE(): argument 2 must be D|E|F|L|O|R|W|X|Z|S|Y|P|N.");
    EXPECT_EQ(t.msg("STATE", {"x", "dir"}),
              "STATE(): argument 2 must be "
              "directory|exists|file|link|owns|read|write|execute|zero|size|system|stamp|owner.");
}

TEST(Queued, CountsTheCurrentBuffer) {
    Io t;
    EXPECT_EQ(t("QUEUED", {}), "0");
    stack_queue(t.in.queue, "a");
    stack_push(t.in.queue, "b");
    EXPECT_EQ(t("QUEUED", {}), "2");
    makebuf(t.in.queue);
    EXPECT_EQ(t("QUEUED", {}), "0");
    CallResult r = t.call("QUEUED", {"1"});
    EXPECT_EQ(r.error.code, 40);
    EXPECT_EQ(r.error.detail, "");
}

} // namespace tolma::test
