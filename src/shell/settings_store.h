#pragma once

#include <string>

namespace kiv {

// The per-user settings store; an absent key reads as the empty text.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  virtual std::string readSetting(const std::string& application, const std::string& section,
                                  const std::string& key) = 0;
  virtual void writeSetting(const std::string& application, const std::string& section,
                            const std::string& key, const std::string& value) = 0;
};

}  // namespace kiv
