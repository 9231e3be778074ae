#include "app/cli.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

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
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"--help"}, {"--version", "--noreboot"}, {}, {"kelvane"}}) {
        EXPECT_EQ(std::nullopt, answer_for(args)) << Velkor::string_join(args, " ");
    }

    // Anything else runs the program.
    for (const char* other : {"--noreboot", "--HELP", "--Version", "-h", "-v", "help", "--help=1",
                              "--version ", " --help", "", "---help"}) {
        EXPECT_EQ(std::nullopt, answer_for({"kelvane", other})) << "argument: '" << other << "'";
    }
}

// The sandbox suites check the usage line; here what only the text can show.
TEST(Cli, HelpTellsHowToStartTheProgram) {
    const std::string help = early_answer({"kelvane", "--help"}).value_or("");
    for (const std::string& needed : std::vector<std::string>{
             "--skip-reboot", "data folder", "extensions_22.04", "Web site: https://kelvane.org\n",
             "cd kelvane-" + declared_version() + "-x86_64 && ./kelvane\n"}) {
        EXPECT_TRUE(Velkor::string_contains(help, needed)) << "missing: " << needed;
    }
    // It is read in the terminal the wizard runs in.
    for (const auto& line : Velkor::string_split(help, "\n")) {
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
