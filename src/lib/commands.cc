#include "lib/commands.h"

#include <fcntl.h>
#include <ftw.h>
#include <glib.h>
#include <glib/gstdio.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "lib/console.h"
#include "lib/files.h"
#include "lib/glib_ptr.h"

namespace Velkor {

namespace {

constexpr std::string_view workspace_charset =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz1234567890";

std::string workspace_path;

GRand* random_source() {
    static GRandPtr source{g_rand_new()};  // seeded from /dev/urandom
    return source.get();
}

std::string fresh_name() {
    return timestamp_numeric() + std::to_string(g_rand_int(random_source()));
}

// Runs in the child between fork and exec: the child must never wait on our terminal's input.
void stdin_from_dev_null(gpointer) {
    const int fd = open("/dev/null", O_RDONLY);
    if (fd >= 0) {
        dup2(fd, STDIN_FILENO);
        if (fd != STDIN_FILENO) close(fd);
    }
}

// Read on every call: GLib's own lookup caches the first answer for the whole process.
std::string system_temp_dir() {
    const char* tmpdir = g_getenv("TMPDIR");
    // A relative folder would depend on where the program was started: it counts as unset.
    return tmpdir && tmpdir[0] == '/' ? tmpdir : "/tmp";
}

std::string home_dir() {
    const char* home = g_getenv("HOME");
    return home && *home ? home : g_get_home_dir();
}

// Creates "<base>/<prefix>_XXXXXXXX" with mode 0700, drawing a new name while one exists.
// nullopt (after one "E: " line) when the folder cannot be made there.
std::optional<std::string> create_exclusive_dir(const std::string& base, std::string_view prefix) {
    if (g_mkdir_with_parents(base.c_str(), 0700) != 0) {
        log_error("Failed to create '" + base + "': " + g_strerror(errno));
        return std::nullopt;
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string path =
            base + "/" + std::string(prefix) + "_" + random_string(8, workspace_charset);
        if (g_mkdir(path.c_str(), 0700) == 0) return path;
        if (errno != EEXIST) {
            log_error("Failed to create '" + path + "': " + g_strerror(errno));
            return std::nullopt;
        }
    }
    log_error("Failed to create a workspace in '" + base + "'");
    return std::nullopt;
}

// Scratch files must never land in the root folder when a caller forgot init_tmp: such a
// caller gets a private workspace in the temporary folder, without the execution probe.
const std::string& workspace() {
    if (workspace_path.empty()) {
        workspace_path =
            create_exclusive_dir(system_temp_dir(), "velkor").value_or(system_temp_dir());
    }
    return workspace_path;
}

}  // namespace

const std::string& temp_dir() { return workspace_path; }

std::string random_string(int length, std::string_view charset) {
    std::string result;
    if (charset.empty()) return result;
    for (int i = 0; i < length; ++i) {
        const auto index =
            g_rand_int_range(random_source(), 0, static_cast<gint32>(charset.size()));
        result += charset[static_cast<size_t>(index)];
    }
    return result;
}

std::string timestamp_numeric() {
    return std::to_string(static_cast<long>(g_get_real_time() / G_USEC_PER_SEC));
}

std::string get_temp_file_path(bool with_subdir) {
    std::string base = workspace();
    if (with_subdir) {
        base += "/" + fresh_name();
        dir_create(base);
    }
    return base + "/" + fresh_name();
}

namespace {

int remove_entry(const char* path, const struct stat*, int, struct FTW*) { return ::remove(path); }

}  // namespace

void remove_workspace() {
    if (workspace_path.empty()) return;
    nftw(workspace_path.c_str(), remove_entry, 16, FTW_DEPTH | FTW_PHYS);
}

std::string create_temp_subdir() {
    std::string path = workspace() + "/" + fresh_name();
    dir_create(path);
    return path;
}

void init_tmp(std::string_view subdir_name) {
    // A temporary folder where the workspace cannot even be made needs no probe.
    if (auto first = create_exclusive_dir(system_temp_dir(), subdir_name)) {
        workspace_path = *first;
        ExecOutput probe;
        exec_script_sync("echo 'ok'", &probe, true, false, true, false);
        if (string_strip(probe.std_out.value_or("")) == "ok") return;
    }

    // The temporary folder does not let scripts run (mounted noexec): use the home folder.
    const std::string fallback_base = home_dir() + "/.temp";
    const std::string candidate =
        fallback_base + "/" + std::string(subdir_name) + "_" + random_string(8, workspace_charset);
    run_read("rm -rf " + shell_quote(candidate), RunMode::captured);  // our own workspace
    if (g_mkdir_with_parents(fallback_base.c_str(), 0700) == 0 &&
        g_mkdir(candidate.c_str(), 0700) == 0) {
        workspace_path = candidate;
        return;
    }
    workspace_path = create_exclusive_dir(fallback_base, subdir_name).value_or(candidate);
}

int exit_code_from_wait_status(int status) {
    if (status > 255 && (status & 0xff) == 0) return status >> 8;
    return status;
}

namespace {

volatile sig_atomic_t pending_signal = 0;
bool dry_run_on = false;
int changing_commands = 0;
void (*interrupt_handler)(int) = nullptr;

void note_signal(int signal_number) { pending_signal = signal_number; }

// Copies what a child writes to `fd` onto our stream, into the run log and, when given, into
// `kept`; false at the end.
bool copy_output(int fd, FILE* stream, std::string* kept) {
    char buffer[4096];
    const ssize_t count = read(fd, buffer, sizeof buffer);
    if (count <= 0) return count < 0 && errno == EINTR;
    const std::string_view piece(buffer, static_cast<size_t>(count));
    if (kept) kept->append(piece);
    std::fwrite(piece.data(), 1, piece.size(), stream);
    std::fflush(stream);
    // A piece may end inside a character, so only a NUL byte marks it as binary here.
    if (piece.find('\0') == std::string_view::npos) {
        log_file_write(piece);
    } else {
        log_file_write("(" + std::to_string(piece.size()) + " bytes of binary output)\n");
    }
    return true;
}

// A pseudo-terminal for the child's output when ours is a terminal, so that it still draws
// progress bars and colours; its input and controlling terminal stay ours, so password
// prompts and Ctrl-C work as before and a password never passes through us.
struct OutputChannel {
    int out_read = -1;
    int out_write = -1;
    int err_read = -1;
    int err_write = -1;
};

OutputChannel open_output_channel() {
    OutputChannel channel;
    if (isatty(STDOUT_FILENO) && isatty(STDERR_FILENO)) {
        const int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0) {
            const char* name = ptsname(master);
            const int slave = name ? open(name, O_RDWR | O_NOCTTY | O_CLOEXEC) : -1;
            if (slave >= 0) {
                winsize size{};
                if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0) ioctl(slave, TIOCSWINSZ, &size);
                termios mode{};
                if (tcgetattr(slave, &mode) == 0) {
                    mode.c_oflag &= ~static_cast<tcflag_t>(OPOST);  // line feeds as written
                    tcsetattr(slave, TCSANOW, &mode);
                }
                channel.out_read = master;
                channel.out_write = slave;
                return channel;
            }
        }
        if (master >= 0) close(master);
    }
    int out[2];
    int err[2];
    if (pipe2(out, O_CLOEXEC) != 0) return channel;
    if (pipe2(err, O_CLOEXEC) != 0) {
        close(out[0]);
        close(out[1]);
        return channel;
    }
    channel = {out[0], out[1], err[0], err[1]};
    return channel;
}

