// Start page and proxy switch against the sandbox prefix's real registry, and
// what only the platform double can produce: failures, the WinINet call.
#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "browser/Proxy.h"
#include "browser/Registry.h"
#include "browser/StartPage.h"
#include "tests/support/FakePlatform.h"

namespace {

struct TRaw {
  DWORD Type = REG_NONE;
  std::string Data;
};

std::optional<TRaw> RawRead(const char* key, const char* name) {
  HKEY handle = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS) return std::nullopt;
  TRaw value;
  DWORD size = 0;
  LSTATUS status = RegQueryValueExA(handle, name, nullptr, &value.Type, nullptr, &size);
  value.Data.resize(size);
  if (status == ERROR_SUCCESS)
    status = RegQueryValueExA(handle, name, nullptr, &value.Type, reinterpret_cast<BYTE*>(value.Data.data()), &size);
  RegCloseKey(handle);
  if (status != ERROR_SUCCESS) return std::nullopt;
  value.Data.resize(size);
  return value;
}

// Writes exactly the bytes given: a non-NUL byte follows them, so the
// system's "forgotten NUL" rule cannot add one.
void RawWrite(const char* key, const char* name, const std::optional<TRaw>& value) {
  HKEY handle = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_SET_VALUE, &handle), ERROR_SUCCESS) << key;
  std::string bytes = value ? value->Data + 'X' : "";
  if (value)
    RegSetValueExA(handle, name, 0, value->Type, reinterpret_cast<const BYTE*>(bytes.data()),
                   static_cast<DWORD>(value->Data.size()));
  else
    RegDeleteValueA(handle, name);
  RegCloseKey(handle);
}

std::string Dword(DWORD value) { return std::string(reinterpret_cast<const char*>(&value), sizeof value); }

std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const ERegistryException& e) {
    return e.Message();
  }
  return "<none>";
}

// Leaves the three values as it found them.
class BrowserRegistry : public ::testing::Test {
protected:
  void TearDown() override {
    RawWrite(StartPageKey, StartPageValue, SavedStartPage);
    RawWrite(InternetSettingsKey, ProxyEnableValue, SavedProxyEnable);
    RawWrite(InternetSettingsKey, AutoConfigURLValue, SavedAutoConfig);
  }
  std::optional<TRaw> SavedStartPage = RawRead(StartPageKey, StartPageValue);
  std::optional<TRaw> SavedProxyEnable = RawRead(InternetSettingsKey, ProxyEnableValue);
  std::optional<TRaw> SavedAutoConfig = RawRead(InternetSettingsKey, AutoConfigURLValue);
};

