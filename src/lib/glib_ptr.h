// Owning wrappers for GLib resources. Include only from .cc files.
#pragma once

#include <glib-object.h>
#include <glib.h>

#include <memory>

namespace Velkor {

template <auto Free>
struct GDeleter {
    template <class T>
    void operator()(T* p) const {
        Free(p);
    }
};

using GCharPtr = std::unique_ptr<gchar, GDeleter<g_free>>;
using GStrvPtr = std::unique_ptr<gchar*, GDeleter<g_strfreev>>;
using GErrorPtr = std::unique_ptr<GError, GDeleter<g_error_free>>;
using GRegexPtr = std::unique_ptr<GRegex, GDeleter<g_regex_unref>>;
using GMatchInfoPtr = std::unique_ptr<GMatchInfo, GDeleter<g_match_info_free>>;
using GDateTimePtr = std::unique_ptr<GDateTime, GDeleter<g_date_time_unref>>;
using GRandPtr = std::unique_ptr<GRand, GDeleter<g_rand_free>>;
using GVariantPtr = std::unique_ptr<GVariant, GDeleter<g_variant_unref>>;
template <class T>
using GObjectPtr = std::unique_ptr<T, GDeleter<g_object_unref>>;

}  // namespace Velkor
