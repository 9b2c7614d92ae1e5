#include "browser/StartPage.h"

#include <windows.h>
#include <vector>

namespace {

// A registry key below HKEY_CURRENT_USER, opened (never created) and closed
// on every path.
class TRegistryKey {
public:
  explicit TRegistryKey(const char* path) {
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_ALL_ACCESS, &FKey) != ERROR_SUCCESS) FKey = nullptr;
  }
  ~TRegistryKey() {
    if (FKey) RegCloseKey(FKey);
  }
  TRegistryKey(const TRegistryKey&) = delete;
  TRegistryKey& operator=(const TRegistryKey&) = delete;
  HKEY Get() const { return FKey; }

private:
  HKEY FKey = nullptr;
};

}  // namespace

std::string GetStartPage() {
  TRegistryKey key(StartPageKey);
  if (!key.Get()) return {};
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExA(key.Get(), StartPageValue, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || size == 0)
    return {};
  std::vector<char> data(size);
  if (RegQueryValueExA(key.Get(), StartPageValue, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) !=
          ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ))
    return {};
  size_t length = 0;
  while (length < size && data[length] != '\0') ++length;
  return std::string(data.data(), length);
}