TEST_F(BrowserRegistry, TextValuesOfEveryShape) {
  struct TCase {
    const char* Name;
    std::optional<TRaw> Stored;  // nothing: the value is missing
    std::string Text;            // for another type: the start page is empty, AutoConfigURL raises
    bool OtherType = false;
  } cases[] = {
      {"missing value", std::nullopt, ""},
      {"size 0", TRaw{REG_SZ, ""}, ""},
      {"empty string", TRaw{REG_SZ, std::string(1, '\0')}, ""},
      {"embedded NUL", TRaw{REG_SZ, std::string("http://a/\0tail\0", 15)}, "http://a/"},
      {"no terminating NUL", TRaw{REG_SZ, "http://b/"}, "http://b/"},
      {"expand string, unexpanded", TRaw{REG_EXPAND_SZ, std::string("%TEMP%\\x\0", 9)}, "%TEMP%\\x"},
      {"64 KiB", TRaw{REG_SZ, std::string(65536, 'x') + '\0'}, std::string(65536, 'x')},
      {"REG_DWORD", TRaw{REG_DWORD, Dword(1)}, "", true},
      {"REG_BINARY", TRaw{REG_BINARY, "abc"}, "", true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    RawWrite(StartPageKey, StartPageValue, c.Stored);
    EXPECT_EQ(GetStartPage(), c.Text);
    RawWrite(InternetSettingsKey, AutoConfigURLValue, c.Stored);
    EXPECT_EQ(ErrorOf([&] { EXPECT_EQ(GetAutoConfigURL(), c.Text); }),
              c.OtherType ? "Invalid data type for 'AutoConfigURL'" : "<none>");
  }
}

TEST_F(BrowserRegistry, ProxyEnableOfEveryShape) {
  struct TCase {
    std::optional<TRaw> Stored;
    const char* Result;  // "on", "off" or the error's message
  } cases[] = {
      {std::nullopt, "off"},  // missing counts as off
      {TRaw{REG_DWORD, Dword(0)}, "off"},
      {TRaw{REG_DWORD, Dword(1)}, "on"},
      {TRaw{REG_DWORD, Dword(2)}, "on"},
      {TRaw{REG_SZ, std::string("1\0", 2)}, "Invalid data type for 'ProxyEnable'"},
      {TRaw{REG_BINARY, Dword(1)}, "Invalid data type for 'ProxyEnable'"},
      {TRaw{REG_SZ, std::string("1234\0", 5)}, "Failed to get data for 'ProxyEnable'"},
      {TRaw{REG_QWORD, Dword(1) + Dword(0)}, "Failed to get data for 'ProxyEnable'"},
  };
  for (const TCase& c : cases) {
    RawWrite(InternetSettingsKey, ProxyEnableValue, c.Stored);
    std::string result;
    std::string error = ErrorOf([&] { result = IsProxyEnabled() ? "on" : "off"; });
    EXPECT_EQ(error == "<none>" ? result : error, c.Result) << (c.Stored ? c.Stored->Type : 0);
  }
}

TEST_F(BrowserRegistry, WritesHaveTheExactTypeAndLength) {
  struct TCase {
    std::function<void()> Write;
    const char *Key, *Value;
    TRaw Expected;
  } cases[] = {
      {[] { SetStartPage("http://spurwisch.example/"); }, StartPageKey, StartPageValue,
       {REG_SZ, std::string("http://spurwisch.example/\0", 26)}},
      {[] { SetStartPage("\xE4 "); }, StartPageKey, StartPageValue, {REG_SZ, std::string("\xE4 \0", 3)}},
      {[] { DisableProxy(); }, InternetSettingsKey, ProxyEnableValue, {REG_DWORD, Dword(0)}},
      {[] { EnableProxy(); }, InternetSettingsKey, ProxyEnableValue, {REG_DWORD, Dword(1)}},
  };
  for (const TCase& c : cases) {
    RawWrite(c.Key, c.Value, TRaw{REG_BINARY, "zz"});  // replaced, whatever it was
    c.Write();
    std::optional<TRaw> stored = RawRead(c.Key, c.Value);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->Type, c.Expected.Type);
    EXPECT_EQ(stored->Data, c.Expected.Data);
  }
}

TEST_F(BrowserRegistry, AMissingKeyIsNeverCreated) {
  TRegistryKey key("Software\\Spurwisch-Test\\Missing");
  EXPECT_FALSE(key.Opened());
  EXPECT_EQ(key.ReadString("Start Page"), "");
  EXPECT_FALSE(key.ReadBool(ProxyEnableValue).has_value());
  EXPECT_EQ(ErrorOf([&] { key.WriteString("Start Page", "x"); }), "Failed to set data for 'Start Page'");
  EXPECT_EQ(ErrorOf([&] { key.WriteBool(ProxyEnableValue, true); }), "Failed to set data for 'ProxyEnable'");
  HKEY created = nullptr;
  EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Spurwisch-Test", 0, KEY_READ, &created), ERROR_FILE_NOT_FOUND);
  if (created) RegCloseKey(created);
}

// The operations over the double's scripted registry.
class BrowserRegistryCalls : public ::testing::Test {
protected:
  TFakePlatform Fake;
  TPlatformGuard Guard{Fake};
};