// Runs "sh -c cmd" with our terminal as its input; with `copy`, its output also goes into the
// run log and into `kept` when one is given. The waitpid-style status, or -1 when it cannot
// start.
int spawn_shell(std::string_view cmd, bool copy, ExecOutput* kept) {
    OutputChannel channel = copy ? open_output_channel() : OutputChannel{};
    const std::string command(cmd);
    const pid_t pid = fork();
    if (pid == 0) {
        for (int signal_number : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) signal(signal_number, SIG_DFL);
        if (channel.out_write >= 0) dup2(channel.out_write, STDOUT_FILENO);
        const int err_fd = channel.err_write >= 0 ? channel.err_write : channel.out_write;
        if (err_fd >= 0) dup2(err_fd, STDERR_FILENO);
        execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    for (int fd : {channel.out_write, channel.err_write}) {
        if (fd >= 0) close(fd);
    }
    if (pid < 0) {
        for (int fd : {channel.out_read, channel.err_read}) {
            if (fd >= 0) close(fd);
        }
        return -1;
    }
    // Read until the child has ended and its output is drained; a background process that
    // keeps the output open does not hold us up once the child itself is gone.
    bool child_done = false;
    int status = 0;
    std::vector<pollfd> fds;
    for (int fd : {channel.out_read, channel.err_read}) {
        if (fd >= 0) fds.push_back({fd, POLLIN, 0});
    }
    bool forwarded = false;
    while (true) {
        if (pending_signal && !forwarded) {
            // A signal meant for us alone (SIGTERM, a closed terminal) ends the child too.
            kill(pid, pending_signal);
            forwarded = true;
        }
        if (!child_done && waitpid(pid, &status, WNOHANG) == pid) child_done = true;
        bool open_left = false;
        for (auto& entry : fds) open_left = open_left || entry.fd >= 0;
        if (!open_left) {
            if (child_done) break;
            if (waitpid(pid, &status, 0) == pid) break;
            if (errno != EINTR) break;
            continue;
        }
        const int ready = poll(fds.data(), fds.size(), child_done ? 0 : 200);
        if (ready == 0 && child_done) break;
        for (auto& entry : fds) {
            if (entry.fd < 0 || !(entry.revents & (POLLIN | POLLHUP | POLLERR))) continue;
            const bool is_out = entry.fd == channel.out_read;
            std::string* sink = nullptr;
            if (kept) sink = &*(is_out ? kept->std_out : kept->std_err);
            if (!copy_output(entry.fd, is_out ? stdout : stderr, sink)) {
                close(entry.fd);
                entry.fd = -1;
            }
        }
    }
    for (auto& entry : fds) {
        if (entry.fd >= 0) close(entry.fd);
    }
    return status;
}

// Reads both pipes to their end and closes them. Whole bytes: g_spawn_sync would hand back
// C strings, and binary output (a JPEG read through sudo) would end at its first NUL byte.
void read_to_end(int out_fd, int err_fd, std::string& out, std::string& err) {
    pollfd fds[2] = {{out_fd, POLLIN, 0}, {err_fd, POLLIN, 0}};
    std::string* sinks[2] = {&out, &err};
    std::vector<char> buffer(65536);
    while (fds[0].fd >= 0 || fds[1].fd >= 0) {
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !fds[i].revents) continue;
            const ssize_t count = read(fds[i].fd, buffer.data(), buffer.size());
            if (count < 0 && errno == EINTR) continue;
            if (count <= 0) {
                close(fds[i].fd);
                fds[i].fd = -1;
                continue;
            }
            sinks[i]->append(buffer.data(), static_cast<size_t>(count));
        }
    }
    for (const auto& entry : fds) {
        if (entry.fd >= 0) close(entry.fd);
    }
}

