// The browser's start page: HKCU\Software\Microsoft\Internet Explorer\Main,
// value "Start Page".
#pragma once
#include <string>

constexpr const char* StartPageKey = "Software\\Microsoft\\Internet Explorer\\Main";
constexpr const char* StartPageValue = "Start Page";

// The start page up to its first NUL; empty text on any failure.
std::string GetStartPage();
// Writes the text as the start page (REG_SZ); raises ERegistryException
// "Failed to set data for 'Start Page'" when it cannot be written.
void SetStartPage(const std::string& text);
