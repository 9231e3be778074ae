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

using namespace test_support;
using Strings = std::vector<std::string>;

TEST(Paths, ParentBasenameAndCombine) {
    const std::string here = std::filesystem::current_path().string();
    EXPECT_EQ("/a/b", Velkor::file_parent("/a/b/c/"));
    EXPECT_EQ("/a", Velkor::file_parent("/a/./b/../c"));
    EXPECT_EQ("/a", Velkor::file_parent("//a//b//"));
    EXPECT_EQ("/", Velkor::file_parent("/a"));
    EXPECT_EQ(std::nullopt, Velkor::file_parent("/"));
    EXPECT_EQ(here + "/sub", Velkor::file_parent("sub/x.txt"));
    EXPECT_EQ("c", Velkor::file_basename("/a/b/c/"));
    EXPECT_EQ("b", Velkor::file_basename("/a/b/c/.."));

    EXPECT_EQ("/a/b/", Velkor::path_combine("/a", "/b/"));
    EXPECT_EQ("/tmp/status", Velkor::path_combine("/tmp///", "///status"));
    EXPECT_EQ("/a", Velkor::path_combine("/a", ""));
    EXPECT_EQ("a b/c d", Velkor::path_combine("a b", "c d"));

    ScratchDir dir;
    write_file(dir / "file", "x");
    symlink("nowhere", (dir / "dangling").c_str());
    EXPECT_TRUE(Velkor::file_exists(dir / "dangling"));
    EXPECT_FALSE(Velkor::file_exists(dir / "file/below a file"));
    EXPECT_TRUE(Velkor::file_exists("file://" + dir / "file"));
    EXPECT_FALSE(Velkor::file_exists("file://" + dir / "missing"));
    EXPECT_TRUE(Velkor::file_exists("~root"));
}

TEST(Paths, EscapedSingleQuotesSurviveARealShell) {
    EXPECT_EQ("it'\\''s", Velkor::escape_single_quote("it's"));
    for (const std::string text :
         {"", "'", "a'b'c", "'\\''", "\\'", "${HOME}", "`id`", "$(id)", "\"'\"", "!*?~", " lead",
          "tab\there", "line1\nline2", "\n\t", "ünïcødé 'q'", "%s %%", "-n", "a;b|c&d>e<f",
          "'; rm -rf /tmp/nothing; '"}) {
        const std::string command = "printf %s '" + Velkor::escape_single_quote(text) + "'";
        EXPECT_EQ(text, run_sh(command).output) << command;
    }
}

TEST(Files, ReadReportsFailuresAndKeepsBytes) {
    ScratchDir dir;
    const std::string binary("line\r\nnul\0byte\xff\n", 17);
    write_file(dir / "binary", binary);
    write_file(dir / "empty", "");
    CaptureOutput capture;
    EXPECT_EQ(std::nullopt, Velkor::file_read(dir / "missing"));
    EXPECT_EQ(std::nullopt, Velkor::file_read(dir.path()));
    EXPECT_EQ(std::optional<std::string>(""), Velkor::file_read(dir / "empty"));
    EXPECT_EQ(binary, Velkor::file_read(dir / "binary"));
    const auto lines = lines_of(capture.std_err());
    ASSERT_EQ(2u, lines.size()) << capture.std_err();
    EXPECT_EQ(0u, lines[0].rfind("E: ", 0)) << lines[0];
    EXPECT_NE(std::string::npos, lines[0].find(dir / "missing")) << lines[0];
}

TEST(Files, WriteReplacesAtomically) {
    ScratchDir dir;
    const std::string path = dir / "settings.conf";
    write_file(path, "old text\n", 0755);
    const int held = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(held, 0);
    const mode_t old_umask = umask(022);
    EXPECT_TRUE(Velkor::file_write(path, "new text"));
    umask(old_umask);
    // A reader that opened the old file still sees all of it: the file was replaced, not cut.
    char buffer[64] = {};
    const ssize_t n = read(held, buffer, sizeof buffer);
    close(held);
    EXPECT_EQ("old text\n", std::string(buffer, n > 0 ? static_cast<size_t>(n) : 0));
    EXPECT_EQ("new text", read_file(path));
    EXPECT_EQ(0644, mode_of(path));
    EXPECT_EQ(Strings{"settings.conf"}, Velkor::dir_list_names(dir.path(), false));
    EXPECT_TRUE(Velkor::file_write(path, ""));
    EXPECT_EQ("", read_file(path));

    // The folder chain is made; a name of the longest length still leaves room for the temp.
    const std::string long_name = "a/b c/" + std::string(NAME_MAX, 'n');
    EXPECT_TRUE(Velkor::file_write(dir / long_name, "deep"));
    EXPECT_TRUE(Velkor::file_write(dir / long_name, "deeper"));
    EXPECT_EQ("deeper", read_file(dir / long_name));

    // Failures leave the old state and say so.
    std::filesystem::create_directory(dir / "folder");
    CaptureOutput capture;
    EXPECT_FALSE(Velkor::file_write(path + "/child", "x"));
    EXPECT_FALSE(Velkor::file_write(dir / "folder", "x"));
    const auto lines = lines_of(capture.std_err());
    ASSERT_GE(lines.size(), 2u) << capture.std_err();
    for (const auto& line : lines) EXPECT_EQ(0u, line.rfind("E: ", 0)) << line;
    EXPECT_TRUE(std::filesystem::is_directory(dir / "folder"));
    EXPECT_EQ((Strings{"a", "folder", "settings.conf"}), Velkor::dir_list_names(dir.path(), false));
}