int exec_sync(std::string_view cmd, ExecOutput* output) {
    if (output) *output = {};
    gchar** raw_argv = nullptr;
    GError* raw_error = nullptr;
    if (!g_shell_parse_argv(std::string(cmd).c_str(), nullptr, &raw_argv, &raw_error)) {
        GErrorPtr error{raw_error};
        log_error(error->message);
        return -1;
    }
    GStrvPtr argv{raw_argv};
    GPid pid = 0;
    int out_fd = -1;
    int err_fd = -1;
    const auto flags = static_cast<GSpawnFlags>(G_SPAWN_SEARCH_PATH | G_SPAWN_DO_NOT_REAP_CHILD);
    if (!g_spawn_async_with_pipes(nullptr, argv.get(), nullptr, flags, stdin_from_dev_null, nullptr,
                                  &pid, nullptr, &out_fd, &err_fd, &raw_error)) {
        GErrorPtr error{raw_error};
        log_error(error->message);
        return -1;
    }
    std::string out;
    std::string err;
    read_to_end(out_fd, err_fd, out, err);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    g_spawn_close_pid(pid);
    if (output) *output = {std::move(out), std::move(err)};
    return exit_code_from_wait_status(status);
}

// What the log gets of a captured stream: the text, or only the size of binary output.
std::string log_text_of(const std::optional<std::string>& stream) {
    const std::string text = stream.value_or("");
    if (g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr)) return text;
    return "(" + std::to_string(text.size()) + " bytes of binary output)\n";
}

}  // namespace

void signals_install(void (*on_interrupt)(int signal_number)) {
    interrupt_handler = on_interrupt;
    struct sigaction action {};
    action.sa_handler = note_signal;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a wait is interrupted so that the signal is seen at once.
    for (int signal_number : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal_number, &action, nullptr);
}

void check_interrupt() {
    if (!pending_signal || !interrupt_handler) return;
    const int signal_number = pending_signal;
    pending_signal = 0;
    interrupt_handler(signal_number);
}

