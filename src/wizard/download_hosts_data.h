// The hosts a wizard pass downloads from, checked before its first change (pure).
#pragma once

#include <string>
#include <vector>

#include "core/preflight_data.h"

struct AppConsole;

/// The hosts of the pass that the answers in `app` chose: the package archive (`archive_urls`,
/// from the machine's sources), the PPAs, the browser's host, GitHub, deb-get's and Flathub.
std::vector<HostCheck> wizard_host_checks(const AppConsole& app,
                                          const std::vector<std::string>& archive_urls);
