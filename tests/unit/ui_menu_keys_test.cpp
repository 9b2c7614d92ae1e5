// Access keys and separator reduction of menus, as pure functions.
#include <gtest/gtest.h>

#include <cctype>
#include <random>
#include <set>

#include "ui/MenuKeys.h"

namespace {

using TCaptions = std::vector<std::string>;

TEST(MenuKeys, HotkeyIsTheCharacterAfterTheFirstSingleAmpersand) {
  const std::pair<const char*, char> cases[] = {{"&Datei", 'D'}, {"Da&tei", 't'}, {"A&&B", 0},       {"A&&&B", 'B'},
                                                {"Ende&", 0},     {"", 0},         {"&\xE4x", '\xE4'}, {"&1", '1'}};
  for (const auto& [caption, key] : cases) EXPECT_EQ(GetHotkey(caption), key) << caption;
}

TEST(MenuKeys, TrayMenuCaptionsGetTheKeysOfTheDesignAndKeepThem) {
  TCaptions keyed = AssignAccessKeys({"Wiederherstellen", "S\xE4ubern", "About", "Proxy ausschalten",
                                      "Proxy einschalten", "Sie nutzen die Automatische Proxy Konfiguration.",
                                      "Programm beenden"});
  TCaptions expected = {"&Wiederherstellen", "&S\xE4ubern", "&About", "&Proxy ausschalten", "P&roxy einschalten",
                        "S&ie nutzen die Automatische Proxy Konfiguration.", "Pr&ogramm beenden"};
  EXPECT_EQ(keyed, expected);
  EXPECT_EQ(AssignAccessKeys(keyed), expected);  // a later opening finds them
}

TEST(MenuKeys, KeptKeysDuplicatesUmlautsAndTheRetry) {
  struct TCase {
    const char* Name;
    TCaptions Captions, Expected;
  } cases[] = {
      {"kept key taken before new ones", {"Datei", "&Drucken"}, {"D&atei", "&Drucken"}},
      {"duplicate loses its ampersand", {"&Neu", "&nochmal"}, {"&Neu", "n&ochmal"}},
      {"and a later single one with it", {"&Ab", "&A&b"}, {"&Ab", "A&b"}},
      {"a kept key marks one character", {"&A&b", "B&"}, {"&Ab", "&B"}},
      {"so does a key outside the set", {"&\xE4&b", "b"}, {"&\xE4" "b", "&b"}},
      {"umlaut key kept, nothing taken", {"&\xC4nderung", "\xC4pfel"}, {"&\xC4nderung", "\xC4&pfel"}},
      {"umlauts never given", {"\xDC\xF6\xE4" "b", "\xE4\xF6"}, {"\xDC\xF6\xE4&b", "\xE4\xF6"}},
      {"digits are keys", {"1", "12"}, {"&1", "1&2"}},
      {"key after a literal ampersand", {"&X", "x&&y"}, {"&X", "x&&&y"}},
      {"retry: items left without a key first", {"AB", "A"}, {"A&B", "&A"}},
      {"retry: the attempt with most keys", {"AB", "A", "A"}, {"A&B", "&A", "A"}},
      {"retry: kept keys stay taken", {"&Bx", "AB", "A"}, {"&Bx", "&AB", "A"}},
  };
  for (const TCase& c : cases) EXPECT_EQ(AssignAccessKeys(c.Captions), c.Expected) << c.Name;
}

TEST(MenuKeys, RandomCaptionsNeverCrashAndKeysStayUnique) {
  std::mt19937 random(20261208);
  for (int round = 0; round < 300; ++round) {
    TCaptions captions(1 + random() % 12);
    for (std::string& caption : captions) {
      caption.resize(random() % (round % 10 == 0 ? 2000 : 12));
      for (char& c : caption) c = static_cast<char>(random() % 4 == 0 ? '&' : random() % 256);
    }
    TCaptions keyed = AssignAccessKeys(captions);
    ASSERT_EQ(keyed.size(), captions.size());
    std::set<int> keys;
    for (std::size_t i = 0; i < keyed.size(); ++i) {
      std::string before = captions[i], after = keyed[i];
      std::erase(before, '&');
      std::erase(after, '&');
      ASSERT_EQ(before, after) << "only ampersands change";
      int key = std::toupper(static_cast<unsigned char>(GetHotkey(keyed[i])));
      if (key < 128 && std::isalnum(key)) {
        ASSERT_TRUE(keys.insert(key).second) << "key " << char(key) << " twice in round " << round;
      }
    }
  }
}

TEST(MenuSeparators, ReductionTable) {
  const TMenuLine item{true, false}, sep{true, true}, hiddenItem{false, false}, hiddenSep{false, true};
  struct TCase {
    const char* Name;
    std::vector<TMenuLine> Lines;
    std::vector<bool> Shown;
  } cases[] = {
      {"tray menu: N3 above N2 is not shown",
       {item, item, item, sep, item, item, sep, sep, item},
       {true, true, true, true, true, true, false, true, true}},
      {"leading and trailing", {sep, sep, item, sep, sep}, {false, false, true, false, false}},
      {"repeated: only the last of a run", {item, sep, sep, sep, item}, {true, false, false, true, true}},
      {"hidden item between separators", {item, sep, hiddenItem, sep, item}, {true, false, false, true, true}},
      {"hidden separator", {item, hiddenSep, item}, {true, false, true}},
      {"hidden once (nothing before it)", {hiddenItem, sep, item}, {false, false, true}},
      {"shown again (an item now before it)", {item, sep, item}, {true, true, true}},
      {"nothing", {}, {}},
  };
  for (const TCase& c : cases) EXPECT_EQ(ReduceSeparators(c.Lines), c.Shown) << c.Name;
}

}  // namespace
