#include "ui/UtilWindow.h"

#include "ui/WindowLink.h"
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
  static const TWindowLink link{
      [](void* object, HWND handle) { static_cast<TUtilWindow*>(object)->FHandle = handle; },
      [](void* object, HWND) { static_cast<TUtilWindow*>(object)->FHandle = nullptr; },
      [](void* object, TMessage& message) {
        auto* self = static_cast<TUtilWindow*>(object);
        if (self->FMethod.Code)
          self->FMethod(message);
        else
          self->DefaultHandler(message);
      },
      DefWindowProcA};
  return LinkedWindowProc(link, window, msg, wParam, lParam);
}
