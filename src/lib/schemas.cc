#include "lib/schemas.h"

#include <gio/gio.h>

#include <map>
#include <utility>

#include "lib/glib_ptr.h"

namespace Velkor {

namespace {

using SourcePtr = std::unique_ptr<GSettingsSchemaSource, GDeleter<g_settings_schema_source_unref>>;
using SchemaPtr = std::unique_ptr<GSettingsSchema, GDeleter<g_settings_schema_unref>>;
using KeyPtr = std::unique_ptr<GSettingsSchemaKey, GDeleter<g_settings_schema_key_unref>>;

// The value as "dconf load" reads it: without a type hint, so "4" is an int32 even for a
// key of type "u", and GSettings ignores it there.
GVariantPtr parse_untyped(std::string_view text) {
    const std::string copy(text);
    return GVariantPtr(g_variant_parse(nullptr, copy.c_str(), nullptr, nullptr, nullptr));
}

}  // namespace

struct SchemaSource::Impl {
    SourcePtr source;
    std::map<std::string, std::string, std::less<>> id_at_path;

    SchemaPtr lookup(std::string_view id) const {
        if (!source) return nullptr;
        return SchemaPtr(
            g_settings_schema_source_lookup(source.get(), std::string(id).c_str(), TRUE));
    }

    KeyPtr key(std::string_view id, std::string_view name) const {
        const SchemaPtr schema = lookup(id);
        const std::string key_name(name);
        if (!schema || !g_settings_schema_has_key(schema.get(), key_name.c_str())) return nullptr;
        return KeyPtr(g_settings_schema_get_key(schema.get(), key_name.c_str()));
    }
};

SchemaSource::SchemaSource(const std::vector<std::string>& dirs, std::vector<std::string>& problems)
    : impl_(std::make_unique<Impl>()) {
    for (const auto& dir : dirs) {
        const GCharPtr compiled(g_build_filename(dir.c_str(), "gschemas.compiled", nullptr));
        if (!g_file_test(compiled.get(), G_FILE_TEST_EXISTS)) continue;
        GError* raw = nullptr;
        // Not trusted: a damaged file in the home must give an error, not a crash.
        GSettingsSchemaSource* layered = g_settings_schema_source_new_from_directory(
            dir.c_str(), impl_->source.get(), FALSE, &raw);
        if (!layered) {
            problems.push_back(compiled.get() + std::string(": ") + GErrorPtr(raw)->message);
            continue;
        }
        impl_->source.reset(layered);
    }
    if (!impl_->source) return;
    gchar** raw_fixed = nullptr;
    gchar** raw_relocatable = nullptr;
    g_settings_schema_source_list_schemas(impl_->source.get(), TRUE, &raw_fixed, &raw_relocatable);
    const GStrvPtr fixed(raw_fixed);
    const GStrvPtr relocatable(raw_relocatable);
    for (gchar** id = fixed.get(); id && *id; ++id) {
        const SchemaPtr schema = impl_->lookup(*id);
        if (const char* path = schema ? g_settings_schema_get_path(schema.get()) : nullptr)
            impl_->id_at_path.emplace(path, *id);
    }
}

SchemaSource::~SchemaSource() = default;
SchemaSource::SchemaSource(SchemaSource&& other) noexcept = default;
SchemaSource& SchemaSource::operator=(SchemaSource&& other) noexcept = default;

std::optional<std::string> SchemaSource::schema_at(std::string_view folder) const {
    const auto found = impl_->id_at_path.find(folder);
    if (found == impl_->id_at_path.end()) return std::nullopt;
    return found->second;
}

std::optional<std::string> SchemaSource::schema_path(std::string_view id) const {
    const SchemaPtr schema = impl_->lookup(id);
    const char* path = schema ? g_settings_schema_get_path(schema.get()) : nullptr;
    if (!path) return std::nullopt;
    return std::string(path);
}

bool SchemaSource::has_schema(std::string_view id) const { return impl_->lookup(id) != nullptr; }

SchemaFit SchemaSource::fit(std::string_view id, std::string_view key,
                            std::string_view value) const {
    const KeyPtr schema_key = impl_->key(id, key);
    if (!schema_key) return SchemaFit::no_such_key;
    const GVariantPtr parsed = parse_untyped(value);
    if (!parsed ||
        !g_variant_is_of_type(parsed.get(), g_settings_schema_key_get_value_type(schema_key.get())))
        return SchemaFit::wrong_type;
    if (!g_settings_schema_key_range_check(schema_key.get(), parsed.get()))
        return SchemaFit::out_of_range;
    return SchemaFit::fits;
}

std::string SchemaSource::key_type(std::string_view id, std::string_view key) const {
    const KeyPtr schema_key = impl_->key(id, key);
    if (!schema_key) return "";
    return g_variant_type_peek_string(g_settings_schema_key_get_value_type(schema_key.get()));
}

std::vector<std::string> machine_schema_dirs() {
    std::vector<std::string> dirs;
    const auto add = [&dirs](const char* data_dir, bool below) {
        dirs.push_back(
            below ? GCharPtr(g_build_filename(data_dir, "glib-2.0", "schemas", nullptr)).get()
                  : data_dir);
    };
    const gchar* const* system_dirs = g_get_system_data_dirs();
    size_t count = 0;
    while (system_dirs[count]) ++count;
    while (count > 0) add(system_dirs[--count], true);
    add(g_get_user_data_dir(), true);
    if (const char* extra = g_getenv("GSETTINGS_SCHEMA_DIR")) {
        const GStrvPtr pieces(g_strsplit(extra, G_SEARCHPATH_SEPARATOR_S, 0));
        count = g_strv_length(pieces.get());
        while (count > 0) add(pieces.get()[--count], false);
    }
    return dirs;
}

bool variant_text_equal(std::string_view a, std::string_view b) {
    if (a == b) return true;
    const GVariantPtr first = parse_untyped(a);
    const GVariantPtr second = parse_untyped(b);
    return first && second && g_variant_equal(first.get(), second.get());
}

}  // namespace Velkor
