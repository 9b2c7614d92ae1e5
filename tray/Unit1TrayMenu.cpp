// The tray menu's commands: each calls what the main window already does.
#include "app/Unit1.h"
#include "browser/Proxy.h"

void TForm1::Wiederherstellen1Click(TObject*) { MinTray1->RestoreFromTray(); }

void TForm1::Subern1Click(TObject*) { Button1Click(this); }

void TForm1::About1Click(TObject*) { Button3Click(this); }

void TForm1::Proxyausschalten1Click(TObject*) { DisableProxy(); }

void TForm1::Proxyeinschalten1Click(TObject*) { EnableProxy(); }

void TForm1::Programmbeenden1Click(TObject*) { Close(); }
