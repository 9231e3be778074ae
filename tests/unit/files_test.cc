#include "lib/files.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "test_support.h"

using test_support::CaptureOutput;
using test_support::mode_of;
using test_support::read_file;
using test_support::ScopedTempDir;
using test_support::shell_output;
using test_support::write_file;

namespace {

std::string current_dir() { return std::filesystem::current_path().string(); }

// Names that break naive quoting or byte handling.
const std::vector<std::string> awkward_names = {
    "plain.txt", "with blank.txt", "it's.txt",         "quote\"d", "ünïcødé ñame", "$HOME", "`id`",
    "a\\b",      "-dash",          " lead and trail ", "*",        "new\nline"};

}  // namespace

TEST(Paths, ParentAndBasenameAreLexical) {
    EXPECT_EQ("/a/b", Velkor::file_parent("/a/b/c.txt"));
    EXPECT_EQ("/a/b", Velkor::file_parent("/a/b/c/"));
    EXPECT_EQ("/a", Velkor::file_parent("/a/./b/../c"));
    EXPECT_EQ("/a", Velkor::file_parent("//a//b//"));
    EXPECT_EQ("/", Velkor::file_parent("/a"));
    EXPECT_EQ(std::nullopt, Velkor::file_parent("/"));
    EXPECT_EQ(current_dir(), Velkor::file_parent("x.txt"));
    EXPECT_EQ(current_dir() + "/sub", Velkor::file_parent("sub/x.txt"));

    EXPECT_EQ("c.txt", Velkor::file_basename("/a/b/c.txt"));
    EXPECT_EQ("c", Velkor::file_basename("/a/b/c/"));
    EXPECT_EQ("b", Velkor::file_basename("/a/b/c/.."));
    EXPECT_EQ("x y", Velkor::file_basename("rel/x y"));
}

TEST(Paths, CombineKeepsExactlyOneSlashAtTheSeam) {
    EXPECT_EQ("/a/b", Velkor::path_combine("/a/", "b"));
    EXPECT_EQ("/a/b/", Velkor::path_combine("/a", "/b/"));
    EXPECT_EQ("/tmp/status", Velkor::path_combine("/tmp/", "/status"));
    EXPECT_EQ("/tmp/status", Velkor::path_combine("/tmp///", "///status"));
    EXPECT_EQ("b", Velkor::path_combine("", "b"));
    EXPECT_EQ("/a", Velkor::path_combine("/a", ""));
    EXPECT_EQ("/b", Velkor::path_combine("/", "b"));
    EXPECT_EQ("a/b", Velkor::path_combine("a", "b"));
    EXPECT_EQ("a b/c d", Velkor::path_combine("a b", "c d"));
}

TEST(Paths, ExistenceOfEveryKindOfEntry) {
    ScopedTempDir dir;
    write_file(dir / "file", "x");
    symlink("file", (dir / "good link").c_str());
    symlink("nowhere", (dir / "dangling").c_str());
    EXPECT_TRUE(Velkor::file_exists(dir.path()));
    EXPECT_TRUE(Velkor::file_exists(dir / "file"));
    EXPECT_TRUE(Velkor::file_exists(dir / "good link"));
    EXPECT_TRUE(Velkor::file_exists(dir / "dangling"));
    EXPECT_TRUE(Velkor::file_exists("/dev/null"));
    EXPECT_FALSE(Velkor::file_exists(dir / "missing"));
    EXPECT_FALSE(Velkor::file_exists(dir / "file/below a file"));
    EXPECT_TRUE(Velkor::path_exists(dir / "file"));
    EXPECT_FALSE(Velkor::path_exists(dir / "missing"));
    // Parse names: a file: address and the home folder.
    EXPECT_TRUE(Velkor::file_exists("file://" + dir.path() + "/file"));
    EXPECT_FALSE(Velkor::file_exists("file://" + dir.path() + "/missing"));
    EXPECT_TRUE(Velkor::file_exists("~"));
    EXPECT_TRUE(Velkor::file_exists("~root"));
}

