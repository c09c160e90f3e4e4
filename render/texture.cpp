#include "render/texture.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "render/picturedecoder.h"

namespace {

// Larger pictures are refused: it keeps a hostile header from asking for gigabytes.
constexpr int32_t kMaxSide = static_cast<int32_t>(kMaxPictureSide);
constexpr size_t kFileHeaderSize = 14;
constexpr size_t kInfoHeaderSize = 40;
constexpr long kMaxFileSize = 3L * kMaxSide * kMaxSide + 4096;

uint16_t Read16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Read32(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

BmpFileHeader ParseFileHeader(const unsigned char* p) {
  BmpFileHeader h;
  h.type = Read16(p);
  h.size = Read32(p + 2);
  h.reserved1 = Read16(p + 6);
  h.reserved2 = Read16(p + 8);
  h.offBits = Read32(p + 10);
  return h;
}

BmpInfoHeader ParseInfoHeader(const unsigned char* p) {
  BmpInfoHeader h;
  h.size = Read32(p);
  h.width = static_cast<int32_t>(Read32(p + 4));
  h.height = static_cast<int32_t>(Read32(p + 8));
  h.planes = Read16(p + 12);
  h.bitCount = Read16(p + 14);
  h.compression = Read32(p + 16);
  h.sizeImage = Read32(p + 20);
  h.xPelsPerMeter = static_cast<int32_t>(Read32(p + 24));
  h.yPelsPerMeter = static_cast<int32_t>(Read32(p + 28));
  h.clrUsed = Read32(p + 32);
  h.clrImportant = Read32(p + 36);
  return h;
}

}  // namespace

TEXTURE::~TEXTURE() { Release(); }

void TEXTURE::Release() {
  std::free(data);
  data = nullptr;
  fileHeader = BmpFileHeader();
  infoHeader = BmpInfoHeader();
}

bool TEXTURE::Load(const std::string& path) {
  Release();
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  std::vector<unsigned char> bytes;
  bool ok = std::fseek(file, 0, SEEK_END) == 0;
  const long size = ok ? std::ftell(file) : -1;
  ok = ok && size >= 0 && size <= kMaxFileSize && std::fseek(file, 0, SEEK_SET) == 0;
  if (ok) {
    bytes.resize(static_cast<size_t>(size));
    ok = std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
  }
  std::fclose(file);
  return ok && LoadFromMemory(bytes.data(), bytes.size());
}

bool TEXTURE::LoadFromMemory(const unsigned char* bytes, size_t length) {
  Release();
  if (!bytes || length < kFileHeaderSize + kInfoHeaderSize) return false;
  BmpFileHeader file = ParseFileHeader(bytes);
  BmpInfoHeader info = ParseInfoHeader(bytes + kFileHeaderSize);
  // Only plain 24-bit pictures with at least the 40-byte information header.
  if (info.bitCount != 24 || info.compression != 0 || info.size < kInfoHeaderSize) return false;
  if (info.width <= 0 || info.width > kMaxSide || info.height == 0 || info.height < -kMaxSide ||
      info.height > kMaxSide) {
    return false;
  }
  const size_t width = static_cast<size_t>(info.width);
  const size_t height = static_cast<size_t>(info.height < 0 ? -info.height : info.height);
  const size_t rowBytes = width * 3;
  const size_t stride = (rowBytes + 3) & ~static_cast<size_t>(3);  // rows are padded to 4 bytes
  size_t offset = file.offBits;
  if (offset < kFileHeaderSize + info.size) offset = kFileHeaderSize + info.size;
  if (offset > length || (length - offset) / stride < height - 1 ||
      length - offset - stride * (height - 1) < rowBytes) {
    return false;  // truncated
  }
  unsigned char* pixels = static_cast<unsigned char*>(std::malloc(rowBytes * height));
  if (!pixels) return false;
  // `data` is always bottom-up; a negative height marks a top-down file.
  for (size_t row = 0; row < height; ++row) {
    const size_t source = info.height < 0 ? height - 1 - row : row;
    std::memcpy(pixels + row * rowBytes, bytes + offset + source * stride, rowBytes);
  }
  fileHeader = file;
  infoHeader = info;
  data = pixels;
  return true;
}
