// Program entry: the workspace, the application object, and the one exit path.
#include <cstdio>
#include <string>
#include <vector>

#include "app/app_console.h"
#include "app/cli.h"
#include "lib/commands.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv, argv + argc);
    if (auto answer = early_answer(args)) {
        std::fputs(answer->c_str(), stdout);
        return 0;
    }
    try {
        // A root start is refused before the workspace exists, so it leaves nothing behind.
        AppConsole(AppConsole::SkipStartupChecks{}).check_not_root();
        Velkor::init_tmp("kelvane");
        AppConsole app;
        return app.execute(args);
    } catch (const AppExit& request) {
        std::fflush(stdout);
        std::fflush(stderr);
        return request.status;
    }
}
