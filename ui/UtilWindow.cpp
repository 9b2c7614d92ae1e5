#include "ui/UtilWindow.h"

#include "ui/Forms.h"
#include "base/SysUtils.h"

namespace {

void RegisterUtilClass(const TUtilWindowParams& params, WNDPROC proc) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSEXA existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExA(instance, params.ClassName, &existing)) return;
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  wc.hIcon = params.Icon;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.lpszClassName = params.ClassName;
  if (!RegisterClassExA(&wc))
    throw EOutOfResources(std::string("Cannot register window class ") + params.ClassName);
}

}  // namespace

void TUtilWindow::Create(TWndMethod method, const TUtilWindowParams& params) {
  Destroy();
  FMethod = method;
  RegisterUtilClass(params, UtilWndProc);
  CreateWindowExA(0, params.ClassName, params.Caption, params.Style, params.X, params.Y, 0, 0, nullptr,
                  nullptr, GetModuleHandleA(nullptr), this);
  if (!FHandle) throw EOutOfResources("Cannot create a window: " + SysErrorMessage(GetLastError()));
}

void TUtilWindow::Destroy() {
  if (!FHandle) return;
  HWND window = FHandle;
  DestroyWindow(window);
  FHandle = nullptr;  // also cleared at WM_NCDESTROY
}

void TUtilWindow::DefaultHandler(TMessage& message) const {
  message.Result = DefWindowProcA(FHandle, message.Msg, message.WParam, message.LParam);
}

LRESULT CALLBACK TUtilWindow::UtilWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<TUtilWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!self && msg == WM_NCCREATE) {
    self = static_cast<TUtilWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->FHandle = window;
  }
  if (!self || !self->FMethod.Code) return DefWindowProcA(window, msg, wParam, lParam);
  TMessage message{msg, wParam, lParam, 0};
  try {
    self->FMethod(message);
  } catch (...) {
    HandleCurrentException();
  }
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    self->FHandle = nullptr;
  }
  return message.Result;
}
