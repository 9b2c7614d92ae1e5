// The _cp1252 suffix: UTF-8 literals become the Windows-1252 bytes the
// program's texts had when the compiler produced them itself.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <string_view>

#include "base/Cp1252.h"

// Checked while compiling: the German texts' letters, ASCII as it is.
static_assert(std::string_view(u8"Säubern"_cp1252) == "S\xE4ubern");
static_assert(std::string_view(u8"Ändere nach:"_cp1252) == "\xC4ndere nach:");
static_assert(std::string_view(u8"heißt, gelöscht, zusätzlich, müssen"_cp1252) ==
              "hei\xDFt, gel\xF6scht, zus\xE4tzlich, m\xFCssen");
static_assert(std::string_view(u8"ÖÜöü"_cp1252) == "\xD6\xDC\xF6\xFC");
static_assert(std::string_view(u8"€–—„“”‘’…™"_cp1252) == "\x80\x96\x97\x84\x93\x94\x91\x92\x85\x99");
static_assert(std::string_view(u8"&Close\t-\r\n"_cp1252) == "&Close\t-\r\n");
static_assert(std::string_view(u8""_cp1252).empty());

// Every character of Windows-1252 above ASCII, read back by the system's own
// code page 1252 conversion.
TEST(Cp1252Literal, EveryCharacterReadsBackAsItselfThroughCodePage1252) {
  const std::string narrow =
      u8"€‚ƒ„…†‡ˆ‰Š‹ŒŽ‘’“”•–—˜™š›œžŸ\u00A0¡¢£¤¥¦§¨©ª«¬\u00AD®¯°±²³´µ¶·¸¹º»¼½¾¿"
      u8"ÀÁÂÃÄÅÆÇÈÉÊËÌÍÎÏÐÑÒÓÔÕÖ×ØÙÚÛÜÝÞßàáâãäåæçèéêëìíîïðñòóôõö÷øùúûüýþÿ"_cp1252;
  const std::wstring wide =
      L"€‚ƒ„…†‡ˆ‰Š‹ŒŽ‘’“”•–—˜™š›œžŸ\u00A0¡¢£¤¥¦§¨©ª«¬\u00AD®¯°±²³´µ¶·¸¹º»¼½¾¿"
      L"ÀÁÂÃÄÅÆÇÈÉÊËÌÍÎÏÐÑÒÓÔÕÖ×ØÙÚÛÜÝÞßàáâãäåæçèéêëìíîïðñòóôõö÷øùúûüýþÿ";
  ASSERT_EQ(narrow.size(), 27u + 96u);  // one byte each
  std::wstring back(narrow.size(), L'\0');
  int length = MultiByteToWideChar(1252, MB_ERR_INVALID_CHARS, narrow.data(), int(narrow.size()), back.data(),
                                   int(back.size()));
  back.resize(length > 0 ? length : 0);
  EXPECT_TRUE(back == wide);
}
