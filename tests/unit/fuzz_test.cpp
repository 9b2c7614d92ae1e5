// Generated bad input with fixed seeds: the settings reader, the registry
// readers and the menu's access keys and separators. CI runs a short form;
// SPW_FUZZ_ITERATIONS=10000 runs the full one (and settings files up to 1 MiB).
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <optional>
#include <random>
#include <set>

#include "app/Settings.h"
#include "browser/Proxy.h"
#include "browser/Registry.h"
#include "browser/StartPage.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/app_support.h"
#include "ui/MenuKeys.h"

namespace {

int Iterations(int ciDefault) {
  const char* value = std::getenv("SPW_FUZZ_ITERATIONS");
  int n = value ? std::atoi(value) : 0;
  return n > 0 ? n : ciDefault;
}

bool FullRun() { return Iterations(0) >= 10000; }

using TRandom = std::mt19937;

std::size_t Below(TRandom& random, std::size_t n) { return n ? random() % n : 0; }

// ---- settings file ----

// Text of a settings file: digits, blanks, NULs, every line end, long and
// missing lines, random bytes; up to MAXSIZE bytes.
std::string SettingsFile(TRandom& random, std::size_t maxSize) {
  std::string text;
  std::size_t size = Below(random, 8) == 0 ? Below(random, maxSize + 1) : Below(random, 64);
  static const std::string_view pieces[] = {"1", "0", "\r\n", "\n", "\r", " ", std::string_view("\0", 1), "10", "01"};
  while (text.size() < size) {
    switch (Below(random, 4)) {
      case 0: text += static_cast<char>(random()); break;
      case 1: text += pieces[Below(random, std::size(pieces))]; break;
      case 2: text.append(Below(random, 2) ? Below(random, 600) : Below(random, 5), "1x\0\r"[Below(random, 4)]); break;
      default: text += Below(random, 2) ? "1\r\n" : "0\n"; break;
    }
  }
  text.resize(size);
  return text;
}

// What the rules give: line N (ending at LF) is on when its first byte is
// "1"; a line that is empty or missing is off.
std::string Expected(const std::string& text, std::size_t& fifthLineEnd) {
  std::string flags;
  std::size_t start = 0;
  fifthLineEnd = std::string::npos;
  for (int line = 0; line < SettingsLineCount; ++line) {
    flags += start < text.size() && text[start] == '1' ? '1' : '0';
    std::size_t end = start < text.size() ? text.find('\n', start) : std::string::npos;
    if (end == std::string::npos) {
      start = text.size();
      continue;
    }
    start = end + 1;
    if (line == SettingsLineCount - 1) fifthLineEnd = start;
  }
  return flags;
}

std::string Flags(const TOptions& o) {
  std::string s;
  for (bool on : {o.RecycleBin, o.TempFolder, o.Documents, o.StartMinimized, o.AutoStart}) s += on ? '1' : '0';
  return s;
}

TEST(Fuzz, SettingsReaderFollowsTheRulesAndStopsAtTheFifthLineEnd) {
  TRandom random(1208);
  int n = Iterations(2000);
  std::size_t maxSize = FullRun() ? 1024 * 1024 : 64 * 1024;
  std::string folder = app_support::Sandbox("fuzz-settings");
  for (int i = 0; i < n; ++i) {
    std::string text = SettingsFile(random, maxSize);
    std::size_t fifthLineEnd;
    std::string expected = Expected(text, fifthLineEnd);

    // Fed in pieces of random size: the reader must ask for no piece after
    // the one holding the fifth line's end.
    TOptions options;
    TSettingsReader reader(options);
    std::size_t fed = 0, before = 0;
    bool more = true;
    while (more && fed < text.size()) {
      std::size_t piece = 1 + Below(random, Below(random, 2) ? 16 : 8192);
      piece = std::min(piece, text.size() - fed);
      more = reader.Feed(std::string_view(text).substr(fed, piece));
      before = fed;
      fed += piece;
    }
    if (more) reader.Finish();
    ASSERT_EQ(Flags(options), expected) << "case " << i << ", " << text.size() << " bytes";
    if (fifthLineEnd == std::string::npos) {
      ASSERT_TRUE(more) << "case " << i << ": stopped before the fifth line ended";
    } else {
      // The piece that held the end was the last one asked for.
      ASSERT_FALSE(more) << "case " << i;
      ASSERT_TRUE(before < fifthLineEnd && fifthLineEnd <= fed) << "case " << i;
    }

    // Some of them through the real file.
    if (i % 40 == 0) {
      std::string path = folder + "spurwisch.cfg";
      app_support::WriteFileBytes(path, text);
      TOptions fromFile;
      ReadSettingsFile(Utf16(path), fromFile);
      ASSERT_EQ(Flags(fromFile), expected) << "file case " << i;
    }
  }
}

// ---- registry readers ----

const DWORD Types[] = {REG_NONE, REG_SZ, REG_EXPAND_SZ, REG_BINARY, REG_DWORD, REG_DWORD_BIG_ENDIAN,
                       REG_LINK, REG_MULTI_SZ, REG_QWORD, 0x12345678};

TFakePlatform::TRegValue RegValue(TRandom& random) {
  TFakePlatform::TRegValue value;
  value.Type = Types[Below(random, std::size(Types))];
  std::size_t size;
  switch (Below(random, 5)) {
    case 0: size = Below(random, 9); break;
    case 1: size = 4; break;
    case 2: size = Below(random, 300); break;
    case 3: size = Below(random, 70000); break;
    default: size = Below(random, 40); break;
  }
  value.Data.resize(size);
  for (char& c : value.Data) c = Below(random, 8) == 0 ? '\0' : static_cast<char>(random());
  if (size && Below(random, 2)) value.Data.back() = '\0';
  return value;
}

// The double, with a value that may change between a reader's size question
// and its read, as another program writing the registry could make it.
class TRacingRegistry : public TFakePlatform {
public:
  std::optional<TRegValue> Later;  // replaces the value after the first question
  int Queries = 0;
  LSTATUS RegQueryValueExA(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data,
                           LPDWORD size) override {
    LSTATUS status = TFakePlatform::RegQueryValueExA(key, name, reserved, type, data, size);
    if (++Queries == 1 && Later) {
      for (auto& [path, values] : Registry)
        if (values.count(name)) values[name] = *Later;
    }
    return status;
  }
};

std::string TextUpToNul(const std::string& data) { return data.substr(0, data.find('\0')); }

bool IsText(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ; }

std::string Outcome(const std::function<std::string()>& read) {
  try {
    return "text:" + read();
  } catch (const ERegistryException& e) {
    return "error:" + e.Message();
  }
}

// What the readers must give for a value read with the two-call protocol:
// FIRST is the value at the size question, SECOND the one at the read.
std::string ExpectedText(const TFakePlatform::TRegValue& first, const TFakePlatform::TRegValue& second,
                         const std::string& name) {
  if (first.Data.empty()) return "text:";
  if (second.Data.size() > first.Data.size()) return "error:Failed to get data for '" + name + "'";
  if (!IsText(second.Type)) return "error:Invalid data type for '" + name + "'";
  return "text:" + TextUpToNul(second.Data);
}

std::string ExpectedFlag(const TFakePlatform::TRegValue& value) {
  if (value.Data.size() > 4) return "error:Failed to get data for 'ProxyEnable'";
  if (value.Type != REG_DWORD) return "error:Invalid data type for 'ProxyEnable'";
  DWORD number = 0;
  std::memcpy(&number, value.Data.data(), value.Data.size());
  return number ? "text:on" : "text:off";
}

TEST(Fuzz, RegistryReadersThroughTheDoubleGiveTheTextOrTheError) {
  TRandom random(3110);
  int n = Iterations(2000);
  for (int i = 0; i < n; ++i) {
    TRacingRegistry fake;
    TPlatformGuard guard(fake);
    TFakePlatform::TRegValue value = RegValue(random), later = value;
    if (Below(random, 4) == 0) fake.Later = later = RegValue(random);
    fake.Registry[StartPageKey][StartPageValue] = value;
    fake.Registry[InternetSettingsKey][AutoConfigURLValue] = value;
    fake.Registry[InternetSettingsKey][ProxyEnableValue] = value;
    std::string expected = ExpectedText(value, later, AutoConfigURLValue);

    fake.Queries = 0;
    ASSERT_EQ(Outcome(GetAutoConfigURL), expected) << "case " << i;
    fake.Queries = 0;
    fake.Registry[StartPageKey][StartPageValue] = value;
    std::string page = expected.rfind("text:", 0) == 0 ? expected : "text:";
    ASSERT_EQ(Outcome(GetStartPage), page) << "case " << i;
    fake.Later.reset();
    ASSERT_EQ(Outcome([] { return std::string(IsProxyEnabled() ? "on" : "off"); }), ExpectedFlag(value))
        << "case " << i;
    ASSERT_EQ(fake.OpenHandles(), 0) << "case " << i << ": a key stayed open";
  }
}

// The same readers against the sandbox prefix's own registry, which converts
// text between code pages: the expected text is what the system reports to a
// plain two-call read of the value.
std::optional<std::string> SystemValue(const char* key, const char* name, DWORD& type) {
  HKEY handle = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS) return std::nullopt;
  DWORD size = 0;
  std::string data;
  LSTATUS status = RegQueryValueExA(handle, name, nullptr, &type, nullptr, &size);
  data.resize(size);
  if (status == ERROR_SUCCESS && size)
    status = RegQueryValueExA(handle, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
  RegCloseKey(handle);
  if (status != ERROR_SUCCESS) return std::nullopt;
  data.resize(size);
  return data;
}

void SetSystemValue(const char* key, const char* name, const std::optional<std::pair<DWORD, std::string>>& value) {
  HKEY handle = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_SET_VALUE, &handle) != ERROR_SUCCESS) return;
  if (value)
    RegSetValueExA(handle, name, 0, value->first, reinterpret_cast<const BYTE*>(value->second.data()),
                   static_cast<DWORD>(value->second.size()));
  else
    RegDeleteValueA(handle, name);
  RegCloseKey(handle);
}

