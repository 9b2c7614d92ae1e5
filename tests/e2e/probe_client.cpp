#include "probe_client.h"

#include "win.h"

TProbe::TProbe() {
  FMapping.reset(
      CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(TProbeResults), ProbeMappingName));
  if (FMapping)
    FResults = static_cast<TProbeResults*>(MapViewOfFile(FMapping.get(), FILE_MAP_WRITE, 0, 0, sizeof *FResults));
}

TProbe::~TProbe() {
  if (FHook) UnhookWindowsHookEx(FHook);
  if (FResults) UnmapViewOfFile(FResults);
  if (FLibrary) FreeLibrary(FLibrary);
}

bool TProbe::Attach(HWND window, const std::string& dll) {
  FLibrary = LoadLibraryA(dll.c_str());
  FARPROC address = FLibrary ? GetProcAddress(FLibrary, "SpwProbeGetMessage") : nullptr;
  auto proc = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(address));
  if (!proc || !FResults) return false;
  FHook = SetWindowsHookExA(WH_GETMESSAGE, proc, FLibrary, GetWindowThreadProcessId(window, nullptr));
  if (!FHook) return false;
  PostMessageA(window, WM_NULL, 0, 0);
  return wait_until([&] { return FResults->Attached > 0; }, 5000);
}

long TProbe::CreateObjects(HWND window) {
  if (!Ask(window, 0)) return -1;
  return FResults->ObjectsCreated;
}

long TProbe::GdiObjects(HWND window) {
  if (!Ask(window, 1)) return -1;
  return FResults->GdiObjects;
}

bool TProbe::Ask(HWND window, WPARAM what) {
  if (!FResults) return false;
  LONG before = FResults->CreateRounds;
  PostMessageA(window, RegisterWindowMessageA(ProbeCreateMessage), what, 0);
  return wait_until([&] { return FResults->CreateRounds != before; }, 20000);
}

TProbe::Measured TProbe::MeasureCaptions(HWND window) {
  Measured measured;
  if (!FResults) return measured;
  LONG before = FResults->MeasureRounds;
  PostMessageA(window, RegisterWindowMessageA(ProbeMeasureMessage), 0, 0);
  measured.ok = wait_until([&] { return FResults->MeasureRounds != before; }, 10000);
  if (!measured.ok) return measured;
  measured.captions.assign(FResults->Captions, FResults->Captions + FResults->CaptionCount);
  measured.menuTextHeight = FResults->MenuTextHeight;
  measured.dpi = FResults->Dpi;
  return measured;
}

std::string probe_dll_path() {
  char path[MAX_PATH] = {};
  DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string self(path, length);
  size_t slash = self.find_last_of("\\/");
  std::string folder = slash == std::string::npos ? "." : self.substr(0, slash);
  return folder + "\\..\\probe\\spw_probe.dll";
}
