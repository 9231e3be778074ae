#include "lib/user.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <optional>
#include <string>

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
    auto uid_of = [&](std::string_view name) {
        return Velkor::passwd_lookup(passwd, 1, name, 3, 3);
    };
    auto name_of = [&](std::string_view uid) {
        return Velkor::passwd_lookup(passwd, 3, uid, 3, 1);
    };
    auto home_of = [&](std::string_view name) {
        return Velkor::passwd_lookup(passwd, 1, name, 6, 6);
    };
    EXPECT_EQ("0", uid_of("root"));
    EXPECT_EQ(std::nullopt, uid_of("short"));
    EXPECT_EQ("1001", uid_of("nohome"));
    EXPECT_EQ(std::nullopt, home_of("nohome"));
    EXPECT_EQ("/home/odd", home_of("odd"));
    EXPECT_EQ(std::nullopt, name_of("1000"));  // "01000" is not "1000"
    EXPECT_EQ("odd", name_of("01000"));
    EXPECT_EQ("7", uid_of("twice"));  // the first line wins
    EXPECT_EQ("/first", home_of("twice"));
    EXPECT_EQ("", home_of("blank"));  // an empty field is still a field
    EXPECT_EQ("last", name_of("1002"));
    EXPECT_EQ("/home/last", home_of("last"));
    EXPECT_EQ(std::nullopt, uid_of(""));
    EXPECT_EQ(std::nullopt, uid_of("roo"));
    EXPECT_EQ(std::nullopt, uid_of("root:x"));
    EXPECT_EQ(std::nullopt, Velkor::passwd_lookup("", 1, "root", 3, 3));

    // Indices beyond the fields never match, whatever the minimum says.
    const std::vector<std::string> fields = {"a", "b"};
    EXPECT_EQ("b", Velkor::field_if_match(fields, 1, "a", 2, 2));
    EXPECT_EQ(std::nullopt, Velkor::field_if_match(fields, 1, "a", 1, 5));
    EXPECT_EQ(std::nullopt, Velkor::field_if_match(fields, 4, "a", 1, 1));
    EXPECT_EQ(std::nullopt, Velkor::field_if_match(fields, 0, "a", 1, 1));
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
