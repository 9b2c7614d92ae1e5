// Registry access of the browser settings: one key below HKEY_CURRENT_USER,
// opened with KEY_ALL_ACCESS (never created) for each operation and closed
// again at its end. Every call goes through the platform layer.
#pragma once
#include <optional>
#include <string>

#include "platform/Handles.h"
#include "base/SysUtils.h"

// A registry read or write that failed; the message names the value.
class ERegistryException : public Exception {
public:
  using Exception::Exception;
};

class TRegistryKey {
public:
  // Opens the key; a missing key stays missing (see Opened).
  explicit TRegistryKey(const std::string& path);
  TRegistryKey(const TRegistryKey&) = delete;
  TRegistryKey& operator=(const TRegistryKey&) = delete;

  bool Opened() const { return FKey.Get() != nullptr; }

  // The text of a REG_SZ or REG_EXPAND_SZ value (unexpanded) up to its first
  // NUL. Empty when the key or the value is missing or the value has no data;
  // raises "Failed to get data" when the read fails and "Invalid data type"
  // for a value of another type.
  std::string ReadString(const std::string& name) const;
  // Writes REG_SZ with the terminating NUL counted; raises "Failed to set data".
  void WriteString(const std::string& name, const std::string& text) const;
  // A REG_DWORD value, true when non-zero; nothing when the key or the value
  // does not exist. Raises "Failed to get data" when the read fails (data
  // longer than 4 bytes included) and "Invalid data type" for another type.
  std::optional<bool> ReadBool(const std::string& name) const;
  // Writes a REG_DWORD 0 or 1; raises "Failed to set data".
  void WriteBool(const std::string& name, bool value) const;

private:
  TPlatform& FPlatform;
  LSTATUS FOpenStatus;
  TRegKeyHandle FKey;
};
