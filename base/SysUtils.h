// Errors raised by the program and the error-report text rule.
#pragma once
#include <windows.h>
#include <string>

// Base of every error the program raises; its message is what the user sees.
class Exception {
public:
  explicit Exception(std::string message) : FMessage(std::move(message)) {}
  virtual ~Exception() = default;
  const std::string& Message() const { return FMessage; }

private:
  std::string FMessage;
};

// A failed COM call: the system's text for the code, or "OLE error %.8x".
class EOleSysError : public Exception {
public:
  explicit EOleSysError(HRESULT code);
  HRESULT ErrorCode() const { return FErrorCode; }

private:
  HRESULT FErrorCode;
};

// An object that lacks a requested interface.
class EIntfCastError : public Exception {
public:
  EIntfCastError() : Exception("Interface not supported") {}
};

// A failed file operation; the message is the system's text for the code.
class EInOutError : public Exception {
public:
  explicit EInOutError(DWORD code);
  DWORD ErrorCode() const { return FErrorCode; }

private:
  DWORD FErrorCode;
};

// A system resource the program could not get (a timer, a window, ...).
class EOutOfResources : public Exception {
public:
  using Exception::Exception;
};

// An object used as a class it is not.
class EInvalidCast : public Exception {
public:
  EInvalidCast() : Exception("Invalid class typecast") {}
};

// The system's message text for an error code without its trailing line
// break, or empty text when the system has none.
std::string SysErrorMessage(DWORD code);

// A wide text in the program's code page (Windows-1252), for its messages;
// a character the code page cannot spell becomes "?".
std::string AnsiText(const std::wstring& text);
// A text in the program's code page (Windows-1252) in UTF-16.
std::wstring WideText(const std::string& text);

// Text of the application's error report: the message with "." appended
// when its last character sorts after "." (so "...'" gets none).
std::string ErrorReportText(const std::string& message);