TEST(Paths, EscapedSingleQuotesSurviveARealShell) {
    EXPECT_EQ("it'\\''s", Velkor::escape_single_quote("it's"));
    EXPECT_EQ("no quotes", Velkor::escape_single_quote("no quotes"));
    const std::vector<std::string> nasty = {"",
                                            "'",
                                            "''",
                                            "it's",
                                            "a'b'c",
                                            "'\\''",
                                            "\\",
                                            "\\'",
                                            "$HOME",
                                            "${HOME}",
                                            "`id`",
                                            "$(id)",
                                            "\"",
                                            "\"'\"",
                                            "!",
                                            "*",
                                            "?",
                                            "~",
                                            "~root",
                                            "a b  c",
                                            " lead",
                                            "trail ",
                                            "tab\there",
                                            "line1\nline2",
                                            "\n",
                                            "ünïcødé 'q'",
                                            "%s %d %%",
                                            "-n",
                                            "a;b|c&d>e<f",
                                            "#comment",
                                            "'; rm -rf /tmp/nothing; '"};
    for (const auto& text : nasty) {
        const std::string command = "printf %s '" + Velkor::escape_single_quote(text) + "'";
        EXPECT_EQ(text, shell_output(command)) << command;
    }
}

TEST(Files, ReadReportsFailuresAndKeepsBytes) {
    ScopedTempDir dir;
    write_file(dir / "empty", "");
    const std::string binary("line\r\nnul\0byte\xff\n", 17);
    write_file(dir / "binary", binary);

    CaptureOutput capture;
    const auto missing = Velkor::file_read(dir / "missing");
    const auto folder = Velkor::file_read(dir.path());
    const auto empty = Velkor::file_read(dir / "empty");
    const auto bytes = Velkor::file_read(dir / "binary");
    const auto lines = test_support::lines_of(capture.std_err());
    EXPECT_EQ("", capture.std_out());

    EXPECT_EQ(std::nullopt, missing);
    EXPECT_EQ(std::nullopt, folder);
    ASSERT_EQ(2u, lines.size()) << capture.std_err();
    for (const auto& line : lines) EXPECT_EQ(0u, line.rfind("E: ", 0)) << line;
    EXPECT_NE(std::string::npos, lines[0].find(dir / "missing")) << lines[0];
    EXPECT_EQ(std::optional<std::string>(""), empty);
    EXPECT_EQ(binary, bytes);
}

TEST(Files, WriteReplacesAtomically) {
    ScopedTempDir dir;
    const std::string path = dir / "settings.conf";
    write_file(path, "old text\n", 0755);
    const int held = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(held, 0);

    const mode_t old_umask = umask(022);
    EXPECT_TRUE(Velkor::file_write(path, "new text"));
    umask(old_umask);

    char buffer[64] = {};
    const ssize_t n = read(held, buffer, sizeof buffer);
    close(held);
    EXPECT_EQ("old text\n", std::string(buffer, n > 0 ? static_cast<size_t>(n) : 0));
    EXPECT_EQ("new text", read_file(path));
    // A new file with default permissions: the old executable bit is gone.
    EXPECT_EQ(0644, mode_of(path));
    // Nothing else is left in the folder.
    EXPECT_EQ(std::vector<std::string>{"settings.conf"}, Velkor::dir_list_names(dir.path(), false));

    // Empty contents and no trailing line feed added.
    EXPECT_TRUE(Velkor::file_write(path, ""));
    EXPECT_EQ("", read_file(path));
}

TEST(Files, WriteCreatesTheFolderChain) {
    ScopedTempDir dir;
    const std::string path = dir / "a/b c/d/file.txt";
    const mode_t old_umask = umask(077);
    EXPECT_TRUE(Velkor::file_write(path, "deep"));
    umask(old_umask);
    EXPECT_EQ("deep", read_file(path));
    EXPECT_EQ(0600, mode_of(path));
    // A relative path is taken against the current folder.
    const auto saved = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    EXPECT_TRUE(Velkor::file_write("rel/here.txt", "relative"));
    std::filesystem::current_path(saved);
    EXPECT_EQ("relative", read_file(dir / "rel/here.txt"));
}

TEST(Files, WriteThroughLinksKeepsTheLinks) {
    ScopedTempDir dir;
    write_file(dir / "target", "old");
    std::filesystem::create_directory(dir / "sub");
    symlink((dir / "target").c_str(), (dir / "absolute link").c_str());
    symlink("../target", (dir / "sub/relative link").c_str());
    symlink("sub/relative link", (dir / "chain").c_str());
    symlink("made later", (dir / "dangling").c_str());

    EXPECT_TRUE(Velkor::file_write(dir / "absolute link", "one"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "absolute link"));
    EXPECT_EQ("one", read_file(dir / "target"));

    EXPECT_TRUE(Velkor::file_write(dir / "sub/relative link", "two"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "sub/relative link"));
    EXPECT_EQ("../target", std::filesystem::read_symlink(dir / "sub/relative link").string());
    EXPECT_EQ("two", read_file(dir / "target"));

    EXPECT_TRUE(Velkor::file_write(dir / "chain", "three"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "chain"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "sub/relative link"));
    EXPECT_EQ("three", read_file(dir / "target"));

    EXPECT_TRUE(Velkor::file_write(dir / "dangling", "four"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "dangling"));
    EXPECT_EQ("four", read_file(dir / "made later"));
}

