#include "support/fake_settings.h"

#include <algorithm>

namespace fakes {

namespace {
std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) {
        return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : static_cast<char>(c);
    });
    return s;
}
}  // namespace

void FakeSettings::set(const std::string& section, const std::string& key, const std::string& value) {
    values_[{lower(section), lower(key)}] = value;
}

std::string FakeSettings::read(const std::string& section, const std::string& key, platform::HeldFolder& folder,
                               const std::string& file_name) {
    reads.push_back({section, key, folder.path() + file_name});
    auto it = values_.find({lower(section), lower(key)});
    return it == values_.end() ? std::string() : it->second;
}

}  // namespace fakes
