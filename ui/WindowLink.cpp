#include "ui/WindowLink.h"

#include "ui/ErrorReport.h"

LRESULT LinkedWindowProc(const TWindowLink& link, HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  void* object = reinterpret_cast<void*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!object && msg == WM_NCCREATE) {
    object = reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams;
    if (object) {
      SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
      link.Linked(object, window);
    }
  }
  if (!object) return CallWindowProcA(link.Unowned, window, msg, wParam, lParam);

  TMessage message{msg, wParam, lParam, 0};
  try {
    link.Dispatch(object, message);
  } catch (...) {
    HandleCurrentException();
  }
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    link.Unlinked(object, window);
  }
  return message.Result;
}
