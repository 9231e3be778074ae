// The support library's paths, whole files, folders and text helpers, by their boundaries.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>

#include "lib/files.h"
#include "test_support.h"

using namespace test_support;
using Strings = std::vector<std::string>;

TEST(Paths, ParentBasenameCombineAndExistence) {
    const std::pair<const char*, std::optional<std::string>> parents[] = {
        {"/a/b/c/", "/a/b"}, {"/a/./b/../c", "/a"},
        {"//a//b//", "/a"},  {"/a", "/"},
        {"/", std::nullopt}, {"sub/x.txt", std::filesystem::current_path().string() + "/sub"}};
    for (const auto& [path, parent] : parents) EXPECT_EQ(parent, Velkor::file_parent(path)) << path;
    EXPECT_EQ("b", Velkor::file_basename("/a/b/c/.."));
    EXPECT_EQ("/a/b/", Velkor::path_combine("/a", "/b/"));
    EXPECT_EQ("/tmp/status", Velkor::path_combine("/tmp///", "///status"));

    ScratchDir dir;
    write_file(dir / "file", "x");
    symlink("nowhere", (dir / "dangling").c_str());
    EXPECT_TRUE(Velkor::file_exists(dir / "dangling"));
    EXPECT_TRUE(Velkor::file_exists("file://" + dir / "file"));
    EXPECT_TRUE(Velkor::file_exists("~root"));
}

// The judge is a real shell: whatever the text holds, printf must print it back unchanged.
TEST(Paths, EscapedSingleQuotesSurviveARealShell) {
    for (const std::string text :
         {"",      " ",     "'",           "a'b'c",        "'\\''",
          "\\",    "\\'",   "$HOME",       "${HOME}",      "`id`",
          "$(id)", "\"'\"", "!*?~",        "line1\nline2", "\n\t",
          "%s %%", "-n",    "a;b|c&d>e<f", "ünï 'q'",      "'; rm -rf /tmp/nothing; '"}) {
        const std::string command = "printf %s '" + Velkor::escape_single_quote(text) + "'";
        EXPECT_EQ(text, run_sh(command).output) << command;
    }
}

TEST(Files, ReadKeepsBytesAndReportsFailures) {
    ScratchDir dir;
    const std::string binary("line\r\nnul\0byte\xff\n", 17);
    write_file(dir / "binary", binary);
    write_file(dir / "empty", "");
    testing::internal::CaptureStderr();
    EXPECT_EQ(std::nullopt, Velkor::file_read(dir / "missing"));
    EXPECT_EQ(std::nullopt, Velkor::file_read(dir.path()));
    EXPECT_EQ(std::optional<std::string>(""), Velkor::file_read(dir / "empty"));
    EXPECT_EQ(binary, Velkor::file_read(dir / "binary"));
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(2u, count_lines(err));
    EXPECT_EQ(0u, err.find("E: ")) << err;
    EXPECT_NE(std::string::npos, err.find(dir / "missing")) << err;
}

