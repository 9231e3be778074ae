// The APT files in data/ read by the real apt tools, against throw-away state folders.
#include <gtest/gtest.h>

#include "wizard_test_support.h"

using namespace wizard_test;

namespace {

const std::string data_dir = std::string(KELVANE_SOURCE_DIR) + "/data";

std::string apt_options(const std::string& scratch) {
    return " -o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts=" + sh_quote(scratch) +
           "/sources -o Dir::Etc::Preferences=/dev/null -o Dir::Etc::PreferencesParts=" +
           sh_quote(scratch) + "/prefs -o Dir::State::Lists=" + sh_quote(scratch) +
           "/lists -o Dir::Cache=" + sh_quote(scratch) + "/cache";
}

}  // namespace

TEST(WizardData, AptReadsTheSourcesAndPreferences) {
    WIZARD_REQUIRE_TOOL("apt-get");
    WIZARD_REQUIRE_TOOL("apt-cache");
    ScratchDir dir;
    const std::string s = sh_quote(dir.path());
    ASSERT_EQ(0,
              run_sh("cd " + s +
                     " && mkdir -p sources prefs lists/partial cache/archives/partial && "
                     "cp " +
                     sh_quote(data_dir) + "/nala/*.sources sources/ && cp " + sh_quote(data_dir) +
                     "/nala/*.pref " + sh_quote(data_dir) + "/firefox/*.pref prefs/")
                  .status);

    // --print-uris only lists what an update would fetch: no network, but a full parse.
    const auto uris = run_sh("apt-get" + apt_options(dir.path()) + " update --print-uris");
    EXPECT_EQ(0, uris.status) << uris.output;
    EXPECT_NE(std::string::npos,
              uris.output.find("'https://deb.volian.org/volian/dists/scar/InRelease'"))
        << uris.output;
    EXPECT_EQ(std::string::npos, uris.output.find("E: ")) << uris.output;

    const auto policy = run_sh("apt-cache" + apt_options(dir.path()) + " policy 2>&1 >/dev/null");
    EXPECT_EQ(0, policy.status);
    EXPECT_EQ("", policy.output);
}

TEST(WizardData, WallpaperIsAFullHdJpegOfModestSize) {
    const std::string image = data_dir + "/mirovel-T_Qe4QlMIvQ-unsplash.jpg";
    const std::string bytes = read_file(image);
    ASSERT_GT(bytes.size(), 4u);
    EXPECT_LT(bytes.size(), 300u * 1024);
    EXPECT_EQ("\xFF\xD8\xFF", bytes.substr(0, 3));
    if (!have_tool("identify")) GTEST_SKIP() << "identify not found";
    EXPECT_EQ("JPEG 1920x1080\n",
              run_sh("identify -format '%m %wx%h\\n' " + sh_quote(image)).output);
}
