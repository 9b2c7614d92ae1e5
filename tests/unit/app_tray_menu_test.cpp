// The main window's tray icon and tray menu: the stored items and the
// opening handler for each registry state (the commands are worked from
// outside by the end-to-end tray checks).
#include <gtest/gtest.h>

#include <memory>

#include "app/Unit1.h"
#include "browser/Proxy.h"
#include "clean/Cleaning.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/app_support.h"
#include "base/Cp1252.h"
#include "base/SysUtils.h"

using app_support::Sandbox;
using app_support::WhenIdle;

namespace {

std::string Dword(DWORD value) { return std::string(reinterpret_cast<const char*>(&value), sizeof value); }

class TrayMenu : public ::testing::Test {
protected:
  void SetUp() override {
    std::string folder = Sandbox(::testing::UnitTest::GetInstance()->current_test_info()->name());
    Fake.ModuleName = folder + "spurwisch.exe";
    Fake.TempPath = folder + "Temp\\";
    Fake.Registry[InternetSettingsKey];  // the key exists, with no values
    {
      app_support::TSplashCloser closer;
      Form.reset(new TForm1(Application));
    }
  }
  void TearDown() override {
    Form.reset();
    ReleaseHistory();
    RunFinished = false;
  }
  void SetValue(const char* name, DWORD type, const std::string& data) {
    Fake.Registry[InternetSettingsKey][name] = {type, data};
  }
  // Opens the menu as the tray component does and closes it again at once;
  // returns the captions of the built menu, "-" for lines.
  std::vector<std::string> Open() {
    WhenIdle([] { EndMenu(); });
    Form->PopupMenu1->Popup(20, 20);
    std::vector<std::string> shown;
    for (int i = 0; i < Form->PopupMenu1->Items()->Count(); ++i)
      if (TMenuItem* item = Form->PopupMenu1->Items()->Items(i); item->Shown()) shown.push_back(item->Caption());
    EXPECT_EQ(GetMenuItemCount(Form->PopupMenu1->Handle()), static_cast<int>(shown.size()));
    return shown;
  }

  TFakePlatform Fake;
  TPlatformGuard Guard{Fake};
  std::unique_ptr<TForm1, TComponentFree> Form;
};

}  // namespace

TEST_F(TrayMenu, TheWindowStoresTheTrayIconAndTheNineItems) {
  TMinTray* tray = Form->MinTray1;
  EXPECT_EQ(tray->Hint(), "Doppelklickzum wiederherstellen");
  EXPECT_EQ(tray->PopupMenu(), Form->PopupMenu1);
  EXPECT_TRUE(tray->HideWhenMinimized());
  EXPECT_EQ(tray->RestoreMode(), rmDblClick);
  EXPECT_EQ(tray->TrayMode(), tmOnMinimize);
  EXPECT_TRUE(tray->Hooked());
  EXPECT_FALSE(tray->IconShown());
  EXPECT_TRUE(Form->PopupMenu1->OwnerDraw());

  struct TItem {
    TMenuItem* Item;
    const char* Name;
    const char* Caption;
    bool Enabled;
  } items[] = {{Form->Wiederherstellen1, "Wiederherstellen1", "Wiederherstellen", true},
               {Form->Subern1, "Subern1", u8"Säubern"_cp1252, true},
               {Form->About1, "About1", "About", true},
               {Form->N1, "N1", "-", true},
               {Form->Proxyausschalten1, "Proxyausschalten1", "Proxy ausschalten", true},
               {Form->Proxyeinschalten1, "Proxyeinschalten1", "Proxy einschalten", true},
               {Form->N3, "N3", "-", false},
               {Form->N2, "N2", "-", true},
               {Form->Programmbeenden1, "Programmbeenden1", "Programm beenden", true}};
  ASSERT_EQ(Form->PopupMenu1->Items()->Count(), 9);
  for (int i = 0; i < 9; ++i) {
    SCOPED_TRACE(items[i].Name);
    EXPECT_EQ(Form->PopupMenu1->Items()->Items(i), items[i].Item);
    EXPECT_EQ(items[i].Item->Name(), items[i].Name);
    EXPECT_EQ(items[i].Item->Caption(), items[i].Caption);
    EXPECT_EQ(items[i].Item->Enabled(), items[i].Enabled);
  }
}

