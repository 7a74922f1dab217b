#include <gtest/gtest.h>

#include "registry_settings.h"
#include "windows_api.h"

namespace kiv {
namespace {

// Its own application name, so the program's stored defaults stay as they are.
constexpr const char* kApplication = "KivTest";

class RegistrySettings : public ::testing::Test {
 protected:
  void SetUp() override { RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\KivTest"); }
  void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\KivTest"); }
};

TEST_F(RegistrySettings, ReadBackWhatWasWritten) {
  writeRegistrySetting(kApplication, "FileLoc", "4", R"(C:\Program Files\Office\msaccess.exe)");
  EXPECT_EQ(readRegistrySetting(kApplication, "FileLoc", "4"),
            R"(C:\Program Files\Office\msaccess.exe)");
}

TEST_F(RegistrySettings, LiveUnderTheUsersSoftwareKeyAsText) {
  writeRegistrySetting(kApplication, "FileLoc", "5", R"(D:\data\orders.mdb)");
  char value[MAX_PATH] = {};
  DWORD size = sizeof value;
  DWORD type = 0;
  ASSERT_EQ(RegGetValueA(HKEY_CURRENT_USER, "Software\\KivTest\\FileLoc", "5", RRF_RT_ANY, &type,
                         value, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_STREQ(value, R"(D:\data\orders.mdb)");
}

TEST_F(RegistrySettings, ReadAnAbsentValueOrKeyAsTheEmptyText) {
  EXPECT_EQ(readRegistrySetting(kApplication, "FileLoc", "6"), "");
  writeRegistrySetting(kApplication, "FileLoc", "4", "x");
  EXPECT_EQ(readRegistrySetting(kApplication, "FileLoc", "6"), "");
}

TEST_F(RegistrySettings, KeepOneValuePerKeyAndReplaceIt) {
  writeRegistrySetting(kApplication, "FileLoc", "4", "first");
  writeRegistrySetting(kApplication, "FileLoc", "5", "other");
  writeRegistrySetting(kApplication, "FileLoc", "4", "second");
  EXPECT_EQ(readRegistrySetting(kApplication, "FileLoc", "4"), "second");
  EXPECT_EQ(readRegistrySetting(kApplication, "FileLoc", "5"), "other");
  writeRegistrySetting(kApplication, "FileLoc", "4", "");
  EXPECT_EQ(readRegistrySetting(kApplication, "FileLoc", "4"), "");
}

TEST_F(RegistrySettings, KeepEveryCharacter) {
  const std::string path =
      "C:\\Donn\xC3\xA9"
      "es\\\xCE\x94\xCE\xB2\xCE\xB3 \xF0\x9F\x98\x80.mdb";
  writeRegistrySetting(kApplication, "FileLoc", "5", path);
  EXPECT_EQ(readRegistrySetting(kApplication, "FileLoc", "5"), path);
}

}  // namespace
}  // namespace kiv
