// Comparing two configuration values through their text form's entries.
#include "config/ConfigDiff.h"

#include <map>

#include "config/ConfigText.h"

namespace zorvik {

std::vector<Difference> Differences(const Configuration& a, const Configuration& b) {
    const std::vector<ConfigEntry> left = ConfigEntries(a);
    const std::vector<ConfigEntry> right = ConfigEntries(b);
    std::map<std::string, std::string> rightValues;
    for (const ConfigEntry& entry : right) {
        rightValues[entry.key] = entry.value;
    }
    const auto absent = [](const std::string& key) {
        return key.starts_with("reserved.") ? std::string("0x00") : std::string();
    };
    std::vector<Difference> differences;
    std::map<std::string, bool> seen;
    for (const ConfigEntry& entry : left) {
        seen[entry.key] = true;
        const auto found = rightValues.find(entry.key);
        const std::string other = found == rightValues.end() ? absent(entry.key) : found->second;
        if (other != entry.value) {
            differences.push_back({entry.key, entry.value, other});
        }
    }
    for (const ConfigEntry& entry : right) {
        if (!seen.contains(entry.key) && entry.value != absent(entry.key)) {
            differences.push_back({entry.key, absent(entry.key), entry.value});
        }
    }
    return differences;
}

}  // namespace zorvik
