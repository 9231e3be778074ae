#include "app/cli.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <sstream>

#include "lib/commands.h"
#include "lib/files.h"

namespace {

// The version as CMake declares it, read from the source instead of the generated header, so
// that a wrong substitution is caught.
std::string declared_version() {
    std::ifstream cmake_lists(std::string(KELVANE_SOURCE_DIR) + "/CMakeLists.txt");
    std::stringstream text;
    text << cmake_lists.rdbuf();
    const std::string contents = text.str();
    const std::string marker = "project(kelvane VERSION ";
    const size_t start = contents.find(marker);
    if (start == std::string::npos) return "";
    const size_t first = start + marker.size();
    return contents.substr(first, contents.find_first_of(" )", first) - first);
}

std::optional<std::string> answer_for(std::vector<std::string> args) { return early_answer(args); }

}  // namespace

TEST(Cli, EarlyAnswerLooksAfterTheProgramPathOnly) {
    const std::string version = "kelvane " + declared_version() + "\n";
    ASSERT_NE("kelvane \n", version);
    const std::string help = answer_for({"kelvane", "--help"}).value_or("");

    EXPECT_EQ(version, answer_for({"kelvane", "--version"}));
    EXPECT_EQ(version, answer_for({"./kelvane", "--noreboot", "extra", "--version"}));
    EXPECT_EQ(help, answer_for({"kelvane", "--No-Reboot", "--help"}));
    // The first of the two decides.
    EXPECT_EQ(version, answer_for({"kelvane", "--version", "--help"}));
    EXPECT_EQ(help, answer_for({"kelvane", "--help", "--version"}));

    // The program path never counts, whatever it reads.
    EXPECT_EQ(std::nullopt, answer_for({"--help"}));
    EXPECT_EQ(std::nullopt, answer_for({"--version"}));
    EXPECT_EQ(std::nullopt, answer_for({"--version", "--noreboot"}));
    EXPECT_EQ(std::nullopt, answer_for({}));
    EXPECT_EQ(std::nullopt, answer_for({"kelvane"}));

    // Anything else runs the program.
    for (const char* other : {"--noreboot", "--HELP", "--Version", "-h", "-v", "help", "--help=1",
                              "--version ", " --help", "", "---help"}) {
        EXPECT_EQ(std::nullopt, answer_for({"kelvane", other})) << "argument: '" << other << "'";
    }
}

TEST(Cli, HelpTellsHowToStartTheProgram) {
    const std::string help = early_answer({"kelvane", "--help"}).value_or("");
    ASSERT_FALSE(help.empty());
    EXPECT_EQ(0u, help.rfind("Usage: kelvane [--noreboot | --no-reboot | --skip-reboot]\n", 0));
    EXPECT_EQ('\n', help.back());
    for (const char* needed :
         {"--noreboot", "--no-reboot", "--skip-reboot", "not as\nroot and not with sudo",
          "data folder", "extensions_22.04", "Web site: https://kelvane.org\n"}) {
        EXPECT_TRUE(Velkor::string_contains(help, needed)) << "missing: " << needed;
    }
    EXPECT_TRUE(Velkor::string_contains(
        help, "cd kelvane-" + declared_version() + "-x86_64 && ./kelvane\n"));
    // It is read in the terminal the wizard runs in.
    const auto lines = Velkor::string_split(help, "\n");
    for (const auto& line : lines) {
        EXPECT_LE(line.size(), 79u) << "too wide: " << line;
        EXPECT_EQ(std::string::npos, line.find('\t')) << line;
    }
}

TEST(Cli, NorebootOptionIgnoresLetterCaseOnly) {
    for (const char* yes : {"--noreboot", "--no-reboot", "--skip-reboot", "--No-Reboot",
                            "--NOREBOOT", "--Skip-Reboot", "--sKiP-rEbOoT",
                            // Lower-casing is UTF-8 aware: KELVIN SIGN lower-cases to "k".
                            "--s\u212Aip-reboot"}) {
        EXPECT_TRUE(is_noreboot_option(yes)) << yes;
    }
    for (const char* no :
         {"-noreboot", "--noreboot=1", "--no-reboot=yes", "noreboot", "--noreboot ", " --noreboot",
          "--no_reboot", "--noreboots", "--reboot", "---noreboot", "", "--skip_reboot", "-n"}) {
        EXPECT_FALSE(is_noreboot_option(no)) << "'" << no << "'";
    }
}

// The built program answers before any start-up work: no workspace is made (TMPDIR stays
// empty), and it succeeds on a machine that is not a supported release, such as this one.
TEST(Cli, ProgramAnswersWithoutStartingUp) {
    char tmpl[] = "/tmp/kelvane-cli-test-XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(tmpl));
    const std::string tmp_dir = tmpl;
    const std::string prefix = "env TMPDIR='" + Velkor::escape_single_quote(tmp_dir) + "' '" +
                               Velkor::escape_single_quote(KELVANE_BINARY) + "' ";

    Velkor::ExecOutput version_out;
    EXPECT_EQ(0, Velkor::exec_sync(prefix + "--version", &version_out));
    EXPECT_EQ("kelvane " + declared_version() + "\n", version_out.std_out.value_or(""));
    EXPECT_EQ("", version_out.std_err.value_or("?"));

    Velkor::ExecOutput help_out;
    EXPECT_EQ(0, Velkor::exec_sync(prefix + "--skip-reboot --help", &help_out));
    EXPECT_EQ(early_answer({"kelvane", "--help"}), help_out.std_out);
    EXPECT_EQ("", help_out.std_err.value_or("?"));

    EXPECT_EQ(std::vector<std::string>{}, Velkor::dir_list_names(tmp_dir, false));
    Velkor::file_delete(tmp_dir);
}