TEST(Files, WriteFailuresKeepTheOldState) {
    ScopedTempDir dir;
    write_file(dir / "plain", "keep");
    std::filesystem::create_directory(dir / "folder");

    CaptureOutput capture;
    const bool below_file = Velkor::file_write(dir / "plain/child", "x");
    const bool over_folder = Velkor::file_write(dir / "folder", "x");
    const auto lines = test_support::lines_of(capture.std_err());

    EXPECT_FALSE(below_file);
    EXPECT_FALSE(over_folder);
    ASSERT_GE(lines.size(), 2u) << capture.std_err();
    for (const auto& line : lines) EXPECT_EQ(0u, line.rfind("E: ", 0)) << line;
    EXPECT_EQ("keep", read_file(dir / "plain"));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "folder"));
    EXPECT_EQ((std::vector<std::string>{"folder", "plain"}),
              Velkor::dir_list_names(dir.path(), false));
}

TEST(Files, WriteAcceptsNamesNearTheLimit) {
    ScopedTempDir dir;
    const std::string long_name(NAME_MAX, 'n');
    EXPECT_TRUE(Velkor::file_write(dir / long_name, "long"));
    EXPECT_EQ("long", read_file(dir / long_name));
    EXPECT_TRUE(Velkor::file_write(dir / long_name, "longer"));
    EXPECT_EQ("longer", read_file(dir / long_name));
}

TEST(Files, AwkwardNamesRoundTripThroughFilesAndShell) {
    ScopedTempDir dir;
    for (const auto& name : awkward_names) {
        const std::string path = dir / name;
        const std::string contents = "contents of " + name + "\n";
        EXPECT_TRUE(Velkor::file_write(path, contents)) << name;
        EXPECT_EQ(contents, Velkor::file_read(path)) << name;
        EXPECT_TRUE(Velkor::file_exists(path)) << name;
        EXPECT_EQ(contents, shell_output("cat '" + Velkor::escape_single_quote(path) + "'"))
            << name;
        EXPECT_EQ(dir.path(), Velkor::file_parent(path)) << name;
        EXPECT_EQ(name, Velkor::file_basename(path)) << name;
        EXPECT_TRUE(Velkor::file_delete(path)) << name;
        EXPECT_FALSE(Velkor::file_exists(path)) << name;
    }
    EXPECT_TRUE(Velkor::dir_list_names(dir.path(), false).empty());
}

TEST(Files, DeleteRemovesOneEntry) {
    ScopedTempDir dir;
    write_file(dir / "file", "x");
    write_file(dir / "target", "x");
    symlink("target", (dir / "link").c_str());
    std::filesystem::create_directories(dir / "empty");
    std::filesystem::create_directories(dir / "full/inner");

    CaptureOutput capture;
    const bool missing = Velkor::file_delete(dir / "missing");
    const std::string quiet = capture.std_err();
    CaptureOutput capture_rest;
    const bool file = Velkor::file_delete(dir / "file");
    const bool link = Velkor::file_delete(dir / "link");
    const bool empty = Velkor::file_delete(dir / "empty");
    const bool full = Velkor::file_delete(dir / "full");
    const auto lines = test_support::lines_of(capture_rest.std_err());

    EXPECT_TRUE(missing);
    EXPECT_EQ("", quiet);
    EXPECT_TRUE(file);
    EXPECT_TRUE(link);
    EXPECT_TRUE(empty);
    EXPECT_FALSE(full);
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ(0u, lines[0].rfind("E: ", 0)) << lines[0];
    EXPECT_EQ((std::vector<std::string>{"full", "target"}),
              Velkor::dir_list_names(dir.path(), false));
}

