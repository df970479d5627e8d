// The Sys* family, links and releases called through the table: REXXUTIL
// return codes, temporary names that never name an existing file, the
// line search, and the names as the case modes spell them.
#include <filesystem>
#include <fstream>
#include <set>
#include <unistd.h>

#include "harness.h"
#include "platform/environment.h"
#include "rexx/core/pool.h"

namespace tolma::test {
namespace {

namespace fs = std::filesystem;

void write_file(const fs::path& p, const std::string& text) {
    std::ofstream(p, std::ios::binary) << text;
}

// The table of MIXED mode, where names are written as spelt.
struct MixedLib : Lib {
    MixedLib() { in.case_mode = NameCase::Mixed; }
};

std::string var(Lib& f, const std::string& name) {
    RexxValue* v = get_var(f.in, name);
    return v ? std::string(v->text(f.in.numeric)) : "<unset>";
}

TEST(SysUtil, ReleasesAndNamesByCaseMode) {
    MixedLib f;
    EXPECT_EQ(f("ReleaseVOREN", {}), "5.09");
    EXPECT_EQ(f("ReleaseTOLMA", {}), "3.09");
    EXPECT_EQ(f.msg("SysMkDir", {}), "SysMkDir(): needs 1 argument.");
    EXPECT_EQ(f.msg("ReleaseVOREN", {"x"}), "RELEASEVOREN(): no argument allowed.");
    EXPECT_NE(find_builtin("SysFileSearch", NameCase::Mixed), nullptr);
    EXPECT_EQ(find_builtin("sysfilesearch", NameCase::Mixed), nullptr);
    EXPECT_NE(find_builtin("sysfilesearch", NameCase::Lower), nullptr);
    EXPECT_NE(find_builtin("readlink", NameCase::Mixed), nullptr);
    // Names whose meaning is not obvious here stay out of the table.
    for (const char* name : {"tee", "dup2", "ls", "SysFileTree", "stime"})
        EXPECT_EQ(find_builtin(name, NameCase::Mixed), nullptr) << name;
}

TEST(SysUtil, DirectoryAndDeleteCodes) {
    InTempDir t;
    MixedLib f;
    EXPECT_EQ(f("SysMkDir", {"d"}), "0");
    EXPECT_TRUE(fs::is_directory(t.dir / "d"));
    EXPECT_EQ(f("SysMkDir", {"d"}), "5");
    EXPECT_EQ(f("SysMkDir", {"x/y"}), "3");
    EXPECT_EQ(f("SysMkDir", {""}), "87");
    EXPECT_EQ(f("SysMkDir", {std::string(300, 'n')}), "206");
    write_file(t.dir / "d/file", "x");
    EXPECT_EQ(f("SysRmDir", {"d"}), "5");
    EXPECT_TRUE(fs::exists(t.dir / "d/file"));
    EXPECT_EQ(f("SysFileDelete", {"d"}), "5"); // a directory is no file to delete
    EXPECT_TRUE(fs::is_directory(t.dir / "d"));
    EXPECT_EQ(f("SysFileDelete", {"d/file"}), "0");
    EXPECT_EQ(f("SysFileDelete", {"d/file"}), "2");
    EXPECT_EQ(f("SysFileDelete", {"nodir/file"}), "3");
    voren::platform::change_directory((t.dir / "d").string());
    EXPECT_EQ(f("SysRmDir", {"."}), "16");
    EXPECT_EQ(f("SysRmDir", {(t.dir / "d").string()}), "16");
    voren::platform::change_directory(t.dir.string());
    EXPECT_EQ(f("SysRmDir", {"d"}), "0");
    EXPECT_EQ(f("SysRmDir", {"d"}), "2");
}

TEST(SysUtil, TempFileNamesAreFreeAndFollowTheTemplate) {
    InTempDir t;
    MixedLib f;
    std::set<std::string> seen;
    for (int i = 0; i < 9; ++i) {
        std::string name = f("SysTempFileName", {"t??x"});
        ASSERT_EQ(name.size(), 4u);
        EXPECT_EQ(name[0], 't');
        EXPECT_EQ(name[3], 'x');
        EXPECT_TRUE(isdigit(static_cast<unsigned char>(name[1])));
        EXPECT_FALSE(fs::exists(t.dir / name));
        write_file(t.dir / name, "taken");
        seen.insert(name);
    }
    EXPECT_EQ(seen.size(), 9u);
    // Every one-digit name taken: "".
    for (char c = '0'; c <= '9'; ++c)
        write_file(t.dir / (std::string("n") + c), "");
    EXPECT_EQ(f("SysTempFileName", {"n#", "#"}), "");
    fs::remove(t.dir / "n4");
    EXPECT_EQ(f("SysTempFileName", {"n#", "#"}), "n4");
    EXPECT_EQ(f.msg("SysTempFileName", {"n#", "##"}),
              "SysTempFileName(): argument 2 must be one character.");
    EXPECT_EQ(f.blamed("SysTempFileName", {"n#", "##"}), 1);
}

TEST(SysUtil, FileSearchFillsTheStem) {
    InTempDir t;
    MixedLib f;
    write_file(t.dir / "f.txt", "One apple\r\nno\nAPPLE pie\nlast apple");
    EXPECT_EQ(f("SysFileSearch", {"apple", "f.txt", "s"}), "0");
    EXPECT_EQ(var(f, "s.0"), "3");
    EXPECT_EQ(var(f, "s.1"), "One apple"); // the "\r" of a CRLF line is dropped
    EXPECT_EQ(var(f, "s.3"), "last apple");
    EXPECT_EQ(f("SysFileSearch", {"apple", "f.txt", "s.", "NC"}), "0");
    EXPECT_EQ(var(f, "s.0"), "2");
    EXPECT_EQ(var(f, "s.2"), "4 last apple");
    // A missing file leaves the stem as it was.
    EXPECT_EQ(f("SysFileSearch", {"x", "missing", "s."}), "3");
    EXPECT_EQ(var(f, "s.0"), "2");
    EXPECT_EQ(f.msg("SysFileSearch", {"x", "f.txt", "s.", "CX"}),
              "SysFileSearch(): argument 4 must be made of the options C and N.");
    EXPECT_EQ(f.blamed("SysFileSearch", {"x", "f.txt", "9s"}), 2);
}

TEST(SysUtil, SearchPathAndLinks) {
    InTempDir t;
    MixedLib f;
    fs::create_directory(t.dir / "bin");
    write_file(t.dir / "bin/tool", "");
    setenv("TOLMA_SYSUTIL_PATH", ("/nonexistent;" + (t.dir / "bin").string()).c_str(), 1);
    EXPECT_EQ(f("SysSearchPath", {"TOLMA_SYSUTIL_PATH", "tool"}), (t.dir / "bin/tool").string());
    EXPECT_EQ(f("SysSearchPath", {"TOLMA_SYSUTIL_PATH", "bin", "0"}), "");
    unsetenv("TOLMA_SYSUTIL_PATH");
    EXPECT_EQ(f("SysSearchPath", {"TOLMA_SYSUTIL_PATH", "tool", "0"}), "");

    write_file(t.dir / "a", "text");
    EXPECT_EQ(f("ln", {"a", "s", "S"}), "0");
    EXPECT_EQ(f("readlink", {"s"}), "a");
    EXPECT_EQ(f("ln", {"a", "h"}), "0");
    EXPECT_EQ(fs::hard_link_count(t.dir / "a"), 2u);
    EXPECT_EQ(f("readlink", {"h"}), "");
    // A long target comes back whole.
    std::string long_target(1000, 'z');
    EXPECT_EQ(f("ln", {long_target, "long", "s"}), "0");
    EXPECT_EQ(f("readlink", {"long"}), long_target);
    EXPECT_EQ(f.msg("ln", {"a", "b", "q"}), "LN(): argument 3 must be H or S.");
}

} // namespace
} // namespace tolma::test
