// Package and system operations: every change to the machine's packages goes through these.
// A failing package command ends the run (exit_failed).
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/packages_data.h"

struct AppConsole;

/// Installs `packages` with apt; with `skip_if_installed` logs "Nothing to install" and does
/// nothing when every name is already installed.
void apt_install(AppConsole& app, std::string_view packages, bool use_eatmydata,
                 bool skip_if_installed, Questions questions = Questions::unattended);
/// Purges `packages`; "Nothing to remove" when none of them is installed.
void apt_remove(AppConsole& app, std::string_view packages);
/// Installs a package file unless `package_name` is installed.
void apt_install_from_deb(AppConsole& app, std::string_view package_name,
                          std::string_view deb_file);
/// Installs through deb-get, handing it the user's DEBGET_TOKEN when one is set.
void deb_get_install(std::string_view packages, Questions questions = Questions::unattended);
/// Reloads the installed-package list; the new list, or empty (the old list kept) when
/// dpkg-query failed.
std::vector<std::string> check_installed_packages(AppConsole& app);
/// Looks `package_name` up, reading the list first when none has been read yet.
bool pkg_is_installed(AppConsole& app, std::string_view package_name);
/// True when every name of `packages` (blank-separated) is in the list as last read.
bool packages_installed(const AppConsole& app, std::string_view packages);
/// True when no name of `packages` is in the list as last read.
bool packages_absent(const AppConsole& app, std::string_view packages);
/// The names of the Flatpak remotes; empty without flatpak or when it fails.
std::vector<std::string> flatpak_remote_names();
/// Reads the list as check_installed_packages does, but as the user (dpkg-query needs no
/// root): for the runs that must not ask for a password.
void check_installed_packages_as_user(AppConsole& app);

/// Simulates installing each of `lists` (blank-separated names; one apt-get run per list, as
/// each is installed on its own) from the package lists as they are now. Prints one
/// "E: Ubuntu <version> has no package '<name>'" line per name apt does not know or has no
/// candidate for, one line when apt has no package lists at all, or apt's own error; a line
/// with the result otherwise. Changes nothing, so it runs in a dry run too. True when every
/// name can be installed.
bool check_packages_available(const AppConsole& app, std::span<const std::string> lists);
/// The same for one list.
bool check_packages_available(const AppConsole& app, std::string_view packages);
