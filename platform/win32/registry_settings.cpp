#include "registry_settings.h"

#include "windows_api.h"

#include "ansi_text.h"

namespace kiv {
namespace {

std::string sectionKey(const std::string& application, const std::string& section) {
  return toAnsi("Software\\" + application + "\\" + section);
}

}  // namespace

std::string readRegistrySetting(const std::string& application, const std::string& section,
                                const std::string& key) {
  const std::string path = sectionKey(application, section);
  const std::string name = toAnsi(key);
  DWORD size = 0;
  if (RegGetValueA(HKEY_CURRENT_USER, path.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, nullptr,
                   &size) != ERROR_SUCCESS) {
    return "";
  }
  std::string value(size, '\0');
  if (RegGetValueA(HKEY_CURRENT_USER, path.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr,
                   value.data(), &size) != ERROR_SUCCESS) {
    return "";
  }
  // The size counts the closing NUL.
  value.resize(size > 0 ? size - 1 : 0);
  return fromAnsi(value);
}

void writeRegistrySetting(const std::string& application, const std::string& section,
                          const std::string& key, const std::string& value) {
  HKEY sectionHandle = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, sectionKey(application, section).c_str(), 0, nullptr,
                      REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &sectionHandle,
                      nullptr) != ERROR_SUCCESS) {
    return;
  }
  const std::string text = toAnsi(value);
  RegSetValueExA(sectionHandle, toAnsi(key).c_str(), 0, REG_SZ,
                 reinterpret_cast<const BYTE*>(text.c_str()), static_cast<DWORD>(text.size() + 1));
  RegCloseKey(sectionHandle);
}

}  // namespace kiv
