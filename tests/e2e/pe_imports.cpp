#include "pe_imports.h"

#include <windows.h>

#include <cstring>

namespace {

// Copies a structure out of the file; false when it does not lie inside it.
template <class T>
bool read_at(const std::vector<unsigned char>& file, size_t offset, T& out) {
  if (offset > file.size() || file.size() - offset < sizeof(T)) return false;
  std::memcpy(&out, file.data() + offset, sizeof(T));
  return true;
}

struct Section {
  DWORD virtual_address, virtual_size, raw_offset, raw_size;
};

// File offset of a relative virtual address, or 0 when no section holds it.
size_t rva_to_offset(const std::vector<Section>& sections, DWORD rva) {
  for (const Section& s : sections) {
    DWORD span = s.virtual_size > s.raw_size ? s.virtual_size : s.raw_size;
    if (rva >= s.virtual_address && rva - s.virtual_address < span)
      return size_t(rva - s.virtual_address) + s.raw_offset;
  }
  return 0;
}

}  // namespace

ImportList read_pe_imports(const std::vector<unsigned char>& file) {
  ImportList result;
  IMAGE_DOS_HEADER dos;
  if (!read_at(file, 0, dos) || dos.e_magic != IMAGE_DOS_SIGNATURE) return {false, "no MZ header", {}};
  size_t nt = size_t(DWORD(dos.e_lfanew));
  DWORD signature;
  IMAGE_FILE_HEADER coff;
  if (!read_at(file, nt, signature) || signature != IMAGE_NT_SIGNATURE || !read_at(file, nt + 4, coff))
    return {false, "no PE header", {}};
  size_t optional = nt + 4 + sizeof(IMAGE_FILE_HEADER);
  WORD magic;
  if (!read_at(file, optional, magic)) return {false, "no optional header", {}};
  IMAGE_DATA_DIRECTORY imports;
  size_t dir_at = optional + (magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC
                                  ? offsetof(IMAGE_OPTIONAL_HEADER64, DataDirectory)
                                  : offsetof(IMAGE_OPTIONAL_HEADER32, DataDirectory));
  if (!read_at(file, dir_at + IMAGE_DIRECTORY_ENTRY_IMPORT * sizeof(IMAGE_DATA_DIRECTORY), imports))
    return {false, "no import directory entry", {}};

  std::vector<Section> sections;
  size_t section_at = optional + coff.SizeOfOptionalHeader;
  for (WORD i = 0; i < coff.NumberOfSections; ++i) {
    IMAGE_SECTION_HEADER h;
    if (!read_at(file, section_at + i * sizeof h, h)) return {false, "section table cut short", {}};
    sections.push_back({h.VirtualAddress, h.Misc.VirtualSize, h.PointerToRawData, h.SizeOfRawData});
  }
  if (imports.VirtualAddress == 0) return {true, "", {}};
  size_t at = rva_to_offset(sections, imports.VirtualAddress);
  if (at == 0) return {false, "import directory outside every section", {}};

  for (int n = 0; n < 4096; ++n, at += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
    IMAGE_IMPORT_DESCRIPTOR d;
    if (!read_at(file, at, d)) return {false, "import directory cut short", {}};
    if (d.Name == 0) return {true, "", result.dlls};
    size_t name_at = rva_to_offset(sections, d.Name);
    size_t end = name_at;
    while (name_at != 0 && end < file.size() && file[end] != 0) ++end;
    if (name_at == 0 || end >= file.size()) return {false, "import name outside the file", {}};
    result.dlls.emplace_back(file.begin() + name_at, file.begin() + end);
  }
  return {false, "import directory has no end", {}};
}

bool is_known_dll(const std::string& name) {
  // ntdll.dll is mapped by the system itself into every process before any
  // search could happen.
  static const char* const known[] = {"ntdll.dll",
      "advapi32.dll", "clbcatq.dll",  "comdlg32.dll", "gdi32.dll",    "imagehlp.dll", "imm32.dll",
      "kernel32.dll", "msctf.dll",    "msvcrt.dll",   "normaliz.dll", "nsi.dll",      "ole32.dll",
      "oleaut32.dll", "psapi.dll",    "rpcrt4.dll",   "sechost.dll",  "setupapi.dll", "shell32.dll",
      "shlwapi.dll",  "user32.dll",   "wldap32.dll",  "ws2_32.dll"};
  for (const char* dll : known)
    if (lstrcmpiA(name.c_str(), dll) == 0) return true;
  return false;
}
