#include "manifest.h"

#include <windows.h>

#include <cstdio>

namespace {

std::string guid_text(const GUID& g) {
  char text[40];
  std::snprintf(text, sizeof text, "{%08lx-%04x-%04x-%02x%02x-%02x%02x%02x%02x%02x%02x}", g.Data1, g.Data2,
                g.Data3, g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6],
                g.Data4[7]);
  return text;
}

// A compatibility element as Windows 10 and Wine report it: GUID, type and
// the highest version tested, after a count padded to 8 bytes. (The MinGW
// headers still have the shorter Windows 7 form.)
struct Element {
  GUID Id;
  DWORD Type;
  ULONGLONG MaxVersionTested;
};

bool read_elements(const unsigned char* buffer, SIZE_T size, std::vector<std::string>& ids) {
  const DWORD count = *reinterpret_cast<const DWORD*>(buffer);
  if (size != alignof(Element) + count * sizeof(Element)) return false;
  auto* element = reinterpret_cast<const Element*>(buffer + alignof(Element));
  for (DWORD i = 0; i < count; ++i)
    if (element[i].Type == ACTCTX_COMPATIBILITY_ELEMENT_TYPE_OS) ids.push_back(guid_text(element[i].Id));
  return true;
}

// 1 when the activation context carries the setting NAME (its value in
// VALUE), 0 when the system says it has none, -1 when it cannot tell.
int read_setting(HANDLE context, const wchar_t* ns, const wchar_t* name, std::string& text) {
  wchar_t value[64] = {};
  SIZE_T written = 0;
  if (!QueryActCtxSettingsW(0, context, ns, name, value, 64, &written))
    return GetLastError() == ERROR_SXS_KEY_NOT_FOUND ? 0 : -1;
  for (const wchar_t* c = value; *c; ++c) text += static_cast<char>(*c);
  return 1;
}

}  // namespace

ManifestInfo read_manifest(const std::string& exe) {
  ManifestInfo info;
  HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!module) {
    info.error = "cannot load " + exe + " as data, error " + std::to_string(GetLastError());
    return info;
  }
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
  DWORD bytes = found ? SizeofResource(module, found) : 0;
  FreeLibrary(module);
  if (bytes == 0) {
    info.error = "no resource 1 of type RT_MANIFEST";
    return info;
  }

  ACTCTXA request = {};
  request.cbSize = sizeof request;
  request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
  request.lpSource = exe.c_str();
  request.lpResourceName = MAKEINTRESOURCEA(1);
  HANDLE context = CreateActCtxA(&request);
  if (context == INVALID_HANDLE_VALUE) {
    info.error = "the system rejects the manifest, error " + std::to_string(GetLastError());
    return info;
  }
  ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION level = {};
  SIZE_T size = 0;
  bool levelRead = QueryActCtxW(0, context, nullptr, RunlevelInformationInActivationContext, &level,
                                sizeof level, &size);
  info.runLevel = level.RunLevel;
  info.uiAccess = level.UiAccess != 0;
  // A count followed by that many elements.
  alignas(8) unsigned char buffer[1024] = {};
  bool compatibilityRead = QueryActCtxW(0, context, nullptr, CompatibilityInformationInActivationContext, buffer,
                                        sizeof buffer, &size) &&
                           read_elements(buffer, size, info.supportedOS);
  const wchar_t* ns2005 = L"http://schemas.microsoft.com/SMI/2005/WindowsSettings";
  const wchar_t* ns2016 = L"http://schemas.microsoft.com/SMI/2016/WindowsSettings";
  int dpiAware = read_setting(context, ns2005, L"dpiAware", info.dpiAware);
  int dpiAwareness = read_setting(context, ns2016, L"dpiAwareness", info.dpiAwareness);
  ReleaseActCtx(context);
  if (!levelRead || !compatibilityRead || dpiAware < 0 || dpiAwareness < 0) {
    info.error = std::string("the system does not report the manifest's ") +
                 (!levelRead ? "run level" : !compatibilityRead ? "compatibility" : "DPI settings");
    return info;
  }
  info.ok = true;
  return info;
}
