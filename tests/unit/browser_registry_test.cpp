// Start page and proxy switch against the sandbox prefix's real registry, and
// the failures only the platform double can produce.
#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "browser/Proxy.h"
#include "browser/Registry.h"
#include "browser/StartPage.h"
#include "platform/FakePlatform.h"

namespace {

// ---- raw access to the real registry, for setting up and checking ----

struct TRawValue {
  DWORD Type = REG_NONE;
  std::string Data;
};

std::optional<TRawValue> RawRead(const char* key, const char* name) {
  HKEY handle = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS) return std::nullopt;
  TRawValue value;
  DWORD size = 0;
  LSTATUS status = RegQueryValueExA(handle, name, nullptr, &value.Type, nullptr, &size);
  if (status == ERROR_SUCCESS) {
    value.Data.resize(size);
    status = RegQueryValueExA(handle, name, nullptr, &value.Type, reinterpret_cast<BYTE*>(value.Data.data()), &size);
    value.Data.resize(size);
  }
  RegCloseKey(handle);
  if (status != ERROR_SUCCESS) return std::nullopt;
  return value;
}

void RawWrite(const char* key, const char* name, const std::optional<TRawValue>& value) {
  HKEY handle = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_SET_VALUE, &handle), ERROR_SUCCESS) << key;
  if (value)
    EXPECT_EQ(RegSetValueExA(handle, name, 0, value->Type, reinterpret_cast<const BYTE*>(value->Data.data()),
                             static_cast<DWORD>(value->Data.size())),
              ERROR_SUCCESS);
  else
    RegDeleteValueA(handle, name);
  RegCloseKey(handle);
}

bool KeyExists(const char* key) {
  HKEY handle = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS) return false;
  RegCloseKey(handle);
  return true;
}

std::string Dword(DWORD value) { return std::string(reinterpret_cast<const char*>(&value), sizeof value); }

// The double with the sandbox's real registry behind it: registry calls are
// recorded and passed on unless told to fail, WinINet calls only recorded.
class TRealRegistryPlatform : public TFakePlatform {
public:
  LSTATUS RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result) override {
    Record(std::string("RegOpenKeyExA(") + (key == HKEY_CURRENT_USER ? "HKCU" : "?") + ", " + subKey + ", " +
           std::to_string(options) + ", " + std::to_string(access) + ")");
    if (ShouldFail("RegOpenKeyExA")) return static_cast<LSTATUS>(FailureCode("RegOpenKeyExA"));
    LSTATUS status = ::RegOpenKeyExA(key, subKey, options, access, result);
    if (status == ERROR_SUCCESS) ++Open;
    return status;
  }
  LSTATUS RegQueryValueExA(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data,
                           LPDWORD size) override {
    Record(std::string("RegQueryValueExA(") + name + ")");
    if (ShouldFail("RegQueryValueExA")) return static_cast<LSTATUS>(FailureCode("RegQueryValueExA"));
    return ::RegQueryValueExA(key, name, reserved, type, data, size);
  }
  LSTATUS RegSetValueExA(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data,
                         DWORD size) override {
    Record(std::string("RegSetValueExA(") + name + ")");
    if (ShouldFail("RegSetValueExA")) return static_cast<LSTATUS>(FailureCode("RegSetValueExA"));
    return ::RegSetValueExA(key, name, reserved, type, data, size);
  }
  LSTATUS RegCloseKey(HKEY key) override {
    Record("RegCloseKey()");
    --Open;
    return ::RegCloseKey(key);
  }
  int Open = 0;  // keys opened and not closed
};

const std::string SettingsChanged = "InternetSetOptionA(null, 39, null, 0)";

// Every test leaves the three values as it found them.
class BrowserRegistry : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(KeyExists(StartPageKey));
    ASSERT_TRUE(KeyExists(InternetSettingsKey));
  }
  void TearDown() override {
    RawWrite(StartPageKey, StartPageValue, SavedStartPage);
    RawWrite(InternetSettingsKey, ProxyEnableValue, SavedProxyEnable);
    RawWrite(InternetSettingsKey, AutoConfigURLValue, SavedAutoConfig);
    EXPECT_EQ(Fake.Open, 0) << "a key was left open";
  }
  std::string ErrorOf(const std::function<void()>& action) {
    try {
      action();
    } catch (const ERegistryException& e) {
      return e.Message();
    }
    return "<none>";
  }

  std::optional<TRawValue> SavedStartPage = RawRead(StartPageKey, StartPageValue);
  std::optional<TRawValue> SavedProxyEnable = RawRead(InternetSettingsKey, ProxyEnableValue);
  std::optional<TRawValue> SavedAutoConfig = RawRead(InternetSettingsKey, AutoConfigURLValue);
  TRealRegistryPlatform Fake;
  TPlatformGuard Guard{Fake};
};

