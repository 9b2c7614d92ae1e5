// Access keys and separator reduction of menus, as pure functions.
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "ui/MenuKeys.h"

namespace {

char KeySlotOf(char c) {
  auto u = static_cast<unsigned char>(c);
  if (u >= 'a' && u <= 'z') return static_cast<char>(u - 32);
  if ((u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9')) return static_cast<char>(u);
  return 0;
}

TEST(MenuKeys, HotkeyIsTheCharacterAfterTheFirstSingleAmpersand) {
  struct TCase {
    const char* Caption;
    char Key;
  } cases[] = {
      {"&Datei", 'D'},   {"Da&tei", 't'},  {"A&&B", 0},   {"A&&&B", 'B'}, {"&&&x&y", 'x'},
      {"Ende&", 0},      {"&", 0},         {"", 0},       {"S&\xE4ubern", '\xE4'}, {"&1 Eins", '1'},
  };
  for (const TCase& c : cases) EXPECT_EQ(GetHotkey(c.Caption), c.Key) << c.Caption;
}

TEST(MenuKeys, TrayMenuCaptionsGetTheKeysOfTheDesign) {
  std::vector<std::string> captions = {"Wiederherstellen", "S\xE4ubern", "About", "Proxy ausschalten",
                                       "Proxy einschalten", "Sie nutzen die Automatische Proxy Konfiguration.",
                                       "Programm beenden"};
  std::vector<std::string> expected = {"&Wiederherstellen", "&S\xE4ubern", "&About", "&Proxy ausschalten",
                                       "P&roxy einschalten", "S&ie nutzen die Automatische Proxy Konfiguration.",
                                       "Pr&ogramm beenden"};
  std::vector<std::string> keyed = AssignAccessKeys(captions);
  EXPECT_EQ(keyed, expected);
  // A later opening finds the keys there and keeps them.
  EXPECT_EQ(AssignAccessKeys(keyed), expected);
  // Without the information line, "Programm beenden" still gets O.
  EXPECT_EQ(AssignAccessKeys({"&Proxy ausschalten", "P&roxy einschalten", "Programm beenden"})[2],
            "Pr&ogramm beenden");
}

TEST(MenuKeys, KeptKeysDuplicatesUmlautsAndCase) {
  struct TCase {
    const char* Name;
    std::vector<std::string> Captions, Expected;
  } cases[] = {
      {"kept key is taken before new ones", {"Datei", "&Drucken"}, {"D&atei", "&Drucken"}},
      {"duplicate loses its ampersand", {"&Neu", "&Nochmal"}, {"&Neu", "N&ochmal"}},
      {"lower case counts as capital", {"&neu", "&Nein"}, {"&neu", "N&ein"}},
      {"umlaut key kept, nothing taken", {"&\xC4nderung", "\xC4pfel"}, {"&\xC4nderung", "\xC4&pfel"}},
      {"umlauts are never given", {"\xDC\xF6\xE4" "b"}, {"\xDC\xF6\xE4&b"}},
      {"digits are keys", {"1", "12"}, {"&1", "1&2"}},
      {"literal ampersand stays", {"A&&B", "C"}, {"&A&&B", "&C"}},
      {"a second single ampersand goes with the first", {"&Ab", "&A&b"}, {"&Ab", "A&b"}},
      {"key after a literal ampersand", {"&X", "x&&y"}, {"&X", "x&&&y"}},
      {"no character left", {"Ab", "Ab", "Ab"}, {"&Ab", "A&b", "Ab"}},
      {"no key character at all", {"\xE4\xF6\xFC", "- -"}, {"\xE4\xF6\xFC", "- -"}},
  };
  for (const TCase& c : cases) EXPECT_EQ(AssignAccessKeys(c.Captions), c.Expected) << c.Name;
}

TEST(MenuKeys, RetryPutsTheItemsLeftWithoutAKeyFirst) {
  // In menu order "AB" takes A and "A" finds nothing; the retry starts with
  // "A", and "AB" then gets B.
  EXPECT_EQ(AssignAccessKeys({"AB", "A"}), (std::vector<std::string>{"A&B", "&A"}));
  // Kept keys stay taken in every attempt; on a tie the earlier attempt wins.
  EXPECT_EQ(AssignAccessKeys({"&Bx", "AB", "A"}), (std::vector<std::string>{"&Bx", "&AB", "A"}));
  // Retries that cannot key everyone: the attempt with the most keys wins.
  EXPECT_EQ(AssignAccessKeys({"AB", "A", "A"}), (std::vector<std::string>{"A&B", "&A", "A"}));
}

TEST(MenuKeys, RandomCaptionsNeverCrashAndKeysStayUnique) {
  std::mt19937 random(20261208);
  for (int round = 0; round < 300; ++round) {
    std::vector<std::string> captions(1 + random() % 12);
    for (std::string& caption : captions) {
      caption.resize(random() % (round % 10 == 0 ? 2000 : 12));
      for (char& c : caption) c = static_cast<char>(random() % 4 == 0 ? '&' : random() % 256);
    }
    std::vector<std::string> keyed = AssignAccessKeys(captions);
    ASSERT_EQ(keyed.size(), captions.size());
    std::set<char> keys;
    for (std::size_t i = 0; i < keyed.size(); ++i) {
      // Only ampersands are added or removed.
      std::string before = captions[i], after = keyed[i];
      std::erase(before, '&');
      std::erase(after, '&');
      ASSERT_EQ(before, after);
      char key = KeySlotOf(GetHotkey(keyed[i]));
      if (key) {
        ASSERT_TRUE(keys.insert(key).second) << "key " << key << " given twice in round " << round;
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
      // The tray menu: N1, then N3 directly above N2; N3 is not shown.
      {"tray menu, N3 above N2",
       {item, item, item, sep, item, item, sep, sep, item},
       {true, true, true, true, true, true, false, true, true}},
      {"tray menu with the information line",
       {item, item, item, sep, item, item, item, sep, item},
       {true, true, true, true, true, true, true, true, true}},
      {"leading and trailing", {sep, sep, item, sep, sep}, {false, false, true, false, false}},
      {"repeated: only the last of a run", {item, sep, sep, sep, item}, {true, false, false, true, true}},
      {"hidden item between separators", {item, sep, hiddenItem, sep, item}, {true, false, false, true, true}},
      {"hidden separator takes no part", {item, hiddenSep, item}, {true, false, true}},
      {"only separators", {sep, sep}, {false, false}},
      {"nothing", {}, {}},
  };
  for (const TCase& c : cases) EXPECT_EQ(ReduceSeparators(c.Lines), c.Shown) << c.Name;
}

TEST(MenuSeparators, ASeparatorHiddenOnceIsShownAgainWhenAnItemStandsBeforeIt) {
  const TMenuLine item{true, false}, sep{true, true}, hiddenItem{false, false};
  EXPECT_EQ(ReduceSeparators({hiddenItem, sep, item}), (std::vector<bool>{false, false, true}));
  EXPECT_EQ(ReduceSeparators({item, sep, item}), (std::vector<bool>{true, true, true}));
}

}  // namespace
