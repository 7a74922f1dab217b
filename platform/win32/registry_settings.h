#pragma once

#include <string>

namespace kiv {

// The per-user settings store: the registry under HKEY_CURRENT_USER, a value
// `key` in the key Software\<application>\<section>, as text (REG_SZ).
// A value that is not there reads as the empty text.
std::string readRegistrySetting(const std::string& application, const std::string& section,
                                const std::string& key);
// Creates the key when it is not there yet.
void writeRegistrySetting(const std::string& application, const std::string& section,
                          const std::string& key, const std::string& value);

}  // namespace kiv
