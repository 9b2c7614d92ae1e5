#include "win.h"

#include <cstdio>
#include <cstring>
#include <set>

std::string environment_with_temp(const std::string& tmp, const std::string& temp) {
  std::string block;
  if (char* own = GetEnvironmentStringsA()) {
    for (const char* p = own; *p; p += std::strlen(p) + 1)
      if (_strnicmp(p, "TMP=", 4) != 0 && _strnicmp(p, "TEMP=", 5) != 0) block += std::string(p) + '\0';
    FreeEnvironmentStringsA(own);
  }
  if (!tmp.empty()) block += "TMP=" + tmp + '\0';
  if (!temp.empty()) block += "TEMP=" + temp + '\0';
  return block + '\0';
}

std::wstring utf16(const std::string& utf8) {
  int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(n, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
  return wide;
}

Process start_process(const std::string& exe, const std::string& cwd, const std::string& environment, int show,
                      const std::string& arguments) {
  STARTUPINFOW si{};
  si.cb = sizeof si;
  if (show >= 0) {
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = static_cast<WORD>(show);
  }
  PROCESS_INFORMATION pi{};
  std::wstring program = utf16(exe),
               command_line = L"\"" + program + L"\"" + (arguments.empty() ? L"" : L" " + utf16(arguments));
  Process p;
  void* block = environment.empty() ? nullptr : const_cast<char*>(environment.data());
  if (!CreateProcessW(program.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, block, utf16(cwd).c_str(), &si,
                      &pi))
    return p;
  UniqueHandle thread(pi.hThread);
  p.handle.reset(pi.hProcess);
  p.id = pi.dwProcessId;
  return p;
}

bool wait_exit(const Process& p, DWORD timeout_ms) {
  return !p.handle || WaitForSingleObject(p.handle.get(), timeout_ms) == WAIT_OBJECT_0;
}

bool is_running(const Process& p) { return p.handle && WaitForSingleObject(p.handle.get(), 0) == WAIT_TIMEOUT; }

void kill_if_running(const Process& p) {
  if (!is_running(p)) return;
  TerminateProcess(p.handle.get(), 99);
  WaitForSingleObject(p.handle.get(), 5000);
}

bool wait_until(const std::function<bool()>& cond, DWORD timeout_ms) {
  DWORD start = GetTickCount();
  for (;;) {
    if (cond()) return true;
    if (GetTickCount() - start >= timeout_ms) return false;
    Sleep(20);
  }
}

namespace {
struct WindowSearch {
  DWORD pid;
  std::string cls;
  HWND found;
  bool hidden_too = false;
};

BOOL CALLBACK match_window(HWND h, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  if ((search->pid == 0 || pid == search->pid) && (search->hidden_too || IsWindowVisible(h)) &&
      class_of(h) == search->cls) {
    search->found = h;
    return FALSE;
  }
  return TRUE;
}
}  // namespace

HWND find_window(DWORD pid, const std::string& cls) {
  WindowSearch search{pid, cls, nullptr};
  EnumWindows(match_window, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND find_any_window(DWORD pid, const std::string& cls) {
  WindowSearch search{pid, cls, nullptr, true};
  EnumWindows(match_window, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND wait_window(DWORD pid, const std::string& cls, DWORD timeout_ms) {
  HWND h = nullptr;
  wait_until([&] { return (h = find_window(pid, cls)) != nullptr; }, timeout_ms);
  return h;
}

std::string class_of(HWND h) {
  char name[256] = "";
  GetClassNameA(h, name, sizeof name);
  return name;
}

std::string text_of(HWND h) {
  DWORD_PTR len = 0;
  if (!SendMessageTimeoutA(h, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &len)) return "<no answer>";
  std::string text(len + 1, '\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutA(h, WM_GETTEXT, len + 1, reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG, 5000,
                           &copied))
    return "<no answer>";
  text.resize(copied < len ? copied : len);
  return text;
}

std::vector<HWND> children_of(HWND parent) {
  std::vector<HWND> list;
  for (HWND h = GetWindow(parent, GW_CHILD); h && list.size() < 1000; h = GetWindow(h, GW_HWNDNEXT))
    list.push_back(h);
  return list;
}

HWND find_child(HWND parent, const std::string& cls, const std::string& caption) {
  for (HWND child : children_of(parent))
    if (class_of(child) == cls && text_of(child) == caption) return child;
  return nullptr;
}

RECT window_rect(HWND h) {
  RECT r{};
  GetWindowRect(h, &r);
  return r;
}

RECT rect_in_parent(HWND h) {
  RECT r = window_rect(h);
  MapWindowPoints(HWND_DESKTOP, GetParent(h), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

LONG style_of(HWND h) { return GetWindowLongA(h, GWL_STYLE); }
LONG ex_style_of(HWND h) { return GetWindowLongA(h, GWL_EXSTYLE); }

int check_state(HWND h) {
  DWORD_PTR state = 0;
  if (!SendMessageTimeoutA(h, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 5000, &state)) return -1;
  return int(state);
}

HWND focus_of(DWORD thread) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  return GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}

void post_click(HWND button) { PostMessageA(button, BM_CLICK, 0, 0); }

Image capture_window(HWND h) {
  RECT r = window_rect(h);
  Image image;
  image.width = r.right - r.left;
  image.height = r.bottom - r.top;
  if (image.width <= 0 || image.height <= 0) return {};

  ScreenDc screen;
  UniqueMemoryDc memory(CreateCompatibleDC(screen.get()));
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = image.width;
  info.bmiHeader.biHeight = -image.height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  UniqueGdiObject dib(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!memory || !dib || !bits) return {};
  {
    SelectionGuard select(memory.get(), dib.get());
    if (!BitBlt(memory.get(), 0, 0, image.width, image.height, screen.get(), r.left, r.top, SRCCOPY | CAPTUREBLT))
      return {};
    GdiFlush();
  }
  const auto* pixels = static_cast<const uint32_t*>(bits);
  image.pixels.resize(size_t(image.width) * image.height);
  for (size_t i = 0; i < image.pixels.size(); ++i) image.pixels[i] = pixels[i] & 0xFFFFFFu;
  return image;
}

int distinct_colours(const Image& image, int limit) {
  std::set<uint32_t> seen;
  for (uint32_t p : image.pixels) {
    seen.insert(p);
    if (int(seen.size()) >= limit) break;
  }
  return int(seen.size());
}

std::string describe_rect(const RECT& r) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%ld,%ld %ldx%ld", r.left, r.top, r.right - r.left, r.bottom - r.top);
  return buf;
}
