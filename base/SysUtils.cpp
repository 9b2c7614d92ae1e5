#include "base/SysUtils.h"

#include <cstdio>

std::string SysErrorMessage(DWORD code) {
  char buffer[512];
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS |
                               FORMAT_MESSAGE_ARGUMENT_ARRAY,
                           nullptr, code, 0, buffer, sizeof buffer, nullptr);
  while (n > 0 && (buffer[n - 1] == '\r' || buffer[n - 1] == '\n' || buffer[n - 1] == ' '))
    --n;
  return std::string(buffer, n);
}

static std::string OleErrorText(HRESULT code) {
  std::string text = SysErrorMessage(static_cast<DWORD>(code));
  if (!text.empty()) return text;
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "OLE error %.8lx", static_cast<unsigned long>(code));
  return buffer;
}

EOleSysError::EOleSysError(HRESULT code) : Exception(OleErrorText(code)), FErrorCode(code) {}

static std::string InOutErrorText(DWORD code) {
  std::string text = SysErrorMessage(code);
  if (!text.empty()) return text;
  return "I/O error " + std::to_string(code);
}

EInOutError::EInOutError(DWORD code) : Exception(InOutErrorText(code)), FErrorCode(code) {}

std::string ErrorReportText(const std::string& message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') return message + ".";
  return message;
}

std::string AnsiText(const std::wstring& text) {
  if (text.empty()) return {};
  int n = WideCharToMultiByte(1252, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string result(n, '\0');
  WideCharToMultiByte(1252, 0, text.data(), static_cast<int>(text.size()), result.data(), n, nullptr, nullptr);
  return result;
}

std::wstring WideText(const std::string& text) {
  if (text.empty()) return {};
  int n = MultiByteToWideChar(1252, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring result(n, L'\0');
  MultiByteToWideChar(1252, 0, text.data(), static_cast<int>(text.size()), result.data(), n);
  return result;
}