TEST(Files, WriteThroughLinksKeepsTheLinks) {
    ScratchDir dir;
    write_file(dir / "target", "old");
    std::filesystem::create_directory(dir / "sub");
    symlink((dir / "target").c_str(), (dir / "absolute link").c_str());
    symlink("../target", (dir / "sub/relative link").c_str());
    symlink("sub/relative link", (dir / "chain").c_str());
    symlink("made later", (dir / "dangling").c_str());
    const std::pair<const char*, const char*> writes[] = {{"absolute link", "target"},
                                                          {"sub/relative link", "target"},
                                                          {"chain", "target"},
                                                          {"dangling", "made later"}};
    for (const auto& [link, target] : writes) {
        EXPECT_TRUE(Velkor::file_write(dir / link, link)) << link;
        EXPECT_TRUE(std::filesystem::is_symlink(dir / link)) << link;
        EXPECT_EQ(link, read_file(dir / target)) << link;
    }
    EXPECT_EQ("../target", std::filesystem::read_symlink(dir / "sub/relative link").string());
}

TEST(Files, DeleteCreateAndList) {
    ScratchDir dir;
    write_file(dir / "target", "unchanged");
    symlink("target", (dir / "link").c_str());
    std::filesystem::create_directories(dir / "full/inner");
    CaptureOutput capture;
    EXPECT_TRUE(Velkor::file_delete(dir / "missing"));
    EXPECT_TRUE(Velkor::file_delete(dir / "link"));
    EXPECT_FALSE(Velkor::file_delete(dir / "full"));  // one entry only, never a whole tree
    EXPECT_TRUE(Velkor::dir_create(dir / "one/two"));
    EXPECT_TRUE(Velkor::dir_create(dir / "one/two"));
    EXPECT_TRUE(Velkor::dir_create("file://" + dir / "by address"));
    EXPECT_FALSE(Velkor::dir_create(dir / "target/below"));
    EXPECT_EQ(2u, lines_of(capture.std_err()).size()) << capture.std_err();
    EXPECT_EQ("unchanged", read_file(dir / "target"));
    EXPECT_EQ((Strings{"by address", "full", "one", "target"}),
              Velkor::dir_list_names(dir.path(), false));

    ScratchDir sorted;
    for (const char* name : {"b", "B", "a", "ä", "_", "10", "9"}) write_file(sorted / name, "");
    EXPECT_EQ((Strings{"10", "9", "B", "_", "a", "b", "ä"}),
              Velkor::dir_list_names(sorted.path(), false));
    EXPECT_EQ(sorted / "10", Velkor::dir_list_names(sorted / "", true).front());
    EXPECT_TRUE(Velkor::dir_list_names(dir / "missing", true).empty());
}

TEST(Text, SplitJoinReplace) {
    EXPECT_EQ(Strings{}, Velkor::string_split("", ":"));
    EXPECT_EQ((Strings{"a", "", "b", ""}), Velkor::string_split("a::b:", ":"));
    EXPECT_EQ((Strings{"a", "b\r"}), Velkor::string_split("a\r\nb\r", "\r\n"));
    for (const std::string text : {"a::b:", ":", "x", "::"})
        EXPECT_EQ(text, Velkor::string_join(Velkor::string_split(text, ":"), ":"));

    EXPECT_EQ("ba", Velkor::string_replace("aaa", "aa", "b"));
    EXPECT_EQ("aaa", Velkor::string_replace("aaa", "", "b"));
    EXPECT_EQ("x.y", Velkor::string_replace("x*y", "*", "."));
    EXPECT_EQ("$1 \\0", Velkor::string_replace("a \\0", "a", "$1"));
    EXPECT_EQ("aa", Velkor::string_replace("a", "a", "aa"));
    EXPECT_EQ("", Velkor::string_replace("abab", "ab", ""));
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
    for (const auto& line : lines_of(capture.std_err()))
        diagnostics += line.find("CRITICAL") != std::string::npos;
    EXPECT_EQ(5u, diagnostics) << capture.std_err();
    EXPECT_NE(std::string::npos, capture.std_err().find("start <= end"));
}

TEST(Text, StripAndStripNewlineEdges) {
    EXPECT_EQ("a \t b", Velkor::string_strip("\t\r\f\na \t b\n\r "));
    EXPECT_EQ("", Velkor::string_strip(" \n\t "));
    EXPECT_EQ("\va\v", Velkor::string_strip(" \va\v "));
    EXPECT_EQ("\xc2\xa0x", Velkor::string_strip("\xc2\xa0x "));

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
}

TEST(Text, RegexLowerAndLeadingNumber) {
    EXPECT_EQ((Strings{"level 3", "3"}),
              Velkor::regex_match("level (\\d)", "cpu level 3 found", false));
    EXPECT_EQ(std::nullopt, Velkor::regex_match("^b", "a\nb", false));
    EXPECT_EQ(Strings{"b"}, Velkor::regex_match("^b", "a\nb", true));
    CaptureOutput capture;
    EXPECT_EQ(std::nullopt, Velkor::regex_match("(unclosed", "x", false));
    EXPECT_EQ(0u, capture.std_err().rfind("E: ", 0)) << capture.std_err();
    EXPECT_EQ("äbc ünï", Velkor::string_lower("ÄBC Ünï"));

    const std::pair<const char*, long> numbers[] = {{"  7\n", 7},    {"\t-12abc", -12}, {"+5", 5},
                                                    {"01000", 1000}, {"", 0},           {"abc", 0},
                                                    {"- 5", 0},      {"12 34", 12}};
    for (const auto& [text, value] : numbers)
        EXPECT_EQ(value, Velkor::parse_leading_long(text)) << "'" << text << "'";
}
