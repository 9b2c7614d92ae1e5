// Owners for the Win32 handles the driver holds: each is released on every path.
#pragma once
#include <windows.h>
#include <memory>

struct KernelHandleCloser {
  void operator()(HANDLE h) const {
    if (h && h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
};
using UniqueHandle = std::unique_ptr<void, KernelHandleCloser>;

struct RegKeyCloser {
  using pointer = HKEY;
  void operator()(HKEY k) const { RegCloseKey(k); }
};
using UniqueRegKey = std::unique_ptr<HKEY, RegKeyCloser>;

struct GdiObjectDeleter {
  using pointer = HGDIOBJ;
  void operator()(HGDIOBJ o) const { DeleteObject(o); }
};
using UniqueGdiObject = std::unique_ptr<HGDIOBJ, GdiObjectDeleter>;

struct MemoryDcDeleter {
  using pointer = HDC;
  void operator()(HDC dc) const { DeleteDC(dc); }
};
using UniqueMemoryDc = std::unique_ptr<HDC, MemoryDcDeleter>;

// The screen's device context, from GetDC(NULL).
class ScreenDc {
 public:
  ScreenDc() : dc_(GetDC(nullptr)) {}
  ~ScreenDc() {
    if (dc_) ReleaseDC(nullptr, dc_);
  }
  ScreenDc(const ScreenDc&) = delete;
  ScreenDc& operator=(const ScreenDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

// Selects an object into a DC and puts the previous one back.
class SelectionGuard {
 public:
  SelectionGuard(HDC dc, HGDIOBJ obj) : dc_(dc), old_(SelectObject(dc, obj)) {}
  ~SelectionGuard() {
    if (old_) SelectObject(dc_, old_);
  }
  SelectionGuard(const SelectionGuard&) = delete;
  SelectionGuard& operator=(const SelectionGuard&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};