TEST(Files, DirCreateMakesParentsAndLeavesExistingThings) {
    ScopedTempDir dir;
    write_file(dir / "file", "unchanged");
    CaptureOutput capture;
    EXPECT_TRUE(Velkor::dir_create(dir / "file"));
    EXPECT_TRUE(Velkor::dir_create(dir / "one/two/three"));
    EXPECT_TRUE(Velkor::dir_create(dir / "one/two/three"));
    EXPECT_TRUE(Velkor::dir_create("file://" + dir.path() + "/by address"));
    const bool below_file = Velkor::dir_create(dir / "file/below");
    const std::string err = capture.std_err();
    EXPECT_FALSE(below_file);
    EXPECT_EQ(1u, test_support::lines_of(err).size()) << err;
    EXPECT_EQ("unchanged", read_file(dir / "file"));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "one/two/three"));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "by address"));
}

TEST(Files, DirListIsSortedBytewise) {
    ScopedTempDir dir;
    for (const char* name : {"b", "B", "a", "ä", "_", "10", "9"}) write_file(dir / name, "");
    EXPECT_EQ((std::vector<std::string>{"10", "9", "B", "_", "a", "b", "ä"}),
              Velkor::dir_list_names(dir.path(), false));
    const auto full_paths = Velkor::dir_list_names(dir.path() + "/", true);
    ASSERT_EQ(7u, full_paths.size());
    EXPECT_EQ(dir / "10", full_paths.front());
    EXPECT_EQ(dir / "ä", full_paths.back());
    EXPECT_TRUE(Velkor::dir_list_names(dir / "missing", true).empty());
}

TEST(Text, SplitAndJoin) {
    using Strings = std::vector<std::string>;
    EXPECT_EQ(Strings{}, Velkor::string_split("", ":"));
    EXPECT_EQ((Strings{"a", "", "b", ""}), Velkor::string_split("a::b:", ":"));
    EXPECT_EQ((Strings{"", ""}), Velkor::string_split(":", ":"));
    EXPECT_EQ((Strings{"a", "b\r"}), Velkor::string_split("a\r\nb\r", "\r\n"));
    EXPECT_EQ(Strings{"abc"}, Velkor::string_split("abc", ","));
    EXPECT_EQ("a, b, ", Velkor::string_join({"a", "b", ""}, ", "));
    EXPECT_EQ("", Velkor::string_join({}, ","));
    for (const std::string text : {"a::b:", ":", "x", "::"}) {
        EXPECT_EQ(text, Velkor::string_join(Velkor::string_split(text, ":"), ":"));
    }
}

TEST(Text, ReplaceIsLiteralAndNonOverlapping) {
    EXPECT_EQ("ba", Velkor::string_replace("aaa", "aa", "b"));
    EXPECT_EQ("aaa", Velkor::string_replace("aaa", "a", "a"));
    EXPECT_EQ("aaa", Velkor::string_replace("aaa", "", "b"));
    EXPECT_EQ("", Velkor::string_replace("", "a", "b"));
    EXPECT_EQ("x.y", Velkor::string_replace("x*y", "*", "."));
    EXPECT_EQ("$1 \\0", Velkor::string_replace("a \\0", "a", "$1"));
    EXPECT_EQ("aa", Velkor::string_replace("a", "a", "aa"));
    EXPECT_EQ("", Velkor::string_replace("abab", "ab", ""));
    EXPECT_EQ("ö-ö", Velkor::string_replace("ö ö", " ", "-"));
}

TEST(Text, SliceCountsBytesAndRejectsBadRanges) {
    EXPECT_EQ("el", Velkor::string_slice("hello", 1, 3));
    EXPECT_EQ("ll", Velkor::string_slice("hello", -3, -1));
    EXPECT_EQ("hell", Velkor::string_slice("hello", 0, -1));
    EXPECT_EQ("hello", Velkor::string_slice("hello", 0, 5));
    EXPECT_EQ("", Velkor::string_slice("hello", 5, 5));
    EXPECT_EQ("", Velkor::string_slice("", 0, 0));
    EXPECT_EQ("hello", Velkor::string_slice("hello", -5, 5));
    EXPECT_EQ("\xc3", Velkor::string_slice("é", 0, 1));

    CaptureOutput capture;  // the rejected ranges write diagnostics
    EXPECT_EQ(std::nullopt, Velkor::string_slice("hello", 3, 1));
    EXPECT_EQ(std::nullopt, Velkor::string_slice("hello", 0, 9));
    EXPECT_EQ(std::nullopt, Velkor::string_slice("hello", -6, 2));
    EXPECT_EQ(std::nullopt, Velkor::string_slice("hello", 6, 6));
    EXPECT_EQ(std::nullopt, Velkor::string_slice("", 0, -1));
    size_t diagnostics = 0;
    for (const auto& line : test_support::lines_of(capture.std_err()))
        diagnostics += line.find("CRITICAL") != std::string::npos;
    EXPECT_EQ(5u, diagnostics) << capture.std_err();
    EXPECT_NE(std::string::npos, capture.std_err().find("start <= end"));
}

