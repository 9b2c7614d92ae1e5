// A minimal PNG writer: 8-bit RGB, one IDAT of uncompressed ('stored') deflate blocks.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// A captured picture: top-down rows of 0x00RRGGBB pixels.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
};

uint32_t crc32(const uint8_t* data, size_t size, uint32_t crc = 0);
uint32_t adler32(const uint8_t* data, size_t size);
// The PNG file's bytes for the image.
std::vector<uint8_t> encode_png(const Image& image);
// Writes the PNG file; false when the file cannot be written.
bool write_png(const std::string& path, const Image& image);