// One shape of a stored text value and what reading it gives.
struct TTextShape {
  const char* Name;
  std::optional<TRawValue> Stored;  // nothing: the value is missing
  std::string Text;                 // the result, or the error's message for AutoConfigURL
  bool Invalid = false;             // AutoConfigURL raises "Invalid data type"
};

std::vector<TTextShape> TextShapes() {
  return {
      {"missing value", std::nullopt, ""},
      {"size 0", TRawValue{REG_SZ, ""}, ""},
      {"empty string", TRawValue{REG_SZ, std::string(1, '\0')}, ""},
      {"plain", TRawValue{REG_SZ, std::string("http://example.org/\0", 20)}, "http://example.org/"},
      {"embedded NUL", TRawValue{REG_SZ, std::string("http://a/\0tail\0", 15)}, "http://a/"},
      {"no terminating NUL", TRawValue{REG_SZ, "http://b/"}, "http://b/"},
      {"expand string unexpanded", TRawValue{REG_EXPAND_SZ, std::string("%TEMP%\\x.htm\0", 13)}, "%TEMP%\\x.htm"},
      {"umlauts", TRawValue{REG_SZ, std::string("http://m\xFC\x6C\x6C.de/\0", 15)}, "http://m\xFC\x6C\x6C.de/"},
      {"64 KiB", TRawValue{REG_SZ, std::string(65536, 'x') + '\0'}, std::string(65536, 'x')},
      {"REG_DWORD", TRawValue{REG_DWORD, Dword(1)}, "", true},
      {"REG_BINARY", TRawValue{REG_BINARY, "abc"}, "", true},
      {"REG_MULTI_SZ", TRawValue{REG_MULTI_SZ, std::string("a\0b\0\0", 5)}, "", true},
  };
}

TEST_F(BrowserRegistry, StartPageReadsEveryShapeAndNeverFails) {
  for (const TTextShape& shape : TextShapes()) {
    SCOPED_TRACE(shape.Name);
    RawWrite(StartPageKey, StartPageValue, shape.Stored);
    EXPECT_EQ(GetStartPage(), shape.Text);  // a wrong type is the empty text, no error
  }
}

TEST_F(BrowserRegistry, AutoConfigURLReadsEveryShapeAndRaisesForAnotherType) {
  for (const TTextShape& shape : TextShapes()) {
    SCOPED_TRACE(shape.Name);
    RawWrite(InternetSettingsKey, AutoConfigURLValue, shape.Stored);
    if (shape.Invalid)
      EXPECT_EQ(ErrorOf([] { GetAutoConfigURL(); }), "Invalid data type for 'AutoConfigURL'");
    else
      EXPECT_EQ(GetAutoConfigURL(), shape.Text);
  }
}

