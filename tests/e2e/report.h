// Collects the outcome of each check and prints one line per check.
#pragma once
#include <string>

class Report {
 public:
  // Prints "ok NAME" or "FAIL NAME: DETAIL" and counts it; returns passed.
  bool check(bool passed, const std::string& name, const std::string& detail = "");
  // Prints the closing "N passed, M failed" line.
  void summary() const;
  int failed() const { return failed_; }

 private:
  int passed_ = 0;
  int failed_ = 0;
};

// The driver's texts are Windows-1252 (captions, expected literals); the
// console output is UTF-8 so that ctest logs stay readable.
std::string to_utf8(const std::string& cp1252);
// Quotes a text for a message: "..." with CR, LF and control bytes escaped.
std::string quoted(const std::string& text);
