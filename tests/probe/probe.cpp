#include "probe.h"

#include <winternl.h>

#include <vector>

namespace {

HANDLE Mapping = nullptr;
TProbeResults* Results = nullptr;
UINT CreateMessage = 0;
UINT MeasureMessage = 0;

// Creates ProbeObjectsPerKind objects of each kind, frees them all, and
// returns how many could be created.
LONG CreateObjects() {
  LONG created = 0;
  std::vector<HGDIOBJ> objects;
  HDC screen = GetDC(nullptr);
  for (int i = 0; i < ProbeObjectsPerKind; ++i) {
    HGDIOBJ made[] = {CreatePen(PS_SOLID, 1, RGB(i, 0, 0)), CreateSolidBrush(RGB(0, i, 0)),
                      CreateFontA(-11 - i % 5, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Tahoma"),
                      nullptr, screen ? CreateCompatibleBitmap(screen, 8, 8) : nullptr};
    HDC dc = CreateCompatibleDC(screen);
    for (HGDIOBJ object : made)
      if (object) {
        objects.push_back(object);
        ++created;
      }
    if (dc) {
      ++created;
      DeleteDC(dc);
    }
  }
  for (HGDIOBJ object : objects) DeleteObject(object);
  if (screen) ReleaseDC(nullptr, screen);
  return created;
}

// The GDI objects of the process. Wine answers GetGuiResources with 0; its
// handle table, which the PEB points to as on Windows, then gives the number:
// 24-byte entries whose object pointer is set, the owner's process id in the
// low word of the next field (0 under Wine, where the table is per process).
LONG CountGdiObjects() {
  if (DWORD count = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) return static_cast<LONG>(count);
  struct TEntry {
    UINT64 Object;
    UINT32 Owner;
    UINT16 Type;
    UINT8 Unique, ExtType;
    UINT64 User;
  };
  static_assert(sizeof(TEntry) == 24);
  constexpr int TableSize = 65536;
  const char* peb = reinterpret_cast<const char*>(NtCurrentTeb()->ProcessEnvironmentBlock);
  const TEntry* table = *reinterpret_cast<const TEntry* const*>(peb + 0xF8);  // GdiSharedHandleTable
  if (!table) return -1;
  WORD pid = static_cast<WORD>(GetCurrentProcessId());
  LONG count = 0;
  for (int i = 0; i < TableSize; ++i)
    if (table[i].Object && ((table[i].Owner & 0xFFFF) == pid || (table[i].Owner & 0xFFFF) == 0)) ++count;
  return count;
}

// The caption of every descendant of the window, in the font it draws with.
void MeasureCaptions(HWND window) {
  struct TContext {
    HDC Screen;
    LONG Count;
  } context{GetDC(nullptr), 0};
  EnumChildWindows(
      window,
      [](HWND child, LPARAM param) -> BOOL {
        auto* c = reinterpret_cast<TContext*>(param);
        if (c->Count >= ProbeMaxCaptions) return FALSE;
        char text[256] = {};
        GetWindowTextA(child, text, sizeof text);
        HFONT font = reinterpret_cast<HFONT>(SendMessageA(child, WM_GETFONT, 0, 0));
        HGDIOBJ old = SelectObject(c->Screen, font ? font : GetStockObject(SYSTEM_FONT));
        RECT r{0, 0, 0, 0};
        DrawTextA(c->Screen, text[0] ? text : " ", -1, &r, DT_CALCRECT | DT_SINGLELINE);
        SelectObject(c->Screen, old);
        Results->Captions[c->Count++] = {reinterpret_cast<UINT64>(child), r.right - r.left, r.bottom - r.top};
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&context));
  Results->CaptionCount = context.Count;
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = 340;  // every version accepts the record without iPaddedBorderWidth
  if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 0, &metrics, 0)) {
    HFONT menu = CreateFontIndirectA(&metrics.lfMenuFont);
    HGDIOBJ old = SelectObject(context.Screen, menu);
    SIZE size{};
    GetTextExtentPoint32A(context.Screen, "W", 1, &size);
    SelectObject(context.Screen, old);
    DeleteObject(menu);
    Results->MenuTextHeight = size.cy;
  }
  Results->Dpi = GetDeviceCaps(context.Screen, LOGPIXELSY);
  ReleaseDC(nullptr, context.Screen);
}

}  // namespace

extern "C" LRESULT CALLBACK SpwProbeGetMessage(int code, WPARAM wparam, LPARAM lparam) {
  if (code == HC_ACTION && wparam == PM_REMOVE && Results) {
    const MSG* msg = reinterpret_cast<const MSG*>(lparam);
    // 0x0118 is the system timer that drives caret blinking and the like.
    if (msg->message == WM_TIMER || msg->message == 0x0118) InterlockedIncrement(&Results->TimerTicks);
    if (MeasureMessage && msg->message == MeasureMessage) {
      MeasureCaptions(msg->hwnd);
      InterlockedIncrement(&Results->MeasureRounds);
    }
    if (CreateMessage && msg->message == CreateMessage) {
      if (msg->wParam == 1)
        Results->GdiObjects = CountGdiObjects();
      else
        Results->ObjectsCreated = CreateObjects();
      InterlockedIncrement(&Results->CreateRounds);
    }
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    CreateMessage = RegisterWindowMessageA(ProbeCreateMessage);
    MeasureMessage = RegisterWindowMessageA(ProbeMeasureMessage);
    Mapping = OpenFileMappingA(FILE_MAP_WRITE, FALSE, ProbeMappingName);
    if (Mapping) Results = static_cast<TProbeResults*>(MapViewOfFile(Mapping, FILE_MAP_WRITE, 0, 0, sizeof *Results));
    if (Results) InterlockedIncrement(&Results->Attached);
  } else if (reason == DLL_PROCESS_DETACH) {
    if (Results) UnmapViewOfFile(Results);
    if (Mapping) CloseHandle(Mapping);
  }
  return TRUE;
}
