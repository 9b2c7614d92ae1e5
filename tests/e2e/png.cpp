#include "png.h"

#include <cstdio>

uint32_t crc32(const uint8_t* data, size_t size, uint32_t crc) {
  crc = ~crc;
  for (size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

uint32_t adler32(const uint8_t* data, size_t size) {
  uint32_t a = 1, b = 0;
  for (size_t i = 0; i < size; ++i) {
    a = (a + data[i]) % 65521;
    b = (b + a) % 65521;
  }
  return (b << 16) | a;
}

static void put_be32(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(uint8_t(v >> 24));
  out.push_back(uint8_t(v >> 16));
  out.push_back(uint8_t(v >> 8));
  out.push_back(uint8_t(v));
}

// Length, type, data, and the CRC over type and data.
static void put_chunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
  put_be32(out, uint32_t(data.size()));
  size_t type_at = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  put_be32(out, crc32(out.data() + type_at, out.size() - type_at));
}

// A zlib stream of stored blocks (at most 65535 bytes each).
static std::vector<uint8_t> zlib_stored(const std::vector<uint8_t>& raw) {
  std::vector<uint8_t> out = {0x78, 0x01};
  size_t pos = 0;
  do {
    size_t len = raw.size() - pos < 65535 ? raw.size() - pos : 65535;
    bool last = pos + len == raw.size();
    out.push_back(last ? 1 : 0);
    out.push_back(uint8_t(len));
    out.push_back(uint8_t(len >> 8));
    out.push_back(uint8_t(~len));
    out.push_back(uint8_t(~len >> 8));
    out.insert(out.end(), raw.begin() + pos, raw.begin() + pos + len);
    pos += len;
  } while (pos < raw.size());
  put_be32(out, adler32(raw.data(), raw.size()));
  return out;
}

std::vector<uint8_t> encode_png(const Image& image) {
  std::vector<uint8_t> raw;
  raw.reserve(size_t(image.height) * (1 + 3 * size_t(image.width)));
  for (int y = 0; y < image.height; ++y) {
    raw.push_back(0);  // filter: none
    for (int x = 0; x < image.width; ++x) {
      uint32_t p = image.pixels[size_t(y) * image.width + x];
      raw.push_back(uint8_t(p >> 16));
      raw.push_back(uint8_t(p >> 8));
      raw.push_back(uint8_t(p));
    }
  }
  std::vector<uint8_t> header;
  put_be32(header, uint32_t(image.width));
  put_be32(header, uint32_t(image.height));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, no filter set, no interlace

  std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  put_chunk(out, "IHDR", header);
  put_chunk(out, "IDAT", zlib_stored(raw));
  put_chunk(out, "IEND", {});
  return out;
}

bool write_png(const std::string& path, const Image& image) {
  std::vector<uint8_t> bytes = encode_png(image);
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && written;
}
