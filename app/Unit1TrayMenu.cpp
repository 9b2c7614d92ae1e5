// The tray menu: its opening handler sets the proxy items from the
// registry; each command calls what the main window already does.
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
  Platform().MessageBoxA(Handle(),
                         "Die Automatische Proxykonfiguration wird in dieser Version noch nicht deaktiviert.",
                         "Information", MB_OK | MB_ICONINFORMATION);
}

void TForm1::Wiederherstellen1Click(TObject*) { MinTray1->RestoreFromTray(); }

void TForm1::Subern1Click(TObject*) { Button1Click(this); }

void TForm1::About1Click(TObject*) { Button3Click(this); }

void TForm1::Proxyausschalten1Click(TObject*) { DisableProxy(); }

void TForm1::Proxyeinschalten1Click(TObject*) { EnableProxy(); }

void TForm1::Programmbeenden1Click(TObject*) { Close(); }
