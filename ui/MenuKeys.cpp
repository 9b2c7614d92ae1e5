#include "ui/MenuKeys.h"

#include <bitset>

namespace {

// Position of the key character (after the first single '&'), or npos.
std::size_t HotkeyPosition(const std::string& caption) {
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (i + 1 < caption.size() && caption[i + 1] == '&') {
      ++i;  // "&&" is a literal '&'
      continue;
    }
    return i + 1 < caption.size() ? i + 1 : std::string::npos;
  }
  return std::string::npos;
}

// The key's slot in "1234567890ABCDEFGHIJKLMNOPQRSTUVWXYZ", a to z as
// capitals; -1 for any other byte (umlauts included).
int KeySlot(char c) {
  auto u = static_cast<unsigned char>(c);
  if (u >= '1' && u <= '9') return u - '1';
  if (u == '0') return 9;
  if (u >= 'a' && u <= 'z') u = static_cast<unsigned char>(u - 'a' + 'A');
  if (u >= 'A' && u <= 'Z') return 10 + (u - 'A');
  return -1;
}

using TKeySet = std::bitset<36>;

// The caption without its single '&'s ("&&" stays), so that the one '&'
// inserted later is the first single one.
std::string WithoutSingleAmpersands(const std::string& caption) {
  std::string text;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] != '&') {
      text += caption[i];
    } else if (i + 1 < caption.size() && caption[i + 1] == '&') {
      text += "&&";
      ++i;
    }
  }
  return text;
}

// One handing out of keys to the items in ORDER, starting from TAKEN. Puts
// the position of the chosen character of each item into POSITIONS (npos
// when none was free) and returns how many items got a key.
int HandOut(const std::vector<std::string>& captions, const std::vector<std::size_t>& order, TKeySet taken,
            std::vector<std::size_t>& positions) {
  int keyed = 0;
  for (std::size_t item : order) {
    positions[item] = std::string::npos;
    const std::string& caption = captions[item];
    for (std::size_t i = 0; i < caption.size(); ++i) {
      int slot = KeySlot(caption[i]);
      if (slot < 0 || taken[slot]) continue;
      taken[slot] = true;
      positions[item] = i;
      ++keyed;
      break;
    }
  }
  return keyed;
}

}  // namespace

char GetHotkey(const std::string& caption) {
  std::size_t pos = HotkeyPosition(caption);
  return pos == std::string::npos ? '\0' : caption[pos];
}

std::vector<std::string> AssignAccessKeys(const std::vector<std::string>& captions) {
  std::vector<std::string> result = captions;
  TKeySet taken;
  std::vector<std::size_t> needing;
  for (std::size_t item = 0; item < result.size(); ++item) {
    std::string& caption = result[item];
    std::size_t pos = HotkeyPosition(caption);
    int slot = pos == std::string::npos ? -1 : KeySlot(caption[pos]);
    if (pos != std::string::npos && (slot < 0 || !taken[slot])) {
      // A key outside the set is kept and nothing is taken. A later single
      // '&' would mark a second character (drawing underlines the last one
      // marked, the menu's key search the first), so it goes.
      if (slot >= 0) taken[slot] = true;
      caption = caption.substr(0, pos + 1) + WithoutSingleAmpersands(caption.substr(pos + 1));
      continue;
    }
    // A duplicate loses its '&' (and any later single one, which would
    // otherwise become its key).
    caption = WithoutSingleAmpersands(caption);
    needing.push_back(item);
  }
  if (needing.empty()) return result;

  // First in menu order; when some items find no free character, again with
  // those items first, at most once per item needing a key.
  std::vector<std::size_t> order = needing;
  std::vector<std::size_t> positions(result.size()), best;
  int bestKeyed = -1;
  for (std::size_t attempt = 0; attempt <= needing.size(); ++attempt) {
    int keyed = HandOut(result, order, taken, positions);
    if (keyed > bestKeyed) {
      bestKeyed = keyed;
      best = positions;
    }
    if (keyed == static_cast<int>(needing.size())) break;
    std::vector<std::size_t> next;
    for (std::size_t item : order)
      if (positions[item] == std::string::npos) next.push_back(item);
    for (std::size_t item : order)
      if (positions[item] != std::string::npos) next.push_back(item);
    order = next;
  }
  for (std::size_t item : needing)
    if (best[item] != std::string::npos) result[item].insert(best[item], 1, '&');
  return result;
}

std::vector<bool> ReduceSeparators(const std::vector<TMenuLine>& lines) {
  std::vector<bool> shown(lines.size(), false);
  // A separator is shown when a shown non-separator stands before it (since
  // the last separator) and another one after it, with no shown separator
  // between it and that one.
  bool itemBefore = false;
  std::size_t pending = lines.size();  // the last separator seen since an item
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (!lines[i].Visible) continue;
    if (lines[i].Separator) {
      if (itemBefore) pending = i;
      continue;
    }
    if (pending < lines.size()) shown[pending] = true;
    pending = lines.size();
    shown[i] = true;
    itemBefore = true;
  }
  return shown;
}
