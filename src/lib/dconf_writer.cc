#include "lib/dconf_writer.h"

#include <gio/gio.h>

#include "lib/console.h"
#include "lib/glib_ptr.h"

namespace Velkor {

namespace {

// The writer of the "user" database, the one the dconf command line writes.
constexpr const char* writer_path = "/ca/desrt/dconf/Writer/user";

// A changeset as the service reads it: the serialised bytes of an a{smv}, a key without a
// value being reset.
GVariant* reset_changeset(const std::vector<std::string>& keys) {
    GVariantBuilder changes;
    g_variant_builder_init(&changes, G_VARIANT_TYPE("a{smv}"));
    for (const auto& key : keys) g_variant_builder_add(&changes, "{smv}", key.c_str(), nullptr);
    const GVariantPtr changeset(g_variant_ref_sink(g_variant_builder_end(&changes)));
    const GVariantPtr normal(g_variant_get_normal_form(changeset.get()));
    GVariant* bytes = g_variant_new_fixed_array(
        G_VARIANT_TYPE_BYTE, g_variant_get_data(normal.get()), g_variant_get_size(normal.get()), 1);
    return g_variant_new_tuple(&bytes, 1);
}

}  // namespace

bool dconf_reset_keys(const std::vector<std::string>& keys, std::string& error) {
    if (keys.empty()) return true;
    const std::string described = "dconf reset of " + std::to_string(keys.size()) +
                                  " keys through ca.desrt.dconf.Writer.Change";
    log_debug(described);
    std::string listing;
    for (const auto& key : keys) listing += key + "\n";
    log_file_write("$ " + described + "\n" + listing);
    GError* raw = nullptr;
    GObjectPtr<GDBusConnection> bus{g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &raw)};
    GVariantPtr reply;
    if (bus) {
        reply.reset(g_dbus_connection_call_sync(bus.get(), "ca.desrt.dconf", writer_path,
                                                "ca.desrt.dconf.Writer", "Change",
                                                reset_changeset(keys), G_VARIANT_TYPE("(s)"),
                                                G_DBUS_CALL_FLAGS_NONE, -1, nullptr, &raw));
    }
    if (!reply) {
        const GErrorPtr failure{raw};
        error = failure ? failure->message : "no answer";
        log_file_write("(" + error + ")\n[exit 1]\n");
        return false;
    }
    log_file_write("[exit 0]\n");
    return true;
}

}  // namespace Velkor