TEST(Fuzz, RegistryReadersAgainstTheSandboxRegistry) {
  auto saved = [](const char* key, const char* name) -> std::optional<std::pair<DWORD, std::string>> {
    DWORD type = 0;
    auto data = SystemValue(key, name, type);
    if (!data) return std::nullopt;
    return std::make_pair(type, *data);
  };
  auto startPage = saved(StartPageKey, StartPageValue);
  auto autoConfig = saved(InternetSettingsKey, AutoConfigURLValue);
  auto proxy = saved(InternetSettingsKey, ProxyEnableValue);
  TRandom random(808);
  int n = Iterations(2000) / 10;
  for (int i = 0; i < n; ++i) {
    TFakePlatform::TRegValue generated = RegValue(random);
    std::pair<DWORD, std::string> value{generated.Type, generated.Data};
    SetSystemValue(InternetSettingsKey, AutoConfigURLValue, value);
    SetSystemValue(InternetSettingsKey, ProxyEnableValue, value);
    DWORD type = 0;
    auto stored = SystemValue(InternetSettingsKey, AutoConfigURLValue, type);
    ASSERT_TRUE(stored) << "case " << i;
    TFakePlatform::TRegValue seen{type, *stored};
    ASSERT_EQ(Outcome(GetAutoConfigURL), ExpectedText(seen, seen, AutoConfigURLValue)) << "case " << i;
    ASSERT_EQ(Outcome([] { return std::string(IsProxyEnabled() ? "on" : "off"); }), ExpectedFlag(seen))
        << "case " << i;
  }
  SetSystemValue(StartPageKey, StartPageValue, startPage);
  SetSystemValue(InternetSettingsKey, AutoConfigURLValue, autoConfig);
  SetSystemValue(InternetSettingsKey, ProxyEnableValue, proxy);
}

