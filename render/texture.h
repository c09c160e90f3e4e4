// TEXTURE: a 24-bit uncompressed BMP held in memory (rows bottom-up, each
// pixel blue, green, red, no row padding in `data`). Used as a step of
// colour-keyed loading and by tests. Hostile or truncated files are refused,
// never read past.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The two BMP headers exactly as stored on disk (little-endian fields).
struct BmpFileHeader {
  uint16_t type = 0;  // "BM"
  uint32_t size = 0;
  uint16_t reserved1 = 0;
  uint16_t reserved2 = 0;
  uint32_t offBits = 0;  // offset of the pixel data from the file start
};

struct BmpInfoHeader {
  uint32_t size = 0;
  int32_t width = 0;
  int32_t height = 0;  // positive: rows bottom-up
  uint16_t planes = 0;
  uint16_t bitCount = 0;
  uint32_t compression = 0;
  uint32_t sizeImage = 0;
  int32_t xPelsPerMeter = 0;
  int32_t yPelsPerMeter = 0;
  uint32_t clrUsed = 0;
  uint32_t clrImportant = 0;
};

class TEXTURE {
 public:
  BmpFileHeader fileHeader;
  BmpInfoHeader infoHeader;
  unsigned char* data = nullptr;  // width * height * 3 bytes, owned

  TEXTURE() = default;
  ~TEXTURE();
  TEXTURE(const TEXTURE&) = delete;
  TEXTURE& operator=(const TEXTURE&) = delete;

  // Reads a 24-bit uncompressed BMP file. False (and nothing held) for a
  // missing, truncated, non-24-bit, compressed or implausibly large file.
  bool Load(const std::string& path);
  // The same from bytes in memory.
  bool LoadFromMemory(const unsigned char* bytes, size_t length);
  // Frees the pixel data and clears both headers.
  void Release();

  int Width() const { return infoHeader.width; }
  int Height() const { return infoHeader.height < 0 ? -infoHeader.height : infoHeader.height; }
};
