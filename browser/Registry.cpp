#include "browser/Registry.h"

#include <cstring>
#include <vector>

namespace {

constexpr const char* GetDataFailed = "Failed to get data for '%s'";
constexpr const char* SetDataFailed = "Failed to set data for '%s'";
constexpr const char* InvalidDataType = "Invalid data type for '%s'";

HKEY OpenKey(TPlatform& platform, const std::string& path, LSTATUS& status) {
  HKEY key = nullptr;
  status = platform.RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_ALL_ACCESS, &key);
  return status == ERROR_SUCCESS ? key : nullptr;
}

// The format filled with the value name.
[[noreturn]] void Raise(const char* format, const std::string& name) {
  std::string message = format;
  message.replace(message.find("%s"), 2, name);
  throw ERegistryException(message);
}

}  // namespace

TRegistryKey::TRegistryKey(const std::string& path)
    : FPlatform(Platform()), FOpenStatus(ERROR_SUCCESS), FKey(FPlatform, OpenKey(FPlatform, path, FOpenStatus)) {}

std::string TRegistryKey::ReadString(const std::string& name) const {
  if (!Opened()) return {};
  DWORD type = REG_NONE;
  DWORD size = 0;
  if (FPlatform.RegQueryValueExA(FKey.Get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      size == 0)
    return {};
  std::vector<char> data(size);
  if (FPlatform.RegQueryValueExA(FKey.Get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                                 &size) != ERROR_SUCCESS)
    Raise(GetDataFailed, name);
  if (type != REG_SZ && type != REG_EXPAND_SZ) Raise(InvalidDataType, name);
  // The size of this read, not of the first question, bounds the text; the
  // data need not end with a NUL.
  std::size_t limit = size < data.size() ? size : data.size();
  std::size_t length = 0;
  while (length < limit && data[length] != '\0') ++length;
  return std::string(data.data(), length);
}

void TRegistryKey::WriteString(const std::string& name, const std::string& text) const {
  if (!Opened() || FPlatform.RegSetValueExA(FKey.Get(), name.c_str(), 0, REG_SZ,
                                            reinterpret_cast<const BYTE*>(text.c_str()),
                                            static_cast<DWORD>(text.size() + 1)) != ERROR_SUCCESS)
    Raise(SetDataFailed, name);
}

std::optional<bool> TRegistryKey::ReadBool(const std::string& name) const {
  if (FOpenStatus == ERROR_FILE_NOT_FOUND) return std::nullopt;
  DWORD type = REG_NONE;
  BYTE data[sizeof(DWORD)] = {};
  DWORD size = sizeof data;
  LSTATUS status = Opened() ? FPlatform.RegQueryValueExA(FKey.Get(), name.c_str(), nullptr, &type, data, &size)
                            : FOpenStatus;
  if (status == ERROR_FILE_NOT_FOUND) return std::nullopt;
  if (status != ERROR_SUCCESS) Raise(GetDataFailed, name);
  if (type != REG_DWORD) Raise(InvalidDataType, name);
  // A REG_DWORD may hold fewer than 4 bytes: only the reported ones count.
  DWORD value = 0;
  std::memcpy(&value, data, size < sizeof data ? size : sizeof data);
  return value != 0;
}

void TRegistryKey::WriteBool(const std::string& name, bool value) const {
  DWORD data = value ? 1 : 0;
  if (!Opened() || FPlatform.RegSetValueExA(FKey.Get(), name.c_str(), 0, REG_DWORD,
                                            reinterpret_cast<const BYTE*>(&data), sizeof data) != ERROR_SUCCESS)
    Raise(SetDataFailed, name);
}
