// Texts and edits judged by the real tools that will read or run them.
#include <gtest/gtest.h>

#include "test_support.h"
#include "wizard/browser_data.h"
#include "wizard/desktop_data.h"
#include "wizard/driver_data.h"
#include "wizard/package_steps_data.h"
#include "wizard/shell_ssh_data.h"

using namespace test_support;

// Each row writes its text to "f" in a scratch folder and runs a script there; the output must
// hold the expected piece. Rows whose tool is missing are skipped.
TEST(RealTools, TextsAndEditsReadByTheirTools) {
    const std::string bash = "bash -n f && TERM=dumb bash -c 'source ./f; ";
    const std::string fish =
        "fish -n f && mkdir -p 'h o/src' 'h ox' && HOME=\"$PWD/h o\" TERM=dumb fish -N -c 'source "
        "./f; ";
    const std::string ssh =
        " -F f | grep -E '^(port|control(master|persist)|compression|serveraliveinterval) ' | sort";
    std::string zram;
    for (const auto& cmd : zram_commands("f")) zram += cmd.substr(5) + " && ";  // without sudo
    const std::tuple<const char*, std::string, std::string, std::string> rows[] = {
        {"bash", bash_prompt_block, bash + "false; __prompt_command; echo \"$PS1\"'",
         "\\[\\033[38;5;9m\\]❯ \\[\\e[0m\\]\n"},
        {"bash", bash_prompt_block, bash + "true; eval \"$PROMPT_COMMAND\"; echo \"$PS1\"'",
         "\\[\\033[38;5;10m\\]❯ "},
        {"bash", bash_prompt_block, bash + "alias ni ll; echo \"$HISTSIZE|$HISTCONTROL\"'",
         "alias ni='sudo nala install'\nalias ll='ls -la'\n1000|ignoredups:erasedups\n"},
        {"fish", fish_prompt_block, fish + "cd ~/src; fish_prompt'", " ~/src\n❯ "},
        // A sibling folder that only starts with the home's name is not inside it.
        {"fish", fish_prompt_block, fish + "cd ~/../\"h ox\"; fish_prompt'", "/h ox\n❯ "},
        {"ssh", std::string(ssh_config_block), "ssh -G host" + ssh,
         "compression yes\ncontrolmaster auto\ncontrolpersist 600\nport 22\n"
         "serveraliveinterval 60\n"},
        {"ssh", ssh_config_with_defaults("Host work\n  Port 2222\n"), "ssh -G work" + ssh,
         "compression yes\ncontrolmaster auto\ncontrolpersist 600\nport 2222\n"},
        // Hints (such as two main categories) are not complaints.
        {"desktop-file-validate", std::string(guake_autostart_entry),
         "mv f g.desktop; desktop-file-validate g.desktop 2>&1 | grep -e error: -e warning:; "
         "echo \"clean=$?\"",
         "clean=1"},
        {"sed", "# algorithm\n#ALGO=lz4\n\n#PERCENT=50\n#SIZE=256\n# PRIORITY=100\n",
         zram + "cat f", "# algorithm\nALGO=zstd\n\nPERCENT=50\n#SIZE=256\nPRIORITY=100\n"},
    };
    for (const auto& [tool, text, script, expected] : rows) {
        if (run_sh(std::string("command -v ") + tool).status != 0) continue;
        ScratchDir dir;
        write_file(dir / "f", text);
        const auto result = run_sh("cd " + sh_quote(dir.path()) + " && " + script);
        EXPECT_NE(std::string::npos, result.output.find(expected))
            << script << "\nexpected: " << expected << "\nin: " << result.output;
    }
}