TEST(Files, WriteReplacesAtomically) {
    ScratchDir dir;
    const std::string path = dir / "settings.conf";
    write_file(path, "old text\n", 0600);
    const int held = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(held, 0);
    const mode_t old_umask = umask(022);
    EXPECT_TRUE(Velkor::file_write(path, "new text"));
    EXPECT_TRUE(Velkor::file_write(dir / "new.conf", "fresh"));
    umask(old_umask);
    // A reader that opened the old file still sees all of it: the file was replaced, not cut.
    char buffer[64] = {};
    const ssize_t n = read(held, buffer, sizeof buffer);
    close(held);
    EXPECT_EQ("old text\n", std::string(buffer, n > 0 ? static_cast<size_t>(n) : 0));
    EXPECT_EQ("new text", read_file(path));
    // A replaced file keeps its mode (a private file stays private); a new one gets the umask's.
    EXPECT_EQ(std::filesystem::perms(0600), std::filesystem::status(path).permissions());
    EXPECT_EQ(std::filesystem::perms(0644),
              std::filesystem::status(dir / "new.conf").permissions());
    EXPECT_EQ((Strings{"new.conf", "settings.conf"}), Velkor::dir_list_names(dir.path(), false));

    // The folder chain is made; a name of the longest length still leaves room for the temp.
    const std::string long_name = "a/b c/" + std::string(NAME_MAX, 'n');
    EXPECT_TRUE(Velkor::file_write(dir / long_name, "deep"));
    EXPECT_TRUE(Velkor::file_write(dir / long_name, "deeper"));
    EXPECT_EQ("deeper", read_file(dir / long_name));

    // Failures leave the old state and say so.
    std::filesystem::create_directory(dir / "folder");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(Velkor::file_write(path + "/child", "x"));
    EXPECT_FALSE(Velkor::file_write(dir / "folder", "x"));
    EXPECT_EQ(0u, testing::internal::GetCapturedStderr().rfind("E: ", 0));
    EXPECT_EQ("new text", read_file(path));
    EXPECT_EQ((Strings{"a", "folder", "new.conf", "settings.conf"}),
              Velkor::dir_list_names(dir.path(), false));

    // A link stays a link; the file it points at (relative, chained or not yet there) changes.
    std::filesystem::create_directory(dir / "sub");
    symlink("../settings.conf", (dir / "sub/relative").c_str());
    symlink("sub/relative", (dir / "chain").c_str());
    symlink("made later", (dir / "dangling").c_str());
    for (const auto& [link, target] : {std::pair{"sub/relative", "settings.conf"},
                                       {"chain", "settings.conf"},
                                       {"dangling", "made later"}}) {
        EXPECT_TRUE(Velkor::file_write(dir / link, link)) << link;
        EXPECT_TRUE(std::filesystem::is_symlink(dir / link)) << link;
        EXPECT_EQ(link, read_file(dir / target)) << link;
    }
}

TEST(Files, DeleteCreateAndList) {
    ScratchDir dir;
    write_file(dir / "target", "unchanged");
    symlink("target", (dir / "link").c_str());
    std::filesystem::create_directories(dir / "full/inner");
    testing::internal::CaptureStderr();
    EXPECT_TRUE(Velkor::file_delete(dir / "missing"));
    EXPECT_FALSE(Velkor::file_delete(dir / "full"));  // one entry only, never a whole tree
    EXPECT_TRUE(Velkor::dir_create(dir / "one/two"));
    EXPECT_TRUE(Velkor::dir_create(dir / "one/two"));
    EXPECT_FALSE(Velkor::dir_create(dir / "target/below"));
    EXPECT_EQ(2u, count_lines(testing::internal::GetCapturedStderr()));
    EXPECT_EQ("unchanged", read_file(dir / "target"));
    EXPECT_EQ((Strings{"full", "link", "one", "target"}),
              Velkor::dir_list_names(dir.path(), false));

    ScratchDir sorted;  // bytewise
    for (const char* name : {"b", "B", "ä", "_", "10", "9"}) write_file(sorted / name, "");
    EXPECT_EQ((Strings{"10", "9", "B", "_", "b", "ä"}),
              Velkor::dir_list_names(sorted.path(), false));
    EXPECT_TRUE(Velkor::dir_list_names(dir / "missing", true).empty());
}

TEST(Text, ReplaceAndSlice) {
    const std::tuple<const char*, const char*, const char*, const char*> replaces[] = {
        {"aaa", "aa", "b", "ba"}, {"aaa", "", "b", "aaa"}, {"x*y", "*", ".", "x.y"},
        {"a", "a", "aa", "aa"},   {"abab", "ab", "", ""},  {"a \\0", "a", "$1", "$1 \\0"}};
    for (const auto& [text, old, replacement, result] : replaces)
        EXPECT_EQ(result, Velkor::string_replace(text, old, replacement)) << text;

    // Bytes, negative from the end; a bad range is refused with a diagnostic.
    // clang-format off
    const std::tuple<const char*, long, long, std::optional<std::string>> slices[] = {
        {"hello", 1, 3, "el"}, {"hello", -3, -1, "ll"}, {"hello", 5, 5, ""}, {"é", 0, 1, "\xc3"},
        {"hello", 3, 1, std::nullopt}, {"hello", 0, 9, std::nullopt},
        {"hello", -6, 2, std::nullopt}, {"", 0, -1, std::nullopt}};
    // clang-format on
    testing::internal::CaptureStderr();
    for (const auto& [text, start, end, result] : slices)
        EXPECT_EQ(result, Velkor::string_slice(text, start, end)) << start << ".." << end;
    testing::internal::GetCapturedStderr();
}
