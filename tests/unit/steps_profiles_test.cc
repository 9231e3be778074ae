// Choosing and repeating a pass: step tags, --skip and values as the next argument, profiles,
// the JSON texts (read back by a real JSON parser), and the decisions that keep a second pass
// from changing anything.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "app/options.h"
#include "app/profile.h"
#include "app/status_data.h"
#include "core/packages_data.h"
#include "core/run_report_data.h"
#include "lib/files.h"
#include "test_support.h"
#include "wizard/desktop_data.h"
#include "wizard/driver.h"
#include "wizard/package_steps_data.h"

using namespace test_support;
using Strings = std::vector<std::string>;

namespace {

std::string source_file(const std::string& relative_path) {
    return read_file(std::string(KELVANE_SOURCE_DIR) + "/" + relative_path);
}

// Python's json module reads `json_text` and prints the value of `expression` (over `d`).
std::string python_json(const std::string& json_text, const std::string& expression) {
    ScratchDir dir;
    write_file(dir / "doc.json", json_text);
    return run_sh(
               "python3 -c 'import json,sys; d=json.load(open(sys.argv[1])); "
               "v=eval(sys.argv[2]); print(*v) if isinstance(v, tuple) else print(v)' " +
               sh_quote(dir / "doc.json") + " " + sh_quote(expression))
        .output;
}

}  // namespace

TEST(Steps, TagsAreUniqueLowerCaseAndTheCompletionKnowsThem) {
    Strings tags;
    for (const auto& step : wizard_step_names()) {
        EXPECT_TRUE(!step.tag.empty() && std::all_of(step.tag.begin(), step.tag.end(), [](char c) {
            return c >= 'a' && c <= 'z';
        })) << step.tag;
        tags.emplace_back(step.tag);
    }
    EXPECT_EQ(tags.size(), std::set<std::string>(tags.begin(), tags.end()).size());
    // The example profile, the playbook and scripts name these two.
    EXPECT_NE(tags.end(), std::find(tags.begin(), tags.end(), "libreoffice"));
    EXPECT_NE(tags.end(), std::find(tags.begin(), tags.end(), "variety"));

    const std::string completion = source_file("doc/kelvane.bash-completion");
    const size_t start = completion.find("step_tags=\"");
    ASSERT_NE(std::string::npos, start);
    const size_t first = start + std::string("step_tags=\"").size();
    const std::string list = completion.substr(first, completion.find('"', first) - first);
    Strings listed;
    for (const auto& word : Velkor::string_split(Velkor::string_replace(list, "\n", " "), " ")) {
        const std::string tag = Velkor::string_strip(word);
        if (!tag.empty()) listed.push_back(tag);
    }
    EXPECT_EQ(tags, listed);
}

