#include "app/refind_config.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lib/files.h"

namespace {

const std::string nvram = "use_nvram false";
const std::string scan_dirs = "also_scan_dirs boot,@/boot,ESP2:EFI/linux/kernels";
const std::string showtools =
    "showtools shutdown, reboot, firmware, hidden_tags, mok_tool, bootorder, shell, about";

// The edit as the patterns describe it, judged by the platform's regular expressions.
std::string edited_by_regex(const std::string& line) {
    const std::string trimmed = Velkor::string_strip(line);
    const std::pair<const char*, std::string> rules[] = {
        {"^\\s*[#]*\\s*use_nvram .*$", nvram},
        {"^\\s*[#]*\\s*also_scan_dirs .*$", scan_dirs},
        {"^\\s*[#]*\\s*showtools .*$", showtools},
    };
    for (const auto& [pattern, replacement] : rules) {
        if (Velkor::regex_match(pattern, trimmed, false)) return replacement;
    }
    return trimmed;
}

}  // namespace

TEST(RefindConfig, OptionLines) {
    EXPECT_EQ(nvram, refind_config_line("#use_nvram false"));
    EXPECT_EQ(nvram, refind_config_line("use_nvram true"));
    EXPECT_EQ(nvram, refind_config_line("  ##  use_nvram  true  "));
    EXPECT_EQ(scan_dirs, refind_config_line("   # also_scan_dirs boot,ESP2:EFI/linux/kernels"));
    EXPECT_EQ(scan_dirs, refind_config_line("also_scan_dirs boot"));
    EXPECT_EQ(showtools, refind_config_line("#showtools shell, memtest, gdisk"));
    EXPECT_EQ(showtools, refind_config_line("\tshowtools shell"));
    // The option name must be followed by a blank.
    EXPECT_EQ("use_nvram", refind_config_line("use_nvram"));
    EXPECT_EQ("#use_nvram", refind_config_line("  #use_nvram  "));
    EXPECT_EQ("use_nvram\tfalse", refind_config_line("use_nvram\tfalse"));
    EXPECT_EQ("use_nvramx false", refind_config_line("use_nvramx false"));
    EXPECT_EQ("#dont_use_nvram true", refind_config_line("#dont_use_nvram true"));
    EXPECT_EQ("; use_nvram false", refind_config_line("; use_nvram false"));
    EXPECT_EQ("# # use_nvram false", refind_config_line("# # use_nvram false"));
    // Other lines are only trimmed.
    EXPECT_EQ("loader /EFI/ubuntu/grubx64.efi",
              refind_config_line("    loader /EFI/ubuntu/grubx64.efi  \r"));
    EXPECT_EQ("", refind_config_line("   "));
}

TEST(RefindConfig, LineEditAgreesWithThePatterns) {
    const std::vector<std::string> lines = {
        "use_nvram false",
        "#use_nvram true",
        "  # use_nvram x",
        "###use_nvram  ",
        "use_nvram",
        "use_nvram\ttrue",
        "# use_nvram",
        "xuse_nvram true",
        "also_scan_dirs boot",
        "#also_scan_dirs",
        "## also_scan_dirs a,b",
        "also_scan_dirsx y",
        "showtools shell",
        "#  showtools ",
        "showtools",
        "# #showtools shell",
        "menuentry \"Ubuntu\" {",
        "    icon /EFI/refind/icons/os_ubuntu.png",
        "}",
        "",
        "#",
        "# ",
        "timeout 20",
        "\t#\tshowtools\tshell",
        "#\tuse_nvram false",
        "showtools  shell",
        " # \t also_scan_dirs  boot ",
        "use_nvram é",
        "show tools x",
    };
    for (const auto& line : lines) {
        EXPECT_EQ(edited_by_regex(line), refind_config_line(line)) << "line: '" << line << "'";
    }
}

