// The one way a run ends: every path throws AppExit, which main() turns into the exit status.
#pragma once

/// Thrown to end the process through main() with `status`; nothing else calls exit().
struct AppExit {
    int status;
};

/// Ends the process with `status` by throwing AppExit.
[[noreturn]] void exit_process(int status);
