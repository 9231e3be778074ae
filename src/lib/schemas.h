// The GSettings schemas a machine has installed, read through GIO: which schema owns a settings
// folder and whether a value fits one of its keys.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Velkor {

/// What a schema says of a value for one of its keys.
enum class SchemaFit {
    fits,
    no_such_key,
    /// The value, read as "dconf load" reads it (GVariant text without a type hint), has
    /// another type than the key's, or does not read at all.
    wrong_type,
    /// Outside the key's range or choices.
    out_of_range,
};

/// The schemas compiled in a list of folders, each holding a "gschemas.compiled"; a later
/// folder's schema hides an earlier one of the same id, as GIO layers the machine's folders.
/// Read once when made: schemas compiled afterwards need a new object. Move-only.
class SchemaSource {
   public:
    /// Reads `dirs` (lowest first). A folder without "gschemas.compiled" is skipped; one whose
    /// file cannot be read is skipped with a line in `problems`.
    SchemaSource(const std::vector<std::string>& dirs, std::vector<std::string>& problems);
    ~SchemaSource();
    SchemaSource(SchemaSource&& other) noexcept;
    SchemaSource& operator=(SchemaSource&& other) noexcept;
    SchemaSource(const SchemaSource&) = delete;
    SchemaSource& operator=(const SchemaSource&) = delete;

    /// The id of the schema fixed at `folder` ("/org/gnome/x/"); nullopt when none is.
    std::optional<std::string> schema_at(std::string_view folder) const;
    /// The folder of schema `id`; nullopt for an unknown or relocatable schema.
    std::optional<std::string> schema_path(std::string_view id) const;
    bool has_schema(std::string_view id) const;
    /// Whether `value` fits key `key` of schema `id` (which must exist).
    SchemaFit fit(std::string_view id, std::string_view key, std::string_view value) const;
    /// The GVariant type string of key `key` of schema `id`; "" when there is no such key.
    std::string key_type(std::string_view id, std::string_view key) const;

   private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

/// The folders GIO reads the machine's schemas from, lowest first: "glib-2.0/schemas" below
/// each system data folder (XDG_DATA_DIRS, last first), below the user's data folder, then each
/// folder of GSETTINGS_SCHEMA_DIR (last first).
std::vector<std::string> machine_schema_dirs();

/// True when GVariant texts `a` and `b` read as the same value ("0.9" and
/// "0.90000000000000002"); texts that do not read are compared as they stand.
bool variant_text_equal(std::string_view a, std::string_view b);

}  // namespace Velkor