bool wait_unless_interrupted(int seconds) {
    timespec left{seconds, 0};
    // The handler has no SA_RESTART: a signal ends the sleep early with EINTR.
    while (!pending_signal && nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
    const bool interrupted = pending_signal != 0;
    pending_signal = 0;
    return !interrupted;
}

namespace {

pid_t keepalive_pid = -1;
bool keepalive_started = false;

// Refreshes sudo's timestamp once a minute without asking, for as long as we live.
[[noreturn]] void keepalive_loop(pid_t parent) {
    for (int signal_number : {SIGINT, SIGTERM, SIGHUP}) signal(signal_number, SIG_DFL);
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) _exit(0);
    const int null_fd = open("/dev/null", O_RDWR);
    for (int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) dup2(null_fd, fd);
    while (true) {
        sleep(60);
        const pid_t refresh = fork();
        if (refresh == 0) {
            execlp("sudo", "sudo", "-n", "-v", static_cast<char*>(nullptr));
            _exit(127);
        }
        if (refresh > 0) waitpid(refresh, nullptr, 0);
    }
}

void keepalive_start() {
    keepalive_started = true;
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid == 0) keepalive_loop(parent);
    keepalive_pid = pid;
}

}  // namespace

void sudo_keepalive_stop() {
    if (keepalive_pid <= 0) return;
    // SIGKILL: a child stopped right after the fork may still have our SIGTERM handler, which
    // only notes the signal, and the wait below would never end.
    kill(keepalive_pid, SIGKILL);
    waitpid(keepalive_pid, nullptr, 0);
    keepalive_pid = -1;
}

void set_dry_run(bool on) { dry_run_on = on; }

bool dry_run() { return dry_run_on; }

int changing_commands_count() { return changing_commands; }

void count_change() { ++changing_commands; }

std::string_view done_or_would(std::string_view done, std::string_view would) {
    return dry_run_on ? would : done;
}

int run_read(std::string_view cmd, RunMode mode, ExecOutput* output) {
    return run_command(cmd, mode, output, Effect::reads);
}

int run_command(std::string_view cmd, RunMode mode, ExecOutput* output, Effect effect) {
    check_interrupt();
    log_debug(cmd);
    if (effect == Effect::changes) ++changing_commands;
    if (effect != Effect::reads && dry_run_on) {
        if (output) *output = {std::string(), std::string()};
        log_msg("Would run: " + std::string(cmd));
        return 0;
    }
    // "$" marks a command that changes the system, "?" one that only looks.
    log_file_write((effect == Effect::reads ? "? " : "$ ") + std::string(cmd) + "\n");
    int code = 0;
    if (mode == RunMode::captured) {
        const auto log_summary = output ? output->log_summary : nullptr;
        code = exec_sync(cmd, output);
        if (output) {
            log_file_write(log_summary ? log_summary(output->std_out.value_or("")) + "\n"
                                       : log_text_of(output->std_out));
            log_file_write(log_text_of(output->std_err));
        }
    } else {
        const bool keep = output && mode == RunMode::terminal;
        if (output) *output = {};
        if (keep) *output = {std::string(), std::string()};
        const int status = spawn_shell(cmd, mode == RunMode::terminal, keep ? output : nullptr);
        // Ctrl-C or Ctrl-\ that ended the child was meant for the whole run.
        if (status != -1 && WIFSIGNALED(status) &&
            (WTERMSIG(status) == SIGINT || WTERMSIG(status) == SIGQUIT) && !pending_signal) {
            pending_signal = WTERMSIG(status);
        }
        code = status == -1 ? -1 : exit_code_from_wait_status(status);
    }
    log_file_write("[exit " + std::to_string(code) + "]\n");
    if (code == 0 && !keepalive_started && cmd.rfind("sudo ", 0) == 0) keepalive_start();
    check_interrupt();
    return code;
}

std::string get_cmd_path(std::string_view cmd_tool) {
    ExecOutput output;
    run_read("which " + std::string(cmd_tool), RunMode::captured, &output);
    return string_replace(string_strip(output.std_out.value_or("")), "\n", "");
}

bool cmd_exists(std::string_view cmd_tool) { return !get_cmd_path(cmd_tool).empty(); }

bool chmod(std::string_view file_path, std::string_view perms) {
    return run_command("chmod " + std::string(perms) + " " + shell_quote(file_path),
                       RunMode::captured) == 0;
}

bool file_exists_sudo(std::string_view item_path) {
    return run_read("sudo test -f " + shell_quote(item_path)) == 0;
}

bool dir_exists_sudo(std::string_view item_path) {
    return run_read("sudo test -d " + shell_quote(item_path)) == 0;
}