TEST_F(BrowserRegistry, ProxyEnableReadsEveryShape) {
  struct TCase {
    const char* Name;
    std::optional<TRawValue> Stored;
    const char* Result;  // "on", "off" or the error's message
  } cases[] = {
      {"missing counts as off", std::nullopt, "off"},
      {"0", TRawValue{REG_DWORD, Dword(0)}, "off"},
      {"1", TRawValue{REG_DWORD, Dword(1)}, "on"},
      {"2", TRawValue{REG_DWORD, Dword(2)}, "on"},
      {"0x80000000", TRawValue{REG_DWORD, Dword(0x80000000)}, "on"},
      {"one-character REG_SZ", TRawValue{REG_SZ, std::string("1\0", 2)}, "Invalid data type for 'ProxyEnable'"},
      {"4 raw bytes", TRawValue{REG_BINARY, Dword(1)}, "Invalid data type for 'ProxyEnable'"},
      {"REG_SZ longer than 4 bytes", TRawValue{REG_SZ, std::string("1234\0", 5)}, "Failed to get data for 'ProxyEnable'"},
      {"8 raw bytes", TRawValue{REG_BINARY, Dword(1) + Dword(0)}, "Failed to get data for 'ProxyEnable'"},
      {"REG_QWORD", TRawValue{REG_QWORD, Dword(1) + Dword(0)}, "Failed to get data for 'ProxyEnable'"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    RawWrite(InternetSettingsKey, ProxyEnableValue, c.Stored);
    std::string result = "<none>";
    std::string error = ErrorOf([&] { result = IsProxyEnabled() ? "on" : "off"; });
    EXPECT_EQ(error == "<none>" ? result : error, c.Result);
  }
}

TEST_F(BrowserRegistry, WritesHaveTheExactTypeAndLengthAndAnnounceOnce) {
  struct TCase {
    const char* Name;
    std::function<void()> Write;
    const char* Key;
    const char* Value;
    TRawValue Expected;
    bool Announced;
  } cases[] = {
      {"start page", [] { SetStartPage("http://spurwisch.example/"); }, StartPageKey, StartPageValue,
       {REG_SZ, std::string("http://spurwisch.example/\0", 26)}, false},
      {"start page of blanks", [] { SetStartPage("   "); }, StartPageKey, StartPageValue,
       {REG_SZ, std::string("   \0", 4)}, false},
      {"start page with umlaut", [] { SetStartPage("http://\xE4.de"); }, StartPageKey, StartPageValue,
       {REG_SZ, std::string("http://\xE4.de\0", 12)}, false},
      {"proxy off", [] { DisableProxy(); }, InternetSettingsKey, ProxyEnableValue, {REG_DWORD, Dword(0)}, true},
      {"proxy on", [] { EnableProxy(); }, InternetSettingsKey, ProxyEnableValue, {REG_DWORD, Dword(1)}, true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    // Over a value of another type, which is replaced.
    RawWrite(c.Key, c.Value, TRawValue{REG_BINARY, "zz"});
    Fake.Calls.clear();
    c.Write();
    std::optional<TRawValue> stored = RawRead(c.Key, c.Value);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->Type, c.Expected.Type);
    EXPECT_EQ(stored->Data, c.Expected.Data);
    std::vector<std::string> expected = {"RegOpenKeyExA(HKCU, " + std::string(c.Key) + ", 0, 983103)",
                                         "RegSetValueExA(" + std::string(c.Value) + ")", "RegCloseKey()"};
    if (c.Announced) expected.push_back(SettingsChanged);  // after the key is closed
    EXPECT_EQ(Fake.Calls, expected);
  }
  // Read back through the program's own operations.
  EXPECT_EQ(GetStartPage(), "http://\xE4.de");
  EXPECT_TRUE(IsProxyEnabled());
}

TEST_F(BrowserRegistry, AFailedWriteRaisesChangesNothingAndAnnouncesNothing) {
  struct TCase {
    const char* Name;
    const char* FailingCall;
    std::function<void()> Write;
    const char* Key;
    const char* Value;
    const char* Message;
  } cases[] = {
      {"start page, open", "RegOpenKeyExA", [] { SetStartPage("http://x/"); }, StartPageKey, StartPageValue,
       "Failed to set data for 'Start Page'"},
      {"start page, write", "RegSetValueExA", [] { SetStartPage("http://x/"); }, StartPageKey, StartPageValue,
       "Failed to set data for 'Start Page'"},
      {"proxy off, open", "RegOpenKeyExA", [] { DisableProxy(); }, InternetSettingsKey, ProxyEnableValue,
       "Failed to set data for 'ProxyEnable'"},
      {"proxy off, write", "RegSetValueExA", [] { DisableProxy(); }, InternetSettingsKey, ProxyEnableValue,
       "Failed to set data for 'ProxyEnable'"},
      {"proxy on, write", "RegSetValueExA", [] { EnableProxy(); }, InternetSettingsKey, ProxyEnableValue,
       "Failed to set data for 'ProxyEnable'"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    RawWrite(c.Key, c.Value, TRawValue{REG_DWORD, Dword(7)});
    Fake.Calls.clear();
    Fake.Fail(c.FailingCall, 0, ERROR_ACCESS_DENIED);
    EXPECT_EQ(ErrorOf(c.Write), c.Message);
    Fake.StopFailing(c.FailingCall);
    EXPECT_TRUE(Fake.CallsOf("InternetSetOptionA").empty());
    std::optional<TRawValue> stored = RawRead(c.Key, c.Value);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->Data, Dword(7));
  }
}

TEST_F(BrowserRegistry, AMissingKeyIsNeverCreated) {
  const char* missing = "Software\\Spurwisch-Test\\Missing";
  ASSERT_FALSE(KeyExists("Software\\Spurwisch-Test"));
  TRegistryKey key(missing);
  EXPECT_FALSE(key.Opened());
  EXPECT_EQ(key.ReadString("Start Page"), "");
  EXPECT_FALSE(key.ReadBool(ProxyEnableValue).has_value());  // missing: no value, no error
  EXPECT_EQ(ErrorOf([&] { key.WriteString("Start Page", "http://x/"); }), "Failed to set data for 'Start Page'");
  EXPECT_EQ(ErrorOf([&] { key.WriteBool(ProxyEnableValue, true); }), "Failed to set data for 'ProxyEnable'");
  EXPECT_FALSE(KeyExists("Software\\Spurwisch-Test"));
  EXPECT_TRUE(Fake.CallsOf("RegCloseKey").empty());  // nothing was opened, nothing closed
}

// The program's operations over a scripted registry: what the real one
// cannot be made to do.
class BrowserRegistryFailures : public ::testing::Test {
protected:
  std::string ErrorOf(const std::function<void()>& action) {
    try {
      action();
    } catch (const ERegistryException& e) {
      return e.Message();
    }
    return "<none>";
  }
  TFakePlatform Fake;
  TPlatformGuard Guard{Fake};
};

TEST_F(BrowserRegistryFailures, MissingKeysGiveTheSpecifiedResults) {
  // No key at all in the scripted registry.
  EXPECT_EQ(GetStartPage(), "");
  EXPECT_EQ(GetAutoConfigURL(), "");
  EXPECT_FALSE(IsProxyEnabled());
  EXPECT_EQ(ErrorOf([] { SetStartPage("http://x/"); }), "Failed to set data for 'Start Page'");
  EXPECT_EQ(ErrorOf([] { EnableProxy(); }), "Failed to set data for 'ProxyEnable'");
  EXPECT_TRUE(Fake.CallsOf("InternetSetOptionA").empty());
  EXPECT_TRUE(Fake.Registry.empty());  // no key created
  EXPECT_EQ(Fake.CallsOf("RegOpenKeyExA")[0],
            "RegOpenKeyExA(HKCU, Software\\Microsoft\\Internet Explorer\\Main, 0, 0xF003F)");
}

TEST_F(BrowserRegistryFailures, ReadFailuresAfterTheSizeQuestion) {
  Fake.Registry[StartPageKey][StartPageValue] = {REG_SZ, std::string("http://a/\0", 10)};
  Fake.Registry[InternetSettingsKey][AutoConfigURLValue] = {REG_SZ, std::string("http://pac/\0", 12)};
  Fake.Registry[InternetSettingsKey][ProxyEnableValue] = {REG_DWORD, Dword(1)};
  // The size question succeeds, the read fails.
  Fake.Fail("RegQueryValueExA", 1, ERROR_ACCESS_DENIED);
  EXPECT_EQ(GetStartPage(), "");
  Fake.Fail("RegQueryValueExA", 1, ERROR_ACCESS_DENIED);
  EXPECT_EQ(ErrorOf([] { GetAutoConfigURL(); }), "Failed to get data for 'AutoConfigURL'");
  // A value that grew between the two questions does not overrun the buffer.
  struct TGrowing : TFakePlatform {
    LSTATUS RegQueryValueExA(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data,
                             LPDWORD size) override {
      if (data) Registry[InternetSettingsKey][AutoConfigURLValue].Data = std::string(4096, 'y');
      return TFakePlatform::RegQueryValueExA(key, name, reserved, type, data, size);
    }
  } growing;
  growing.Registry = Fake.Registry;
  {
    TPlatformGuard guard(growing);
    EXPECT_EQ(ErrorOf([] { GetAutoConfigURL(); }), "Failed to get data for 'AutoConfigURL'");
    EXPECT_EQ(growing.OpenHandles(), 0);
  }
  // An open that fails for another reason than a missing key is an error.
  Fake.StopFailing("RegQueryValueExA");
  Fake.Fail("RegOpenKeyExA", 0, ERROR_ACCESS_DENIED);
  EXPECT_EQ(ErrorOf([] { IsProxyEnabled(); }), "Failed to get data for 'ProxyEnable'");
  Fake.StopFailing("RegOpenKeyExA");
  Fake.Fail("RegQueryValueExA", 0, ERROR_ACCESS_DENIED);
  EXPECT_EQ(ErrorOf([] { IsProxyEnabled(); }), "Failed to get data for 'ProxyEnable'");
  EXPECT_EQ(Fake.OpenHandles(), 0);  // every opened key was closed
}

}  // namespace
