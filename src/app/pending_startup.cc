// Placeholder definitions until the start-up checks land; delete this file then.
#include "app/app_console.h"
#include "lib/console.h"

using namespace Velkor;

void AppConsole::run_startup_checks() {}

void AppConsole::check_not_root() {}

void AppConsole::check_user() {}

void AppConsole::check_dependencies() {}

void AppConsole::check_distribution() {}

void AppConsole::check_cpu_level() {}
