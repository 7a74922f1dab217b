#include "registry_settings.h"

#include "windows_api.h"

#include "wide_text.h"

namespace kiv {
namespace {

std::wstring sectionKey(const std::string& application, const std::string& section) {
  return toWide("Software\\" + application + "\\" + section);
}

}  // namespace

std::string readRegistrySetting(const std::string& application, const std::string& section,
                                const std::string& key) {
  const std::wstring path = sectionKey(application, section);
  const std::wstring name = toWide(key);
  DWORD size = 0;
  if (RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, nullptr,
                   &size) != ERROR_SUCCESS) {
    return "";
  }
  std::wstring value(size / sizeof(wchar_t), L'\0');
  if (RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr,
                   value.data(), &size) != ERROR_SUCCESS) {
    return "";
  }
  // The size counts bytes, the closing NUL among them.
  value.resize(size >= sizeof(wchar_t) ? size / sizeof(wchar_t) - 1 : 0);
  return fromWide(value);
}

void writeRegistrySetting(const std::string& application, const std::string& section,
                          const std::string& key, const std::string& value) {
  HKEY sectionHandle = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, sectionKey(application, section).c_str(), 0, nullptr,
                      REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &sectionHandle,
                      nullptr) != ERROR_SUCCESS) {
    return;
  }
  const std::wstring text = toWide(value);
  RegSetValueExW(sectionHandle, toWide(key).c_str(), 0, REG_SZ,
                 reinterpret_cast<const BYTE*>(text.c_str()),
                 static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(sectionHandle);
}

}  // namespace kiv