TEST(RefindConfig, WholeFileEdit) {
    const std::string original =
        "timeout 20\n"
        "#use_nvram false\n"
        "   # also_scan_dirs boot,ESP2:EFI/linux/kernels\n"
        "#showtools shell, memtest\n"
        "# showtools shell, gdisk\n"
        "use_nvram\n"
        "menuentry \"Ubuntu\" {\n"
        "    loader /EFI/ubuntu/grubx64.efi\n"
        "}\n";
    const std::string expected = "timeout 20\n" + nvram + "\n" + scan_dirs + "\n" + showtools +
                                 "\n" + showtools +
                                 "\n"
                                 "use_nvram\n"
                                 "menuentry \"Ubuntu\" {\n"
                                 "loader /EFI/ubuntu/grubx64.efi\n"
                                 "}\n";
    const std::string once = refind_config_edit(original);
    EXPECT_EQ(expected, once);
    EXPECT_EQ(once, refind_config_edit(once));
}

// Each run used to add one empty line at the end of the file.
TEST(RefindConfig, EditKeepsTheLineBreaksItFound) {
    const std::vector<std::string> texts = {
        "timeout 20\n",
        "timeout 20",
        "timeout 20\n\n\n",
        "\ntimeout 20\n",
        "a\n\nb\n",
        "\n",
        "",
        "use_nvram true\nshowtools x",
    };
    for (const auto& text : texts) {
        const std::string once = refind_config_edit(text);
        EXPECT_EQ(Velkor::string_split(text, "\n").size(), Velkor::string_split(once, "\n").size())
            << "text: '" << text << "'";
        EXPECT_EQ(once, refind_config_edit(once)) << "text: '" << text << "'";
    }
    EXPECT_EQ("timeout 20\n", refind_config_edit("timeout 20  \n"));
    EXPECT_EQ("timeout 20\n\n\n", refind_config_edit("timeout 20\n  \n\t\n"));
    EXPECT_EQ(nvram + "\n" + showtools, refind_config_edit("use_nvram true\r\n#showtools x"));
}

TEST(RefindConfig, CommandLines) {
    EXPECT_EQ("test -f /etc/apt/sources.list.d/rodsmith-*-refind-*.list",
              refind_source_test_command());
    EXPECT_EQ("chmod a+x ./refind/install.sh ; sudo ./refind/install.sh dark",
              refind_theme_command("dark"));
    EXPECT_EQ(
        "sudo cp -f '/boot/efi/EFI/BOOT'/themes/refind-theme-regular/icons/128-48/arrow_right.png "
        "'/boot/efi/EFI/BOOT'/themes/refind-theme-regular/icons/128-48/func_bootorder.png",
        refind_icon_command("/boot/efi/EFI/BOOT"));
    EXPECT_EQ(
        "sudo apt-mark hold grub-efi-amd64 grub-efi-amd64-signed grub-common grub-efi-amd64-bin "
        "grub-common grub2-common",
        refind_grub_hold_command());
    EXPECT_EQ(
        "sudo cp -f /usr/share/refind/refind/drivers_x64/* '/boot/efi/EFI/refind'/drivers_x64/",
        refind_drivers_command("/boot/efi/EFI/refind"));
    EXPECT_EQ("sudo cp -f '/x/it'\\''s' '/y/refind.conf'",
              sudo_copy_command("/x/it's", "/y/refind.conf"));
    EXPECT_EQ("/boot/efi/EFI/refind/refind.conf", refind_conf_path(refind_dir_primary));
    EXPECT_TRUE(refind_theme_is_known("light"));
    EXPECT_TRUE(refind_theme_is_known("dark"));
    EXPECT_FALSE(refind_theme_is_known("dark; reboot"));
    EXPECT_FALSE(refind_theme_is_known(""));
    EXPECT_EQ((std::vector<std::string>{" 'light' 'light       Install Refind - Light theme'",
                                        " 'dark' 'dark        Install Refind - Dark theme'",
                                        " 'back' 'back         -- Go back --'"}),
              refind_theme_menu_items());
}
