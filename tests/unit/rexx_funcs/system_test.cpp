// Environment, identity and file functions: results against the system's own
// answers, return codes of failures, and the file operations that could lose
// data (a copy onto its own source, a directory taken for a file).
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <pwd.h>
#include <unistd.h>

#include "harness.h"
#include "platform/environment.h"

namespace tolma::test {
namespace {

namespace fs = std::filesystem;

std::string read_file(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
void write_file(const fs::path& p, const std::string& text) {
    std::ofstream(p, std::ios::binary) << text;
}

TEST(SystemFunctions, EnvironmentVariables) {
    Lib f;
    unsetenv("TOLMA_UNIT_VAR");
    EXPECT_EQ(f("GETENV", {"TOLMA_UNIT_VAR"}), "");
    EXPECT_EQ(f("SETENV", {"TOLMA_UNIT_VAR", "a b"}), "0");
    EXPECT_STREQ(std::getenv("TOLMA_UNIT_VAR"), "a b");
    EXPECT_EQ(f("GETENV", {"TOLMA_UNIT_VAR"}), "a b");
    EXPECT_EQ(f("PUTENV", {"TOLMA_UNIT_VAR=c=d"}), "0");
    EXPECT_EQ(f("GETENV", {"TOLMA_UNIT_VAR"}), "c=d");
    EXPECT_EQ(f("UNSETENV", {"TOLMA_UNIT_VAR"}), "0");
    EXPECT_EQ(std::getenv("TOLMA_UNIT_VAR"), nullptr);
    // Names setenv() refuses give EINVAL, not a changed environment.
    EXPECT_EQ(f("SETENV", {"A=B", "x"}), std::to_string(EINVAL));
    EXPECT_EQ(f("SETENV", {"", "x"}), std::to_string(EINVAL));
    EXPECT_EQ(f("PUTENV", {"no_equals_sign"}), std::to_string(EINVAL));
    EXPECT_EQ(f("PUTENV", {"=x"}), std::to_string(EINVAL));
    EXPECT_EQ(f("GETENV", {"A=B"}), "");
}

TEST(SystemFunctions, IdentityAgreesWithTheSystem) {
    Lib f;
    char host[256] = {};
    ASSERT_EQ(gethostname(host, sizeof host - 1), 0);
    EXPECT_EQ(f("HOSTNAME", {}), host);
    if (const passwd* pw = getpwuid(geteuid())) {
        EXPECT_EQ(f("USERID", {}), pw->pw_name);
        EXPECT_EQ(f("CUSERID", {}), pw->pw_name);
    }
}

TEST(SystemFunctions, Directories) {
    Lib f;
    InTempDir t;
    EXPECT_EQ(f("GETCWD", {}), fs::current_path().string());
    EXPECT_EQ(f("CWD", {}), f("GETWD", {}));
    EXPECT_EQ(f("MKDIR", {"d"}), "0");
    EXPECT_TRUE(fs::is_directory(t.dir / "d"));
    EXPECT_EQ(f("MKDIR", {"d"}), std::to_string(EEXIST));
    unsigned long changes = voren::platform::directory_changes();
    EXPECT_EQ(f("CHDIR", {"d"}), "0");
    // The change goes through the platform layer, so its caches see it.
    EXPECT_NE(voren::platform::directory_changes(), changes);
    EXPECT_EQ(fs::current_path(), fs::canonical(t.dir / "d"));
    EXPECT_EQ(f("CHDIR", {".."}), "0");
    EXPECT_EQ(f("CHDIR", {"missing"}), std::to_string(ENOENT));
    EXPECT_EQ(f("CHDIR", {""}), std::to_string(ENOENT));
    write_file(t.dir / "d" / "x", "x");
    EXPECT_EQ(f("RMDIR", {"d"}), std::to_string(ENOTEMPTY));
    EXPECT_EQ(f("RM", {"d/x"}), "0");
    EXPECT_EQ(f("RMDIR", {"d"}), "0");
    EXPECT_FALSE(fs::exists(t.dir / "d"));
}

TEST(SystemFunctions, CopyMoveRemove) {
    Lib f;
    InTempDir t;
    write_file(t.dir / "a", "alpha\n");
    EXPECT_EQ(f("CP", {"a", "b"}), "0");
    EXPECT_EQ(read_file(t.dir / "b"), "alpha\n");
    // A directory as the destination receives the file under its own name.
    fs::create_directory(t.dir / "d");
    EXPECT_EQ(f("COPY", {"a", "d"}), "0");
    EXPECT_EQ(read_file(t.dir / "d" / "a"), "alpha\n");
    EXPECT_EQ(f("MV", {"b", "d/"}), "0");
    EXPECT_FALSE(fs::exists(t.dir / "b"));
    EXPECT_EQ(read_file(t.dir / "d" / "b"), "alpha\n");
    EXPECT_EQ(f("RENAME", {"d/b", "c"}), "0");
    EXPECT_EQ(read_file(t.dir / "c"), "alpha\n");
    EXPECT_EQ(f("MV", {"missing", "e"}), std::to_string(ENOENT));
    EXPECT_EQ(f("CP", {"missing", "e"}), std::to_string(ENOENT));
    EXPECT_FALSE(fs::exists(t.dir / "e"));
    // RM leaves directories to RMDIR.
    EXPECT_EQ(f("RM", {"d"}), std::to_string(EISDIR));
    EXPECT_TRUE(fs::exists(t.dir / "d" / "a"));
    EXPECT_EQ(f("DEL", {"c"}), "0");
    EXPECT_EQ(f("RM", {"c"}), std::to_string(ENOENT));
}

TEST(SystemFunctions, CopyNeverEmptiesItsSource) {
    Lib f;
    InTempDir t;
    write_file(t.dir / "a", "keep me\n");
    EXPECT_EQ(f("CP", {"a", "a"}), std::to_string(EINVAL));
    EXPECT_EQ(f("CP", {"a", "./a"}), std::to_string(EINVAL));
    EXPECT_EQ(f("CP", {"a", "."}), std::to_string(EINVAL));
    fs::create_hard_link(t.dir / "a", t.dir / "link");
    EXPECT_EQ(f("CP", {"a", "link"}), std::to_string(EINVAL));
    EXPECT_EQ(read_file(t.dir / "a"), "keep me\n");
    // A directory is not copied as if it were a file, and the target stays untouched.
    fs::create_directory(t.dir / "d");
    write_file(t.dir / "target", "old\n");
    EXPECT_EQ(f("CP", {"d", "target"}), std::to_string(EISDIR));
    EXPECT_EQ(read_file(t.dir / "target"), "old\n");
}

TEST(SystemFunctions, WrongCalls) {
    Lib f;
    EXPECT_EQ(f.msg("GETENV", {}), "GETENV(): needs 1 argument.");
    EXPECT_EQ(f.msg("GETENV", {omitted}), "GETENV(): argument 1 missing.");
    EXPECT_EQ(f.msg("SETENV", {"a"}), "SETENV(): needs 2 arguments.");
    EXPECT_EQ(f.msg("SETENV", {"a", omitted}), "SETENV(): argument 2 missing.");
    EXPECT_EQ(f.msg("HOSTNAME", {"x"}), "HOSTNAME(): no argument allowed.");
    EXPECT_EQ(f.msg("CP", {"a"}), "CP(): needs 2 arguments.");
    EXPECT_EQ(f.msg("COPY", {omitted, "b"}), "COPY(): argument 1 missing.");
    EXPECT_EQ(f.msg("RMDIR", {"a", "b"}), "RMDIR(): needs 1 argument.");
}

} // namespace
} // namespace tolma::test
