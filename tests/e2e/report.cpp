#include "report.h"

#include <windows.h>

#include <cstdio>
#include <vector>

std::string to_utf8(const std::string& cp1252) {
  if (cp1252.empty()) return {};
  int wide_len = MultiByteToWideChar(1252, 0, cp1252.data(), int(cp1252.size()), nullptr, 0);
  std::vector<wchar_t> wide(wide_len);
  MultiByteToWideChar(1252, 0, cp1252.data(), int(cp1252.size()), wide.data(), wide_len);
  int len = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wide_len, nullptr, 0, nullptr, nullptr);
  std::string out(len, '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), wide_len, out.data(), len, nullptr, nullptr);
  return out;
}

std::string quoted(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02x", c);
      out += buf;
    } else {
      out += char(c);
    }
  }
  return out + "\"";
}

static void print_line(const std::string& cp1252_line) {
  std::string line = to_utf8(cp1252_line) + "\n";
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fflush(stdout);
}

bool Report::check(bool passed, const std::string& name, const std::string& detail) {
  if (passed) {
    ++passed_;
    print_line("ok " + name);
  } else {
    ++failed_;
    print_line("FAIL " + name + (detail.empty() ? "" : ": " + detail));
  }
  return passed;
}

void Report::summary() const {
  std::printf("%d passed, %d failed\n", passed_, failed_);
  std::fflush(stdout);
}
