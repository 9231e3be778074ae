#include "lib/user.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <optional>
#include <string>

#include "test_support.h"

using test_support::CaptureOutput;
using test_support::ScopedTempDir;
using test_support::shell_output;
using test_support::StubPath;

namespace {

// Field `field` of the account `name` in the real /etc/passwd, read by awk.
std::string passwd_field(const std::string& name, int field) {
    const std::string value = shell_output("awk -F: '$1 == \"" + name + "\" { print $" +
                                           std::to_string(field) + "; exit }' /etc/passwd");
    return value.empty() ? value : value.substr(0, value.size() - 1);
}

std::string effective_name() {
    const std::string uid = std::to_string(geteuid());
    const std::string name =
        shell_output("awk -F: '$3 == \"" + uid + "\" { print $1; exit }' /etc/passwd");
    return name.empty() ? name : name.substr(0, name.size() - 1);
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
    EXPECT_EQ(euid, Velkor::get_user_id_effective());
    EXPECT_EQ(euid, Velkor::get_user_id());
    EXPECT_EQ(euid == 0, Velkor::user_is_admin());
    EXPECT_EQ(effective_name(), Velkor::get_username());
    EXPECT_EQ(effective_name(), Velkor::get_username_effective());
    EXPECT_EQ(passwd_field(effective_name(), 6), Velkor::get_user_home_effective());

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
        const int uid = Velkor::get_user_id();
        capture.finish();
        EXPECT_EQ(1000, uid);
        EXPECT_EQ("", capture.std_err());
    }
    for (const auto& [text, uid] : std::vector<std::pair<std::string, int>>{
             {"0", 0}, {"", 0}, {"abc", 0}, {" 42x", 42}, {"01000", 1000}}) {
        ScopedEnv pkexec("PKEXEC_UID", text);
        EXPECT_EQ(uid, Velkor::get_user_id()) << "PKEXEC_UID=" << text;
    }
    {
        ScopedEnv pkexec("PKEXEC_UID", "0");
        EXPECT_EQ("root", Velkor::get_username());
    }
    {
        ScopedEnv sudo("SUDO_USER", "kelvane-nobody");
        CaptureOutput capture;
        const int uid = Velkor::get_user_id();
        capture.finish();
        EXPECT_EQ(-1, uid);
        EXPECT_EQ("E: UserId not found for userName: kelvane-nobody\n", capture.std_err());
        EXPECT_EQ("", capture.std_out());
    }
}

TEST(User, LookupsInTheAccountFileAndTheirFailures) {
    EXPECT_EQ(passwd_field("root", 6), Velkor::get_user_home("root"));
    EXPECT_EQ(0, Velkor::get_user_id_from_username("root"));
    EXPECT_EQ("root", Velkor::get_username_from_uid(0));

    CaptureOutput capture;
    const std::string name = Velkor::get_username_from_uid(424242);
    const std::string home = Velkor::get_user_home(name);
    const int uid = Velkor::get_user_id_from_username("no such user");
    capture.finish();
    EXPECT_EQ("", name);
    EXPECT_EQ("", home);
    EXPECT_EQ(-1, uid);
    EXPECT_EQ(
        "E: Username not found for uid: 424242\n"
        "E: Home directory not found for user: \n"
        "E: UserId not found for userName: no such user\n",
        capture.std_err());
}

// A stand-in getent plays the name service: it knows one account that /etc/passwd lacks.
TEST(User, AccountsFromTheNameService) {
    ScopedTempDir dir;
    StubPath stubs;
    const std::string log = dir / "getent.log";
    stubs.add("getent",
              "printf '%s|' \"$#\" \"$@\" >> '" + log +
                  "'\n"
                  "case \"$2\" in\n"
                  "  ghost|4242) echo 'ghost:x:4242:4243:The Ghost:/home/ghost:/bin/sh' ;;\n"
                  "  liar) echo 'someone:x:5:5::/x:/bin/sh' ;;\n"
                  "  *) exit 2 ;;\n"
                  "esac");
    EXPECT_EQ(4242, Velkor::get_user_id_from_username("ghost"));
    EXPECT_EQ("ghost", Velkor::get_username_from_uid(4242));
    EXPECT_EQ("/home/ghost", Velkor::get_user_home("ghost"));
    {
        ScopedEnv pkexec("PKEXEC_UID", std::nullopt);
        ScopedEnv sudo("SUDO_USER", "ghost");
        EXPECT_EQ(4242, Velkor::get_user_id());
    }
    // The key reaches getent as one argument even with blanks and quotes in it.
    EXPECT_EQ(std::optional<std::string>(""), Velkor::get_user_with_getent("a b 'c'"));
    EXPECT_NE(std::string::npos, test_support::read_file(log).find("|2|passwd|a b 'c'|"))
        << test_support::read_file(log);
    EXPECT_EQ("ghost:x:4242:4243:The Ghost:/home/ghost:/bin/sh\n",
              Velkor::get_user_with_getent("ghost"));

    // An answer for another account is not taken.
    CaptureOutput capture;
    const int liar = Velkor::get_user_id_from_username("liar");
    capture.finish();
    EXPECT_EQ(-1, liar);
    EXPECT_EQ("E: UserId not found for userName: liar\n", capture.std_err());
}

TEST(User, GetentThatCannotStart) {
    ScopedTempDir empty;
    ScopedEnv path("PATH", empty.path());
    CaptureOutput capture;
    const auto answer = Velkor::get_user_with_getent("root");
    capture.finish();
    EXPECT_EQ(std::nullopt, answer);
    EXPECT_EQ(1u, test_support::lines_of(capture.std_err()).size()) << capture.std_err();
    EXPECT_EQ(0u, capture.std_err().rfind("E: ", 0));
}

TEST(User, HostnameWithoutSurroundingSpace) {
    const std::string raw = test_support::read_file("/etc/hostname");
    if (raw.empty()) GTEST_SKIP() << "no /etc/hostname here";
    const std::string expected = shell_output("tr -d ' \\t\\r\\n' < /etc/hostname");
    EXPECT_EQ(expected, Velkor::get_hostname());
}
