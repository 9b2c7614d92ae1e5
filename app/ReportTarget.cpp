#include "app/ReportTarget.h"

#include <cwctype>

#include "base/Cp1252.h"
#include "base/SysUtils.h"
#include "platform/FileIdentity.h"

namespace {

using TKind = TPathTarget::TKind;

std::wstring Upper(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(std::towupper(c));
  return text;
}

bool IsDriveRooted(const std::wstring& path) {
  return path.size() >= 3 && std::iswalpha(path[0]) && path[1] == L':' && path[2] == L'\\';
}

// The names the system keeps for devices: with any extension, in any folder.
bool IsReservedName(std::wstring part) {
  while (!part.empty() && (part.back() == L'.' || part.back() == L' ')) part.pop_back();
  std::wstring base = Upper(part.substr(0, part.find(L'.')));
  while (!base.empty() && base.back() == L' ') base.pop_back();
  for (const wchar_t* name : {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$", L"CLOCK$"})
    if (base == name) return true;
  return base.size() == 4 && (base.rfind(L"COM", 0) == 0 || base.rfind(L"LPT", 0) == 0) && base[3] >= L'1' &&
         base[3] <= L'9';
}

}  // namespace

bool IsDeviceName(const std::wstring& path) {
  std::wstring rest = path;
  for (wchar_t& c : rest)
    if (c == L'/') c = L'\\';
  if (rest.rfind(L"\\\\.\\", 0) == 0 || rest.rfind(L"\\\\?\\", 0) == 0) {
    rest = rest.substr(4);
    if (!IsDriveRooted(rest) && Upper(rest.substr(0, 4)) != L"UNC\\") return true;
  }
  std::size_t slash = rest.find_last_of(L'\\');
  std::wstring last = slash == std::wstring::npos ? rest : rest.substr(slash + 1);
  if (slash == std::wstring::npos && last.size() >= 2 && last[1] == L':') last = last.substr(2);  // "C:NUL"
  return IsReservedName(last);
}

std::string ReportTargetProblem(const std::wstring& report, const std::wstring& settings,
                                const std::wstring& tempFolder) {
  TPlatform& platform = Platform();
  const std::string shown = AnsiText(report);
  if (IsDeviceName(report)) return u8"Der Bericht kann nicht auf ein Gerät geschrieben werden: "_cp1252 + shown;
  TPathTarget target = ResolvePathTarget(platform, report);
  switch (target.Kind) {
    case TKind::Unreachable:
      return "Der Bericht kann dort nicht geschrieben werden: " + shown + " (" + SysErrorMessage(target.Error) + ")";
    case TKind::Device: return u8"Der Bericht kann nicht auf ein Gerät geschrieben werden: "_cp1252 + shown;
    case TKind::Folder: return "Der Bericht braucht einen Dateinamen, " + shown + " ist ein Ordner.";
    case TKind::File:
    case TKind::NewFile: break;
  }
  TFileIdentity identity;
  if (target.Kind == TKind::File && IdentityOf(platform, settings, identity) && identity == target.Identity)
    return "Der Bericht darf nicht die Einstellungsdatei ersetzen.";
  // A temporary folder that cannot be opened is not emptied either.
  if (!tempFolder.empty() && IdentityOf(platform, tempFolder, identity) &&
      IsWithinFolder(platform, target.Folder, identity))
    return "Der Bericht darf nicht in den Temp-Ordner, den die Reinigung leert.";
  return "";
}