TEST(Text, StripAndContains) {
    EXPECT_EQ("a b", Velkor::string_strip("  a b \n"));
    EXPECT_EQ("a \t b", Velkor::string_strip("\t\r\f\na \t b\n\r "));
    EXPECT_EQ("", Velkor::string_strip(" \n\t "));
    EXPECT_EQ("", Velkor::string_strip(""));
    EXPECT_EQ("\va\v", Velkor::string_strip(" \va\v "));
    EXPECT_EQ("\xc2\xa0x", Velkor::string_strip("\xc2\xa0x "));

    EXPECT_TRUE(Velkor::string_contains("hello", "ell"));
    EXPECT_TRUE(Velkor::string_contains("hello", ""));
    EXPECT_TRUE(Velkor::string_contains("", ""));
    EXPECT_FALSE(Velkor::string_contains("hello", "Hell"));
    EXPECT_FALSE(Velkor::string_contains("", "a"));
}

TEST(Text, StripNewlineEdges) {
    auto strip = [](std::string_view text) {
        return Velkor::strip_newline(text, true, true, false);
    };
    EXPECT_EQ("a\nb", strip("\n\na\nb\n\n"));
    EXPECT_EQ("x", strip("\r\n\r\nx\r\n"));
    EXPECT_EQ("x\r", strip("x\r\n\n"));
    EXPECT_EQ("\rx\r", strip("\rx\r"));
    EXPECT_EQ("\r", strip("\n\r\n\n"));
    EXPECT_EQ("", strip(""));
    EXPECT_EQ("a\n\n\nb", strip("a\n\n\nb"));
    EXPECT_EQ("\r", strip("\n\r"));

    EXPECT_EQ("\n\na", Velkor::strip_newline("\n\na\n\n", false, true, false));
    EXPECT_EQ("a\n\n", Velkor::strip_newline("\n\na\n\n", true, false, false));
    EXPECT_EQ("a\nb", Velkor::strip_newline("\na\n\n\n\nb\n", true, true, true));
    EXPECT_EQ("\na\r\nb\n", Velkor::strip_newline("\na\r\n\r\nb\n\n", false, false, true));

    EXPECT_EQ("a\n\nb\n\n", Velkor::strip_double_empty_lines("a\n\n\n\n\nb\n\n\n"));
    EXPECT_EQ("a\nb", Velkor::strip_double_empty_lines("a\nb"));
}

TEST(Text, RegexLowerAndLeadingNumber) {
    EXPECT_EQ((std::vector<std::string>{"level 3", "3"}),
              Velkor::regex_match("level (\\d)", "cpu level 3 found", false));
    EXPECT_EQ(std::nullopt, Velkor::regex_match("^b", "a\nb", false));
    EXPECT_EQ(std::vector<std::string>{"b"}, Velkor::regex_match("^b", "a\nb", true));
    CaptureOutput capture;
    const auto broken = Velkor::regex_match("(unclosed", "x", false);
    const std::string err = capture.std_err();
    EXPECT_EQ(std::nullopt, broken);
    EXPECT_EQ(0u, err.rfind("E: ", 0)) << err;

    EXPECT_EQ("äbc ünï", Velkor::string_lower("ÄBC Ünï"));
    EXPECT_EQ("", Velkor::string_lower(""));

    EXPECT_EQ(7, Velkor::parse_leading_long("7"));
    EXPECT_EQ(7, Velkor::parse_leading_long("  7\n"));
    EXPECT_EQ(-12, Velkor::parse_leading_long("\t-12abc"));
    EXPECT_EQ(5, Velkor::parse_leading_long("+5"));
    EXPECT_EQ(1000, Velkor::parse_leading_long("01000"));
    EXPECT_EQ(0, Velkor::parse_leading_long(""));
    EXPECT_EQ(0, Velkor::parse_leading_long("abc"));
    EXPECT_EQ(0, Velkor::parse_leading_long("- 5"));
    EXPECT_EQ(12, Velkor::parse_leading_long("12 34"));
}
