#include "browser/StartPage.h"

#include "browser/Registry.h"

std::string GetStartPage() {
  try {
    return TRegistryKey(StartPageKey).ReadString(StartPageValue);
  } catch (const ERegistryException&) {
    return {};
  }
}

void SetStartPage(const std::string& text) { TRegistryKey(StartPageKey).WriteString(StartPageValue, text); }
