#include "ui/ErrorReport.h"

#include <windows.h>
#include <exception>
#include "platform/Platform.h"
#include "base/SysUtils.h"

namespace {

TErrorReporter Reporter = nullptr;

}  // namespace

TErrorReporter SetErrorReporter(TErrorReporter reporter) {
  TErrorReporter previous = Reporter;
  Reporter = reporter;
  return previous;
}

void HandleCurrentException() {
  std::string text;
  try {
    throw;
  } catch (const Exception& e) {
    text = e.Message();
  } catch (const std::exception& e) {
    text = e.what();
  } catch (...) {
    text = "Unknown error";
  }
  if (!Reporter || !Reporter(text))
    Platform().MessageBoxA(nullptr, ErrorReportText(text).c_str(), "Error", MB_OK | MB_ICONERROR);
}
