// Waiting for another package manager: right after a fresh install the system's automatic
// updates hold the dpkg and apt locks for minutes, and a package command then fails at once.
#pragma once

/// Before a command that needs the dpkg or apt locks: while another process holds one, waits
/// and shows who and for how long (in place on a terminal, once in the log). After the limit
/// (20 minutes) the run stops, naming the holder, which is never killed. Nothing in a dry run.
void wait_for_package_lock();
