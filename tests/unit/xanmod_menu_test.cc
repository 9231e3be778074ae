#include "ops/xanmod_menu.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

// The items written out in full, so that a slip in padding or marking shows.
const std::string v1 = " 'linux-xanmod' 'x86-64v1         Generic, for all CPUs (supported)'";
const std::string lts =
    " 'linux-xanmod-lts' 'lts              Long-term support (LTS) kernel (supported)'";
const std::string back = " 'back' 'back             -- Go back --'";

std::vector<std::string> expected_items(bool v2, bool v3, bool rt) {
    const auto mark = [](bool on) { return std::string(on ? " (supported)" : ""); };
    return {
        v1,
        " 'linux-xanmod-x64v2' 'x86-64v2         Generic, for CPUs circa 2009" + mark(v2) + "'",
        " 'linux-xanmod-x64v3' 'x86-64v3         Generic, for CPUs circa 2015" + mark(v3) + "'",
        " 'linux-xanmod-rt' 'rt-x86-64v1      Realtime, for all CPUs" + mark(rt) + "'",
        " 'linux-xanmod-rt-x64v2' 'rt-x86-64v2      Realtime, for CPUs circa 2009" + mark(v2) + "'",
        " 'linux-xanmod-rt-x64v3' 'rt-x86-64v3      Realtime, for CPUs circa 2015" + mark(v3) + "'",
        lts,
        back,
    };
}

}  // namespace

TEST(XanmodMenu, ItemsAreMarkedByCpuLevel) {
    EXPECT_EQ(expected_items(false, false, false), xanmod_menu_items(0));
    EXPECT_EQ(expected_items(false, false, true), xanmod_menu_items(1));
    EXPECT_EQ(expected_items(true, false, true), xanmod_menu_items(2));
    EXPECT_EQ(expected_items(true, true, true), xanmod_menu_items(3));
    EXPECT_EQ(expected_items(true, true, true), xanmod_menu_items(4));
}

TEST(XanmodMenu, RefusesKernelsTheCpuCannotRun) {
    const std::string level2 =
        "This CPU doesn't support x86-64 Level 2 features.\nSelect another kernel type.";
    const std::string level3 =
        "This CPU doesn't support x86-64 Level 3 features.\nSelect another kernel type.";
    EXPECT_EQ(level2, xanmod_refusal("linux-xanmod-x64v2", 1));
    EXPECT_EQ(level2, xanmod_refusal("linux-xanmod-rt-x64v2", 1));
    EXPECT_EQ(level3, xanmod_refusal("linux-xanmod-x64v3", 1));
    EXPECT_EQ(level3, xanmod_refusal("linux-xanmod-rt-x64v3", 1));
    EXPECT_EQ(level3, xanmod_refusal("linux-xanmod-x64v3", 2));
    EXPECT_EQ(level3, xanmod_refusal("linux-xanmod-rt-x64v3", 2));

    const std::vector<std::string> kernels = {
        "linux-xanmod",          "linux-xanmod-x64v2",    "linux-xanmod-x64v3", "linux-xanmod-rt",
        "linux-xanmod-rt-x64v2", "linux-xanmod-rt-x64v3", "linux-xanmod-lts"};
    for (const auto& kernel : kernels) {
        // An unknown level refuses nothing, and a level-3 or level-4 CPU runs everything.
        EXPECT_EQ(std::nullopt, xanmod_refusal(kernel, 0)) << kernel;
        EXPECT_EQ(std::nullopt, xanmod_refusal(kernel, 3)) << kernel;
        EXPECT_EQ(std::nullopt, xanmod_refusal(kernel, 4)) << kernel;
    }
    EXPECT_EQ(std::nullopt, xanmod_refusal("linux-xanmod-x64v2", 2));
    EXPECT_EQ(std::nullopt, xanmod_refusal("linux-xanmod-rt", 1));
    EXPECT_EQ(std::nullopt, xanmod_refusal("linux-xanmod-lts", 1));
}

TEST(XanmodMenu, SourceAndKeyCommands) {
    EXPECT_EQ("test -f /etc/apt/sources.list.d/xanmod-kernel.list", xanmod_source_test_command());
    EXPECT_EQ(
        "echo 'deb http://deb.xanmod.org releases main' | sudo tee "
        "/etc/apt/sources.list.d/xanmod-kernel.list",
        xanmod_source_command());
    EXPECT_EQ(
        "wget -qO - https://dl.xanmod.org/gpg.key | sudo apt-key --keyring "
        "/etc/apt/trusted.gpg.d/xanmod-kernel.gpg add -",
        xanmod_key_command());
    EXPECT_EQ("sudo rm -f /etc/apt/sources.list.d/xanmod-kernel.list",
              xanmod_source_remove_command());
}
