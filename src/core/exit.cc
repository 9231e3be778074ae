#include "core/exit.h"

#include "core/runner.h"

void exit_process(int status) { throw AppExit{status}; }

void exit_failed() {
    run(sync_command);
    exit_process(1);
}