TEST_F(TrayMenu, OpeningSetsTheProxyItemsKeysAndLinesFromTheRegistry) {
  const std::vector<std::string> plain = {"&Wiederherstellen", u8"&Säubern"_cp1252, "&About", "-", "&Proxy ausschalten",
                                          "P&roxy einschalten", "-", "Pr&ogramm beenden"};
  std::vector<std::string> automatic = plain;
  automatic.insert(automatic.begin() + 6, "S&ie nutzen die Automatische Proxy Konfiguration.");
  struct TCase {
    const char* State;
    const char* AutoConfig;  // nullptr: no value
    const char* Proxy;       // nullptr: no value
    bool Off, On, N3;
  } cases[] = {
      {"no values", nullptr, nullptr, false, true, false},
      {"ProxyEnable 1", nullptr, "\x01", true, false, false},
      {"ProxyEnable 0", nullptr, "\x00", false, true, false},
      {"ProxyEnable 2", nullptr, "\x02", true, false, false},
      {"empty AutoConfigURL", "", "\x01", true, false, false},
      {"AutoConfigURL set", "http://wpad/proxy.pac", "\x01", false, false, true},
      {"AutoConfigURL, ProxyEnable unreadable", "http://wpad/proxy.pac", "text", false, false, true},
      {"AutoConfigURL removed again", nullptr, "\x00", false, true, false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.State);
    Fake.Registry[InternetSettingsKey].clear();
    if (c.AutoConfig) SetValue(AutoConfigURLValue, REG_SZ, std::string(c.AutoConfig) + '\0');
    if (c.Proxy && std::string(c.Proxy) == "text")
      SetValue(ProxyEnableValue, REG_SZ, "1");
    else if (c.Proxy)
      SetValue(ProxyEnableValue, REG_DWORD, Dword(static_cast<unsigned char>(c.Proxy[0])));
    std::vector<std::string> shown = Open();
    EXPECT_EQ(Form->Proxyausschalten1->Enabled(), c.Off);
    EXPECT_EQ(Form->Proxyeinschalten1->Enabled(), c.On);
    EXPECT_EQ(Form->N3->Enabled(), c.N3);
    EXPECT_EQ(shown, c.N3 ? automatic : plain);
    // What a screen reader finds in each built item, the information line's
    // text as it stands at this opening.
    for (int i = 0; i < GetMenuItemCount(Form->PopupMenu1->Handle()); ++i) {
      MENUITEMINFOA info{};
      info.cbSize = sizeof info;
      info.fMask = MIIM_DATA;
      GetMenuItemInfoA(Form->PopupMenu1->Handle(), i, TRUE, &info);
      EXPECT_EQ(app_support::ReaderText(info.dwItemData), shown[i] == "-" ? L"(none)" : WideText(shown[i]));
    }
  }
}

TEST_F(TrayMenu, AnUnreadableValueKeepsTheMenuShutAndReportsWhy) {
  SetValue(ProxyEnableValue, REG_DWORD, Dword(1));
  Open();  // "Proxy ausschalten" enabled, "Proxy einschalten" disabled
  struct TCase {
    const char* Name;
    DWORD Type;
    std::string Data;
    const char* Error;
  } cases[] = {
      {ProxyEnableValue, REG_SZ, std::string("1\0", 2), "Invalid data type for 'ProxyEnable'"},
      {ProxyEnableValue, REG_BINARY, "abcd", "Invalid data type for 'ProxyEnable'"},
      {ProxyEnableValue, REG_BINARY, "abcdefgh", "Failed to get data for 'ProxyEnable'"},
      {AutoConfigURLValue, REG_DWORD, Dword(7), "Invalid data type for 'AutoConfigURL'"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Error);
    Fake.Registry[InternetSettingsKey].clear();
    SetValue(c.Name, c.Type, c.Data);
    HMENU before = Form->PopupMenu1->Handle();
    try {
      Form->PopupMenu1->Popup(20, 20);
      ADD_FAILURE() << "the menu opened";
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), c.Error);
    }
    EXPECT_EQ(Form->PopupMenu1->Handle(), before) << "nothing built";
    EXPECT_EQ(Form->N3->Caption(), "-");
    EXPECT_FALSE(Form->N3->Enabled());
    EXPECT_TRUE(Form->Proxyausschalten1->Enabled()) << "the proxy items keep their states";
    EXPECT_FALSE(Form->Proxyeinschalten1->Enabled());
  }
}