TEST_F(BrowserRegistryCalls, ProxyWritesAnnounceOnceAfterSuccessAndNeverAfterFailure) {
  Fake.Registry[InternetSettingsKey] = {};
  Fake.Registry[StartPageKey] = {};
  EnableProxy();
  std::vector<std::string> expected = {
      "RegOpenKeyExA(HKCU, Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings, 0, 0xF003F)",
      "RegSetValueExA(Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings, ProxyEnable, 4, 4)",
      "RegCloseKey(Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings)",
      "InternetSetOptionA(null, 39, null, 0)"};
  EXPECT_EQ(Fake.Calls, expected);
  for (const char* failing : {"RegOpenKeyExA", "RegSetValueExA"}) {
    Fake.Calls.clear();
    Fake.Fail(failing);
    EXPECT_EQ(ErrorOf([] { DisableProxy(); }), "Failed to set data for 'ProxyEnable'") << failing;
    EXPECT_EQ(ErrorOf([] { SetStartPage("x"); }), "Failed to set data for 'Start Page'") << failing;
    Fake.StopFailing(failing);
    EXPECT_TRUE(Fake.CallsOf("InternetSetOptionA").empty()) << failing;
  }
  EXPECT_EQ(Fake.Registry[InternetSettingsKey][ProxyEnableValue].Data, Dword(1));
  EXPECT_TRUE(Fake.Registry[StartPageKey].empty());
  EXPECT_EQ(Fake.OpenHandles(), 0);
}

TEST_F(BrowserRegistryCalls, MissingKeysAndFailedReads) {
  EXPECT_EQ(GetStartPage(), "");
  EXPECT_EQ(GetAutoConfigURL(), "");
  EXPECT_FALSE(IsProxyEnabled());
  EXPECT_EQ(ErrorOf([] { SetStartPage("x"); }), "Failed to set data for 'Start Page'");
  EXPECT_TRUE(Fake.Registry.empty()) << "no key created";

  Fake.Registry[StartPageKey][StartPageValue] = {REG_SZ, std::string("http://a/\0", 10)};
  Fake.Registry[InternetSettingsKey][AutoConfigURLValue] = {REG_SZ, std::string("http://pac/\0", 12)};
  Fake.Registry[InternetSettingsKey][ProxyEnableValue] = {REG_DWORD, Dword(1)};
  Fake.Fail("RegQueryValueExA", 1);  // the size question succeeds, the read fails
  EXPECT_EQ(GetStartPage(), "");
  Fake.Fail("RegQueryValueExA", 1);
  EXPECT_EQ(ErrorOf([] { GetAutoConfigURL(); }), "Failed to get data for 'AutoConfigURL'");
  Fake.StopFailing("RegQueryValueExA");
  Fake.Fail("RegOpenKeyExA", 0, ERROR_ACCESS_DENIED);  // not missing: an error
  EXPECT_EQ(ErrorOf([] { IsProxyEnabled(); }), "Failed to get data for 'ProxyEnable'");
  EXPECT_EQ(Fake.OpenHandles(), 0);
}

// Found by fuzzing: a REG_DWORD shorter than 4 bytes was read as 4, so the
// bytes past the reported size (guard bytes in the double) decided the flag.
TEST_F(BrowserRegistryCalls, AShortProxyEnableCountsOnlyItsOwnBytes) {
  const std::pair<std::string, bool> cases[] = {
      {"", false}, {std::string(2, '\0'), false}, {std::string("\0\x01", 2), true}, {std::string(3, '\0'), false}};
  for (const auto& [data, on] : cases) {
    Fake.Registry[InternetSettingsKey][ProxyEnableValue] = {REG_DWORD, data};
    EXPECT_EQ(IsProxyEnabled(), on) << data.size() << " bytes";
  }
}

}  // namespace
