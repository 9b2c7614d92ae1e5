// The browser's start page: HKCU\Software\Microsoft\Internet Explorer\Main,
// value "Start Page".
#pragma once
#include <string>

constexpr const char* StartPageKey = "Software\\Microsoft\\Internet Explorer\\Main";
constexpr const char* StartPageValue = "Start Page";

// The start page up to its first NUL; empty text on any failure.
std::string GetStartPage();
