// The browser's manual proxy switch and its automatic configuration address:
// HKCU\Software\Microsoft\Windows\CurrentVersion\Internet Settings, values
// "ProxyEnable" (REG_DWORD) and "AutoConfigURL" (text, only read).
#pragma once
#include <string>

constexpr const char* InternetSettingsKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
constexpr const char* ProxyEnableValue = "ProxyEnable";
constexpr const char* AutoConfigURLValue = "AutoConfigURL";

// Write "ProxyEnable" 0 or 1 and announce the change to WinINet; raise
// ERegistryException "Failed to set data for 'ProxyEnable'" (and announce
// nothing) when the value cannot be written.
void DisableProxy();
void EnableProxy();
// The automatic configuration address; empty when the key or the value is
// missing. Raises ERegistryException when the value is not readable text.
std::string GetAutoConfigURL();
// True when "ProxyEnable" is non-zero; a missing value counts as off. Raises
// ERegistryException when it is not a REG_DWORD of at most 4 bytes.
bool IsProxyEnabled();
