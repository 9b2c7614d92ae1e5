// The tray menu's proxy items follow the registry each time the menu opens.
#include "app/Unit1.h"
#include "browser/Proxy.h"
#include "platform/Platform.h"

void TForm1::PopupMenu1Popup(TObject*) {
  std::string autoConfig = GetAutoConfigURL();
  N3->SetEnabled(false);
  N3->SetCaption("-");
  if (!autoConfig.empty()) {
    Proxyeinschalten1->SetEnabled(false);
    Proxyausschalten1->SetEnabled(false);
    N3->SetCaption("Sie nutzen die Automatische Proxy Konfiguration.");
    N3->SetEnabled(true);
  } else if (IsProxyEnabled()) {
    Proxyeinschalten1->SetEnabled(false);
    Proxyausschalten1->SetEnabled(true);
  } else {
    Proxyeinschalten1->SetEnabled(true);
    Proxyausschalten1->SetEnabled(false);
  }
}

void TForm1::N3Click(TObject*) {
  Platform().MessageBoxA(Handle(), "Die Automatische Proxykonfiguration wird in dieser Version noch nicht deaktiviert.",
              "Information", MB_OK | MB_ICONINFORMATION);
}
