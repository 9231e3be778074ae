#include "core/settings_state.h"

#include <map>

#include "core/backup_data.h"
#include "core/system.h"

namespace {

using Values = std::map<std::string, std::string>;

// The value each key has after `payloads` are loaded in order.
template <class Payloads>
Values last_values(const Payloads& payloads) {
    Values values;
    for (const auto& payload : payloads) {
        for (auto& [key, value] : dconf_payload_values(payload)) values[key] = std::move(value);
    }
    return values;
}

Values plan;

}  // namespace

void settings_plan_set(const std::vector<std::string>& payloads) { plan = last_values(payloads); }

bool settings_in_place(const std::vector<std::string_view>& payloads) {
    std::vector<std::pair<std::string, std::string>> wanted;
    std::vector<std::string> keys;
    std::string all;
    for (const auto& [key, value] : last_values(payloads)) {
        const auto planned = plan.find(key);
        wanted.emplace_back(key, planned == plan.end() ? value : planned->second);
        keys.push_back(key);
    }
    for (const auto payload : payloads) all += payload;
    return settings_change_lines(wanted, dconf_read_values(keys, all)).empty();
}

bool settings_in_place(std::string_view payload) {
    return settings_in_place(std::vector<std::string_view>{payload});
}