TEST(Options, ValuesAsTheNextArgumentSkipsAndWhereOptionsGo) {
    const std::vector<std::pair<Strings, std::string>> refused{
        {{"--browser"},
         "kelvane: --browser needs a value (choose chrome, firefox, edge, librewolf, vivaldi, "
         "opera or brave)"},
        {{"--report"}, "kelvane: --report needs a value (FILE)"},
        {{"--report="}, "kelvane: --report needs a file"},
        {{"--skip=repos,libreofice"},
         "kelvane: unknown step 'libreofice' for --skip (the tags are in --help); did you mean "
         "'libreoffice'?"},
        {{"--profil=lab.ini"},
         "kelvane: unknown option '--profil=lab.ini'; did you mean '--profile=FILE'?"},
        {{"--json"}, "kelvane: --json goes with status"},
        {{"--skip", "variety", "theme", "dark"},
         "kelvane: --skip goes with the wizard (no command, or setup) and status"},
        {{"--profile=lab.ini", "undo"},
         "kelvane: --profile goes with the wizard (no command, or setup) and status"},
        {{"status", "now"}, "kelvane: status takes no value"},
    };
    for (const auto& [args, message] : refused) {
        std::string error;
        EXPECT_FALSE(parse_options(args, error)) << args[0];
        EXPECT_EQ(message, error);
    }
    std::string error;
    // A value option takes the next word, whatever it looks like; the rest is the verb.
    const auto options = parse_options(
        {"--layout", "left", "--browser", "firefox", "--report", "-r.json", "theme", "dark"},
        error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ("minimal", options->layout.value_or(""));
    EXPECT_EQ("firefox", options->browser.value_or(""));
    EXPECT_EQ("-r.json", options->report.value_or(""));
    EXPECT_EQ((Strings{"theme", "dark"}), options->verb);
    EXPECT_EQ(
        (Strings{"variety", "libreoffice"}),
        parse_options({"--skip", "variety,variety,libreoffice"}, error)->skip.value_or(Strings{}));
    EXPECT_EQ(Strings{}, parse_options({"--skip="}, error)->skip.value_or(Strings{"unset"}));
    EXPECT_TRUE(parse_options({"status", "--json", "--skip=nala"}, error)->json);

    // Steps that later ones need cannot be left out; deb-get only for the browsers it brings.
    const std::vector<std::tuple<Strings, std::string, std::string>> skips{
        {{"deps"},
         "",
         "step 'deps' cannot be skipped: step 'apps' (Install applications) needs it"},
        {{"nala", "repos"},
         "",
         "step 'repos' cannot be skipped: step 'deps' (Install dependencies) needs it"},
        {{"extensions"},
         "",
         "step 'extensions' cannot be skipped: step 'layout' (Apply layout) needs it"},
        {{"debget"},
         "edge",
         "step 'debget' cannot be skipped: step 'browser' (Install web browser) needs it"},
        {{"debget"}, "firefox", ""},
        {{"debget", "browser"}, "brave", ""},
        {{"libreoffice", "variety", "updates", "check"}, "", ""},
    };
    for (const auto& [tags, browser, refusal] : skips) {
        EXPECT_EQ(refusal, skip_refusal(tags, browser).value_or("")) << tags[0];
    }
}

TEST(Profile, EveryKeyCheckedAndAFaultNamedByItsLine) {
    const std::string good =
        "# lab machines\n"
        "[answers]\n"
        "browser = firefox\n"
        "accept-chrome-licence=true\n"
        "layout=left\n"
        "[steps]\n"
        "skip=libreoffice;variety;\n";
    Options options;
    options.profile = "lab.ini";
    std::string error;
    ASSERT_TRUE(apply_profile_text(options, good, error)) << error;
    EXPECT_EQ("firefox", options.browser.value_or(""));
    EXPECT_EQ("minimal", options.layout.value_or(""));
    EXPECT_FALSE(options.theme);
    EXPECT_TRUE(options.accept_chrome_licence);
    EXPECT_EQ((Strings{"libreoffice", "variety"}), options.skip.value_or(Strings{}));

    // The command line wins, an empty --skip= included.
    Options given;
    given.profile = "lab.ini";
    given.browser = "chrome";
    given.skip = Strings{};
    ASSERT_TRUE(apply_profile_text(given, good, error)) << error;
    EXPECT_EQ("chrome", given.browser.value_or(""));
    EXPECT_EQ(Strings{}, given.skip.value_or(Strings{"unset"}));

    const std::vector<std::pair<std::string, std::string>> refused{
        {"[answers]\nbrowser=firefox\n\n[answer]\ntheme=dark\n",
         "lab.ini:4: unknown group [answer] (choose [answers] or [steps]); did you mean "
         "'[answers]'?"},
        {"[extras]\n", "lab.ini:1: unknown group [extras] (choose [answers] or [steps])"},
        {"[answers]\n# colour\nbrowzer=firefox\n",
         "lab.ini:3: unknown key 'browzer' in [answers] (choose browser, accept-chrome-licence, "
         "layout or theme); did you mean 'browser'?"},
        {"[answers]\ntheme=light\ntheme=blue\n",
         "lab.ini:3: invalid value 'blue' for theme (choose light or dark)"},
        {"[answers]\naccept-chrome-licence=yes\n",
         "lab.ini:2: invalid value 'yes' for accept-chrome-licence (choose true or false)"},
        {"[steps]\nskip=libreofice\n",
         "lab.ini:2: unknown step 'libreofice' for skip (the tags are in --help); did you mean "
         "'libreoffice'?"},
        {"[answers]\nbrowser=firefox\nthis line is no key\n", "lab.ini:3: "},
        {"browser=firefox\n", "lab.ini:1: "},
        {"[answers]\nlayout=\xff\n", "lab.ini:2: "},
    };
    for (const auto& [text, message] : refused) {
        Options profile;
        profile.profile = "lab.ini";
        EXPECT_FALSE(apply_profile_text(profile, text, error)) << text;
        EXPECT_EQ("kelvane: " + message, error.substr(0, message.size() + 9)) << text;
    }
    Options missing;
    missing.profile = "/nonexistent/lab.ini";
    EXPECT_FALSE(apply_profile(missing, error));
    EXPECT_EQ("kelvane: /nonexistent/lab.ini: cannot read it: No such file or directory", error);
}

TEST(Report, JsonTextsReadByARealParser) {
    const std::string odd = "quote \" backslash \\ tab \t line\nbell \x07 bad \xff byte é";
    RunReport report{"0.1.0",
                     "24.04",
                     "wizard",
                     130,
                     true,
                     false,
                     "/home/u/it's.log",
                     {{"repos", "Enable extra repositories", StepState::already},
                      {"libreoffice", "Install LibreOffice", StepState::skipped},
                      {"variety", "Install Variety", StepState::error, odd}}};
    const std::string json = run_report_json(report);
    EXPECT_EQ(
        "['version', 'release', 'command', 'exit_status', 'changed', 'restart_needed', 'log', "
        "'steps'] 130 True False /home/u/it's.log\n",
        python_json(json,
                    "list(d), d['exit_status'], d['changed'], d['restart_needed'], d['log']"));
    EXPECT_EQ("already skipped error False True\n",
              python_json(json, R"(' '.join(s['state'] for s in d['steps']), 'error' in )"
                                R"(d['steps'][0], d['steps'][2]['error'] == 'quote " backslash )"
                                R"(\\ tab \t line\nbell \x07 bad \ufffd byte \xe9')"));
    EXPECT_EQ("[]\n", python_json(run_report_json({}), "d['steps']"));

    const StatusView view{"22.04",
                          {{{"repos", "Enable extra repositories"}, StepProgress::done},
                           {{"nala", "Install Nala"}, StepProgress::todo},
                           {{"variety", "Install Variety"}, StepProgress::skipped}},
                          "dark",
                          "other",
                          "6.8.0-45-generic",
                          LastRun{"2026-05-02 10:14:03", "setup", 1, "/l/x.log"}};
    EXPECT_EQ("22.04 ['done', 'todo', 'skipped'] dark other 6.8.0-45-generic 1 setup\n",
              python_json(status_json(view),
                          "d['release'], [s['state'] for s in d['steps']], d['theme'], "
                          "d['layout'], d['kernel'], d['last_run']['status'], "
                          "d['last_run']['command']"));
    StatusView first = view;
    first.last_run.reset();
    EXPECT_EQ("None\n", python_json(status_json(first), "d['last_run']"));
    EXPECT_NE(std::string::npos, status_text(view).find("Last run: 2026-05-02 10:14:03, setup, "
                                                        "status 1, log /l/x.log\n"));

    // The record of the last run comes back as it was; a damaged one is no record.
    const LastRun run{"2026-05-02 10:14:03", "wizard", 130, "/home/a=b/x.log"};
    const auto back = parse_last_run(last_run_text(run));
    ASSERT_TRUE(back);
    EXPECT_EQ(run.log, back->log);
    EXPECT_EQ(130, back->exit_status);
    EXPECT_FALSE(parse_last_run("time=1\ncommand=x\nstatus=-1\nlog=\n"));
    EXPECT_FALSE(parse_last_run("time=1\ncommand=x\nlog=\n"));
}

