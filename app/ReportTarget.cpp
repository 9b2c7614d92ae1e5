#include "app/ReportTarget.h"

#include "base/Cp1252.h"
#include "base/SysUtils.h"
#include "platform/FileIdentity.h"

std::string ReportTargetProblem(const std::wstring& report, const std::wstring& settings,
                                const std::wstring& tempFolder) {
  using TKind = TPathTarget::TKind;
  TPlatform& platform = Platform();
  const std::string shown = AnsiText(report);
  TPathTarget target = ResolvePathTarget(platform, report);
  // The system turns a device name in any folder ("C:\x\nul.txt") into the
  // device's own path: that opens as a device or, where there is no such
  // device, leads to no folder.
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