std::string file_read_sudo(std::string_view file_path) {
    ExecOutput output;
    if (run_read("sudo cat " + shell_quote(file_path), RunMode::captured, &output) != 0) return "";
    return output.std_out.value_or("");
}

std::string bash_script_text(std::string_view commands, bool force_locale) {
    std::string text = "#!/bin/bash\n\n";
    if (force_locale) text += "LANG=C\nLC_ALL=C.UTF-8\n";
    text += "\n" + std::string(commands) + "\n";
    text += "\n\nexitCode=$?\n";
    text += "exit ${exitCode}\n";
    return text;
}

std::string admin_wrapper_text(std::string_view script_path) {
    return "#!/bin/bash\n"
           "pkexec env DISPLAY=$DISPLAY XAUTHORITY=$XAUTHORITY " +
           shell_quote(script_path) +
           "\n"
           "if [ -f status ]; then exit $(cat status); else exit 0; fi\n";
}

std::string save_bash_script_temp(std::string_view commands, std::string_view script_path,
                                  bool force_locale, bool admin_mode) {
    const std::string path =
        script_path.empty() ? get_temp_file_path(true) + ".sh" : std::string(script_path);
    // The scripts lie in the private workspace: making them executable changes nothing of the
    // machine's, so it is no command of the run.
    file_write(path, bash_script_text(commands, force_locale));
    ::chmod(path.c_str(), 0700);
    if (!admin_mode) return path;
    const std::string wrapper = path_combine(file_parent(path).value_or("/"), "script-admin.sh");
    file_write(wrapper, admin_wrapper_text(path));
    ::chmod(wrapper.c_str(), 0700);
    return wrapper;
}

int exec_script_sync(std::string_view script, ExecOutput* output, bool suppress_errors,
                     bool admin_mode, bool cleanup, bool show_output) {
    if (output) *output = {};
    const std::string path = save_bash_script_temp(script, "", true, admin_mode);
    const std::string dir = file_parent(path).value_or("/");
    gchar* argv[] = {const_cast<gchar*>(path.c_str()), nullptr};
    gchar* raw_out = nullptr;
    gchar* raw_err = nullptr;
    int status = 0;
    GError* raw_error = nullptr;
    const bool started = g_spawn_sync(
        dir.c_str(), argv, nullptr, static_cast<GSpawnFlags>(0), stdin_from_dev_null, nullptr,
        show_output ? nullptr : &raw_out, show_output ? nullptr : &raw_err, &status, &raw_error);
    GCharPtr out{raw_out};
    GCharPtr err{raw_err};
    if (!started) {
        GErrorPtr error{raw_error};
        if (!suppress_errors) log_error(error->message);
        if (output && show_output) *output = {std::string(), std::string()};
        return -1;
    }
    int result = exit_code_from_wait_status(status);
    const std::string status_path = path_combine(dir, "status");
    if (file_exists(status_path)) {
        if (auto text = file_read(status_path))
            result = static_cast<int>(parse_leading_long(*text));
    }
    if (cleanup) file_delete(path);
    if (output) {
        if (show_output) {
            *output = {std::string(), std::string()};
        } else {
            *output = {out ? out.get() : "", err ? err.get() : ""};
        }
    }
    return result;
}

int exec_script_async(std::string_view script, bool admin_mode) {
    const std::string path = save_bash_script_temp(script, "", false, admin_mode);
    const std::string dir = file_parent(path).value_or("/");
    gchar* argv[] = {const_cast<gchar*>(path.c_str()), nullptr};
    GPid pid = 0;
    GError* raw_error = nullptr;
    if (!g_spawn_async(dir.c_str(), argv, nullptr, static_cast<GSpawnFlags>(0), stdin_from_dev_null,
                       nullptr, &pid, &raw_error)) {
        GErrorPtr error{raw_error};
        log_error(error->message);
        return -1;
    }
    return pid;
}

std::string xdg_open_command(std::string_view opener, std::string_view file,
                             std::string_view user) {
    std::string cmd = std::string(opener) + " " + shell_quote(file) + " &>/dev/null";
    if (!user.empty()) {
        cmd = "pkexec --user " + std::string(user) +
              " env DISPLAY=$DISPLAY XAUTHORITY=$XAUTHORITY " + cmd;
    }
    return cmd;
}

void xdg_open(std::string_view file, std::string_view user) {
    const std::string opener = get_cmd_path("xdg-open");
    if (opener.empty()) return;
    const std::string cmd = xdg_open_command(opener, file, user);
    log_debug(cmd);
    exec_script_async(cmd, false);
}

}  // namespace Velkor
