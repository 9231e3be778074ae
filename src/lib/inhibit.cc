#include "lib/inhibit.h"

#include <gio/gio.h>
#include <gio/gunixfdlist.h>
#include <unistd.h>

#include <string>
#include <utility>

#include "lib/console.h"
#include "lib/glib_ptr.h"

namespace Velkor {

namespace {

// The answer does not come within this time from a logind that hangs: the run goes on.
constexpr int logind_timeout_ms = 10000;

}  // namespace

Inhibitor::Inhibitor(std::string_view what, std::string_view who, std::string_view why) {
    GError* raw_error = nullptr;
    GObjectPtr<GDBusConnection> bus{g_bus_get_sync(G_BUS_TYPE_SYSTEM, nullptr, &raw_error)};
    GUnixFDList* raw_fds = nullptr;
    GVariantPtr reply;
    if (bus) {
        reply.reset(g_dbus_connection_call_with_unix_fd_list_sync(
            bus.get(), "org.freedesktop.login1", "/org/freedesktop/login1",
            "org.freedesktop.login1.Manager", "Inhibit",
            g_variant_new("(ssss)", std::string(what).c_str(), std::string(who).c_str(),
                          std::string(why).c_str(), "block"),
            G_VARIANT_TYPE("(h)"), G_DBUS_CALL_FLAGS_NONE, logind_timeout_ms, nullptr, &raw_fds,
            nullptr, &raw_error));
    }
    GObjectPtr<GUnixFDList> fds{raw_fds};
    if (!reply) {
        GErrorPtr error{raw_error};
        log_warning(std::string("Cannot keep the machine awake (logind: ") +
                    (error ? error->message : "no answer") + "); going on");
        return;
    }
    gint32 index = -1;
    g_variant_get(reply.get(), "(h)", &index);
    if (fds) fd_ = g_unix_fd_list_get(fds.get(), index, nullptr);
    if (fd_ < 0) log_warning("Cannot keep the machine awake (logind sent no lock); going on");
}

Inhibitor::~Inhibitor() {
    if (fd_ >= 0) close(fd_);
}

Inhibitor::Inhibitor(Inhibitor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

Inhibitor& Inhibitor::operator=(Inhibitor&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) close(fd_);
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

}  // namespace Velkor
