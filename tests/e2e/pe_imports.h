// Reads the names of the DLLs in a PE file's import directory.
#pragma once
#include <string>
#include <vector>

struct ImportList {
  bool ok = false;
  std::string error;  // why the file could not be read, when !ok
  std::vector<std::string> dlls;
};

ImportList read_pe_imports(const std::vector<unsigned char>& file);
// True for the DLLs that are known DLLs on every supported Windows (7 to 11),
// which the loader maps from the system folder only (case-insensitive).
bool is_known_dll(const std::string& name);
