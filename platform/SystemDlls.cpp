#include "platform/SystemDlls.h"

#include <delayimp.h>

#include <string>

namespace {

// Set once SetDefaultDllDirectories has taken effect: from then on a DLL's
// own imports are looked for in the system folder as well.
bool DefaultDirectoriesSet = false;

// Functions newer than the oldest supported Windows, looked up by name.
template <class Function>
Function KernelFunction(const char* name) {
  FARPROC address = GetProcAddress(GetModuleHandleA("kernel32.dll"), name);
  return reinterpret_cast<Function>(reinterpret_cast<void*>(address));
}

// A second line where Windows 10 offers it: the loader looks for every image
// in the system folder before anywhere else. Older systems refuse the policy.
void PreferSystemImages() {
  using SetPolicy = BOOL(WINAPI*)(PROCESS_MITIGATION_POLICY, PVOID, SIZE_T);
  auto set_policy = KernelFunction<SetPolicy>("SetProcessMitigationPolicy");
  if (!set_policy) return;
  PROCESS_MITIGATION_IMAGE_LOAD_POLICY policy{};
  policy.PreferSystem32Images = 1;
  set_policy(ProcessImageLoadPolicy, &policy, sizeof policy);
}

// The delay-load helper asks here before it loads a DLL by its bare name,
// which would search the program's folder first. When the system copy
// cannot be loaded, the helper must not fall back to that search: raise the
// error the helper itself raises for a missing DLL.
FARPROC WINAPI DelayLoadNotify(unsigned notification, PDelayLoadInfo info) {
  if (notification != dliNotePreLoadLibrary) return nullptr;
  HMODULE module = LoadSystemDll(info->szDll);
  if (!module) {
    info->dwLastError = GetLastError();
    ULONG_PTR argument = reinterpret_cast<ULONG_PTR>(info);
    RaiseException(VcppException(ERROR_SEVERITY_ERROR, ERROR_MOD_NOT_FOUND), 0, 1, &argument);
  }
  return reinterpret_cast<FARPROC>(module);
}

}  // namespace

// Read by the delay-load helper of the C runtime (delayimp.h).
extern "C" {
PfnDliHook __pfnDliNotifyHook2 = DelayLoadNotify;
}

void LimitDllSearchToSystem() {
  using SetDefaultDirectories = BOOL(WINAPI*)(DWORD);
  // Windows 7 has it only with KB2533623; without it, at least the current
  // directory goes.
  auto set_default = KernelFunction<SetDefaultDirectories>("SetDefaultDllDirectories");
  DefaultDirectoriesSet = set_default && set_default(LOAD_LIBRARY_SEARCH_SYSTEM32 | LOAD_LIBRARY_SEARCH_USER_DIRS);
  if (!DefaultDirectoriesSet) SetDllDirectoryA("");
  PreferSystemImages();
}

HMODULE LoadSystemDll(const char* name) {
  char folder[MAX_PATH];
  UINT length = GetSystemDirectoryA(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  std::string path = std::string(folder, length) + "\\" + name;
  // By full path, and without the process defaults the DLL's own imports
  // are looked for beside it (the altered order has no program folder).
  return LoadLibraryExA(path.c_str(), nullptr, DefaultDirectoriesSet ? 0 : LOAD_WITH_ALTERED_SEARCH_PATH);
}
