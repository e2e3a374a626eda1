#pragma once
// Settings held in memory: section and key without regard to case, whatever the file.
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/settings.h"

namespace fakes {

struct SettingsRead {
    std::string section, key, file_path;
};

class FakeSettings : public platform::SettingsReader {
public:
    void set(const std::string& section, const std::string& key, const std::string& value);
    std::string read(const std::string& section, const std::string& key, platform::HeldFolder& folder,
                     const std::string& file_name) override;

    std::vector<SettingsRead> reads;  // every read, oldest first; file_path: the folder's path and the name

private:
    std::map<std::pair<std::string, std::string>, std::string> values_;  // keys in lower case
};

}  // namespace fakes