// ---- menus ----

// Positions of the characters a menu underlines: each one after a single '&'.
std::vector<std::size_t> Marks(const std::string& caption) {
  std::vector<std::size_t> marks;
  for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] != '&') marks.push_back(i + 1);
    ++i;
  }
  return marks;
}

int KeyOf(char c) {
  auto u = static_cast<unsigned char>(c);
  if (u >= 'a' && u <= 'z') u = static_cast<unsigned char>(u - 32);
  return (u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') ? u : -1;
}

TEST(Fuzz, MenusGetAtMostOneKeyPerItemAndNoSharedKeys) {
  TRandom random(4242);
  int n = Iterations(2000);
  for (int i = 0; i < n; ++i) {
    std::size_t count = Below(random, 41);
    std::vector<TMenuLine> lines(count);
    std::vector<std::string> captions(count);
    for (std::size_t item = 0; item < count; ++item) {
      lines[item] = {Below(random, 5) != 0, Below(random, 4) == 0};
      std::string& caption = captions[item];
      caption.resize(Below(random, 3) == 0 ? Below(random, 301) : Below(random, 16));
      for (char& c : caption) c = static_cast<char>(Below(random, 6) == 0 ? '&' : random() % 256);
    }
    std::vector<bool> shown = ReduceSeparators(lines);
    ASSERT_EQ(shown.size(), count);
    // Shown separators stand between shown items, one at a time.
    int last = 0;  // 0 nothing yet, 1 item, 2 separator
    for (std::size_t item = 0; item < count; ++item) {
      if (!lines[item].Separator) {
        ASSERT_EQ(shown[item], lines[item].Visible) << "case " << i;
      }
      if (!shown[item]) continue;
      ASSERT_TRUE(lines[item].Visible) << "case " << i;
      if (lines[item].Separator) {
        ASSERT_EQ(last, 1) << "case " << i << ", line " << item;
      }
      last = lines[item].Separator ? 2 : 1;
    }
    ASSERT_NE(last, 2) << "case " << i << ": a separator ends the menu";

    std::vector<std::string> taking;
    for (std::size_t item = 0; item < count; ++item)
      if (shown[item] && !lines[item].Separator && !captions[item].empty()) taking.push_back(captions[item]);
    std::vector<std::string> keyed = AssignAccessKeys(taking);
    ASSERT_EQ(keyed.size(), taking.size());
    std::set<int> keys;
    for (std::size_t item = 0; item < keyed.size(); ++item) {
      std::vector<std::size_t> marks = Marks(keyed[item]);
      ASSERT_LE(marks.size(), 1u) << "case " << i << ": " << keyed[item];
      if (marks.empty()) continue;
      ASSERT_EQ(keyed[item][marks[0]], GetHotkey(keyed[item])) << "case " << i;
      int key = KeyOf(keyed[item][marks[0]]);
      if (key >= 0) {
        ASSERT_TRUE(keys.insert(key).second) << "case " << i << ": key " << char(key) << " twice";
      }
    }
  }
}

}  // namespace
