#include "lib/user.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <optional>
#include <string>
#include <tuple>

#include "test_support.h"

using namespace test_support;

namespace {

// Field `field` of the first account whose field `key` is `value`, read by awk.
std::string passwd_field(int key, const std::string& value, int field) {
    const std::string found =
        run_sh("awk -F: '$" + std::to_string(key) + " == \"" + value + "\" { print $" +
               std::to_string(field) + "; exit }' /etc/passwd")
            .output;
    return found.empty() ? found : found.substr(0, found.size() - 1);
}

}  // namespace

TEST(Passwd, LookupOnShortAndOddLines) {
    const std::string passwd =
        "root:x:0:0:root:/root:/bin/bash\n"
        "short:x\n"
        "nohome:x:1001:1001\n"
        "odd:x:01000:1000::/home/odd\n"
        "twice:x:7:7::/first:/bin/sh\n"
        "twice:x:8:8::/second:/bin/sh\n"
        "blank::1003:1003:::\n"
        "\n"
        "last:x:1002:1002::/home/last:/bin/sh";
    // Key field, key, wanted field, fewest fields, answer. "01000" is not "1000", the first of
    // two lines wins, an empty field is still a field, and a field beyond the line never
    // matches, whatever the minimum says.
    const std::tuple<int, const char*, int, int, std::optional<std::string>> lookups[] = {
        {1, "root", 3, 3, "0"},          {1, "short", 3, 3, std::nullopt},
        {1, "nohome", 3, 3, "1001"},     {1, "nohome", 6, 6, std::nullopt},
        {3, "1000", 1, 3, std::nullopt}, {3, "01000", 1, 3, "odd"},
        {1, "twice", 6, 6, "/first"},    {1, "blank", 6, 6, ""},
        {3, "1002", 1, 3, "last"},       {1, "", 3, 3, std::nullopt},
        {1, "roo", 3, 3, std::nullopt},  {1, "root:x", 3, 3, std::nullopt},
        {1, "root", 9, 1, std::nullopt}, {0, "root", 3, 1, std::nullopt}};
    for (const auto& [key_field, key, field, minimum, answer] : lookups) {
        EXPECT_EQ(answer, Velkor::passwd_lookup(passwd, key_field, key, minimum, field))
            << key << " field " << field;
    }
    EXPECT_EQ(std::nullopt, Velkor::passwd_lookup("", 1, "root", 3, 3));
}

TEST(User, RealUserThroughPkexecSudoOrNeither) {
    ScopedEnv no_pkexec("PKEXEC_UID", std::nullopt);
    ScopedEnv no_sudo("SUDO_USER", std::nullopt);
    const int euid = static_cast<int>(geteuid());
    const std::string name = passwd_field(3, std::to_string(euid), 1);
    EXPECT_EQ(euid, Velkor::get_user_id());
    EXPECT_EQ(euid == 0, Velkor::user_is_admin());
    EXPECT_EQ(name, Velkor::get_username());
    EXPECT_EQ(passwd_field(1, name, 6), Velkor::get_user_home_effective());
    {
        ScopedEnv sudo("SUDO_USER", "root");
        EXPECT_EQ(0, Velkor::get_user_id());
        EXPECT_EQ("root", Velkor::get_username());
    }
    {
        // pkexec wins over sudo, and needs no lookup at all.
        ScopedEnv sudo("SUDO_USER", "kelvane-nobody");
        ScopedEnv pkexec("PKEXEC_UID", "1000");
        CaptureOutput capture;
        EXPECT_EQ(1000, Velkor::get_user_id());
        EXPECT_EQ("", capture.std_err());
    }
    for (const auto& [text, uid] : std::vector<std::pair<std::string, int>>{
             {"0", 0}, {"", 0}, {"abc", 0}, {" 42x", 42}, {"01000", 1000}}) {
        ScopedEnv pkexec("PKEXEC_UID", text);
        EXPECT_EQ(uid, Velkor::get_user_id()) << "PKEXEC_UID=" << text;
    }
    {
        ScopedEnv sudo("SUDO_USER", "kelvane-nobody");
        CaptureOutput capture;
        EXPECT_EQ(-1, Velkor::get_user_id());
        EXPECT_EQ("E: UserId not found for userName: kelvane-nobody\n", capture.std_err());
    }
}

// A stand-in getent plays the name service: it knows one account that /etc/passwd lacks.
TEST(User, AccountsFromTheFileAndTheNameService) {
    EXPECT_EQ(passwd_field(1, "root", 6), Velkor::get_user_home("root"));
    EXPECT_EQ("root", Velkor::get_username_from_uid(0));
    ScratchDir dir;
    StubPath stubs;
    const std::string log = dir / "getent.log";
    stubs.add("getent",
              "printf '%s|' \"$#\" \"$@\" >> " + sh_quote(log) +
                  "\n"
                  "case \"$2\" in\n"
                  "  ghost|4242) echo 'ghost:x:4242:4243:The Ghost:/home/ghost:/bin/sh' ;;\n"
                  "  liar) echo 'someone:x:5:5::/x:/bin/sh' ;;\n"
                  "  *) exit 2 ;;\n"
                  "esac");
    EXPECT_EQ(4242, Velkor::get_user_id_from_username("ghost"));
    EXPECT_EQ("ghost", Velkor::get_username_from_uid(4242));
    EXPECT_EQ("/home/ghost", Velkor::get_user_home("ghost"));
    // The key reaches getent as one argument even with blanks and quotes in it.
    EXPECT_EQ(std::optional<std::string>(""), Velkor::get_user_with_getent("a b 'c'"));
    EXPECT_NE(std::string::npos, read_file(log).find("|2|passwd|a b 'c'|")) << read_file(log);

    // An answer for another account is not taken; failures name what was looked for.
    CaptureOutput capture;
    EXPECT_EQ(-1, Velkor::get_user_id_from_username("liar"));
    EXPECT_EQ("", Velkor::get_username_from_uid(424242));
    EXPECT_EQ("", Velkor::get_user_home(""));
    EXPECT_EQ(
        "E: UserId not found for userName: liar\n"
        "E: Username not found for uid: 424242\n"
        "E: Home directory not found for user: \n",
        capture.std_err());
}
