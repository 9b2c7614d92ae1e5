#include "browser/Proxy.h"

#include "browser/Registry.h"

namespace {

void WriteProxyEnable(bool enabled) {
  TRegistryKey(InternetSettingsKey).WriteBool(ProxyEnableValue, enabled);
  // Only after a successful write, with the key closed again.
  Platform().InternetSetOptionA(nullptr, INTERNET_OPTION_SETTINGS_CHANGED, nullptr, 0);
}

}  // namespace

void DisableProxy() { WriteProxyEnable(false); }

void EnableProxy() { WriteProxyEnable(true); }

std::string GetAutoConfigURL() { return TRegistryKey(InternetSettingsKey).ReadString(AutoConfigURLValue); }

// Windows treats a missing value as off; so does a fresh profile, which has none.
bool IsProxyEnabled() { return TRegistryKey(InternetSettingsKey).ReadBool(ProxyEnableValue).value_or(false); }