TEST(SecondPass, WhatIsAlreadyInPlace) {
    // apt's own simulation, with updates and without.
    const std::string fixtures = std::string(KELVANE_SOURCE_DIR) + "/tests/fixtures/apt/";
    EXPECT_TRUE(simulation_changes_packages(read_file(fixtures + "upgrade-pending.txt")));
    EXPECT_FALSE(simulation_changes_packages(read_file(fixtures + "upgrade-none.txt")));
    EXPECT_TRUE(simulation_changes_packages("Remv snapd [2.61]\n"));

    for (const auto& [output, off] :
         std::vector<std::pair<std::string, bool>>{{"apt_news False\n", true},
                                                   {"apt_news True\n", false},
                                                   {"apt_news None\n", false},
                                                   {"", false},
                                                   {"apt_news_url False\n", false}}) {
        EXPECT_EQ(off, apt_news_is_off(output)) << output;
    }

    // The texts the step's commands leave, judged by sed itself running those commands.
    ScratchDir dir;
    const std::string zram_path = dir / "zram swap";
    const std::string zram_before = "#ALGO=lz4\n# PERCENT=50\nPRIORITY=10\nSIZE=256\n";
    write_file(zram_path, zram_before);
    for (const auto& cmd : zram_commands(zram_path)) run_sh(cmd.substr(5));  // without "sudo "
    EXPECT_EQ(read_file(zram_path), zram_settings_text(zram_before));
    EXPECT_EQ(read_file(zram_path), zram_settings_text(read_file(zram_path)));

    const std::string list_path = dir / "mimeapps.list";
    const std::string defaults =
        "[Default Applications]\ntext/plain=org.gnome.TextEditor.desktop\n"
        "audio/mpeg=rhythmbox.desktop\nvideo/mp4=org.gnome.Totem.desktop;showtime.desktop\n";
    write_file(list_path, defaults);
    const auto commands = mimeapps_commands(list_path, "showtime.desktop");
    for (size_t i = 1; i < commands.size(); ++i) run_sh(commands[i]);  // after the copy
    EXPECT_EQ(read_file(list_path), mimeapps_text(defaults, "showtime.desktop"));
}
