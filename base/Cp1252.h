// Windows-1252 texts written as UTF-8 in the source, whatever the compiler's
// execution character set.
//
//   SetCaption(u8"Löschoptionen"_cp1252);
//
// The suffix converts the UTF-8 literal to Windows-1252 bytes while
// compiling and yields a const char* to them (NUL-terminated, static
// storage). A character that Windows-1252 cannot spell, or a byte sequence
// that is not UTF-8, stops the build: the conversion throws, and a throw is
// not a constant expression. Texts that are plain ASCII need no suffix.
#pragma once
#include <cstddef>

namespace cp1252 {

// The literal's UTF-8 code units, as a template argument.
template <std::size_t N>
struct Utf8 {
  char8_t Units[N];
  consteval Utf8(const char8_t (&text)[N]) {
    for (std::size_t i = 0; i < N; ++i) Units[i] = text[i];
  }
};

// Converted bytes, NUL-padded: the text never grows in Windows-1252.
template <std::size_t N>
struct Bytes {
  char Chars[N] = {};
};

// The byte for a code point; 0x80 to 0x9F hold the typographic characters.
consteval unsigned char ByteOf(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<unsigned char>(c);
  constexpr char32_t high[32] = {
      0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,       // 88-8F
      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,  // 98-9F
  };
  for (unsigned i = 0; i < 32; ++i)
    if (high[i] != 0 && high[i] == c) return static_cast<unsigned char>(0x80 + i);
  throw "character has no Windows-1252 form";
}

template <std::size_t N>
consteval Bytes<N> Convert(const Utf8<N>& text) {
  Bytes<N> out;
  std::size_t o = 0;
  for (std::size_t i = 0; i + 1 < N;) {
    const unsigned lead = text.Units[i++];
    int more = lead < 0x80 ? 0 : (lead & 0xE0) == 0xC0 ? 1 : (lead & 0xF0) == 0xE0 ? 2 : (lead & 0xF8) == 0xF0 ? 3 : -1;
    if (more < 0) throw "not UTF-8";
    char32_t c = more == 0 ? lead : lead & (0x3F >> more);
    for (; more > 0; --more) {
      const unsigned next = i + 1 < N ? text.Units[i++] : 0;
      if ((next & 0xC0) != 0x80) throw "not UTF-8";
      c = (c << 6) | (next & 0x3F);
    }
    out.Chars[o++] = static_cast<char>(ByteOf(c));
  }
  return out;
}

template <Utf8 Text>
inline constexpr auto Converted = Convert(Text);

}  // namespace cp1252

template <cp1252::Utf8 Text>
consteval const char* operator""_cp1252() {
  return cp1252::Converted<Text>.Chars;
}
