#include "core/exit.h"

void exit_process(int status) { throw AppExit{status}; }
