#include "render/picturedecoder.h"

#include <cstdio>
#include <iostream>

#include "render/texture.h"

namespace {

// Loads with `flags` from a fresh stream over the bytes.
FIBITMAP* LoadFrom(const unsigned char* bytes, size_t length, FREE_IMAGE_FORMAT format, int flags) {
  FIMEMORY* memory = FreeImage_OpenMemory(const_cast<BYTE*>(bytes), static_cast<DWORD>(length));
  if (!memory) return nullptr;
  FIBITMAP* bitmap = FreeImage_LoadFromMemory(format, memory, flags);
  FreeImage_CloseMemory(memory);
  return bitmap;
}

// The header alone says how big the picture is. A format whose reader
// cannot stop at the header is refused: its size cannot be known in time.
bool SizeAllowed(const unsigned char* bytes, size_t length, FREE_IMAGE_FORMAT format) {
  if (!FreeImage_FIFSupportsNoPixels(format)) return false;
  FIBITMAP* header = LoadFrom(bytes, length, format, FIF_LOAD_NOPIXELS);
  if (!header) return false;
  const unsigned width = FreeImage_GetWidth(header), height = FreeImage_GetHeight(header);
  FreeImage_Unload(header);
  return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide;
}

}  // namespace

FIBITMAP* DecodePicture24(const unsigned char* bytes, size_t length) {
  if (!bytes || length == 0 || length > 0xFFFFFFFFu) return nullptr;
  FIMEMORY* probe = FreeImage_OpenMemory(const_cast<BYTE*>(bytes), static_cast<DWORD>(length));
  if (!probe) return nullptr;
  FREE_IMAGE_FORMAT format = FreeImage_GetFileTypeFromMemory(probe, 0);
  FreeImage_CloseMemory(probe);
  if (format == FIF_UNKNOWN) format = FIF_PNG;
  if (!SizeAllowed(bytes, length, format)) return nullptr;
  FIBITMAP* decoded = LoadFrom(bytes, length, format, 0);
  if (!decoded) return nullptr;
  if (FreeImage_GetBPP(decoded) == 24 && FreeImage_GetImageType(decoded) == FIT_BITMAP)
    return decoded;
  FIBITMAP* converted = FreeImage_ConvertTo24Bits(decoded);
  FreeImage_Unload(decoded);
  return converted;
}

namespace {

// Image files bigger than this are not game pictures.
constexpr long kMaxImageFile = 64L * 1024 * 1024;

bool ReadFileBytes(const std::string& path, std::vector<unsigned char>& bytes) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  bool ok = std::fseek(file, 0, SEEK_END) == 0;
  const long size = ok ? std::ftell(file) : -1;
  ok = ok && size > 0 && size <= kMaxImageFile && std::fseek(file, 0, SEEK_SET) == 0;
  if (ok) {
    bytes.resize(static_cast<size_t>(size));
    ok = std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
  }
  std::fclose(file);
  return ok;
}

// Writes the bitmap into an in-memory BMP and reads it back with TEXTURE.
bool ToTexture(FIBITMAP* bitmap, TEXTURE& texture) {
  FIMEMORY* memory = FreeImage_OpenMemory();
  if (!memory) return false;
  bool ok = FreeImage_SaveToMemory(FIF_BMP, bitmap, memory, 0) != 0;
  BYTE* bytes = nullptr;
  DWORD size = 0;
  ok = ok && FreeImage_AcquireMemory(memory, &bytes, &size) != 0;
  ok = ok && texture.LoadFromMemory(bytes, size);
  FreeImage_CloseMemory(memory);
  return ok;
}

// Exact black becomes transparent, every other colour opaque.
std::vector<unsigned char> ColorKeyed(const TEXTURE& texture) {
  const size_t pixels = static_cast<size_t>(texture.Width()) * texture.Height();
  std::vector<unsigned char> rgba(pixels * 4);
  const unsigned char* bgr = texture.data;
  for (size_t i = 0; i < pixels; ++i, bgr += 3) {
    rgba[i * 4 + 0] = bgr[2];
    rgba[i * 4 + 1] = bgr[1];
    rgba[i * 4 + 2] = bgr[0];
    rgba[i * 4 + 3] = (bgr[0] == 0 && bgr[1] == 0 && bgr[2] == 0) ? 0 : 255;
  }
  return rgba;
}

bool Fill(FIBITMAP* bitmap, DecodedPicture& picture) {
  if (picture.kind != PictureKind::kOpaque) {
    TEXTURE texture;
    if (!ToTexture(bitmap, texture)) return false;
    picture.width = texture.Width();
    picture.height = texture.Height();
    picture.pixels = ColorKeyed(texture);
    return true;
  }
  static_assert(FI_RGBA_RED == 2, "FreeImage stores blue-green-red on this platform");
  // FreeImage pads rows to 4 bytes, the alignment the upload unpacks with.
  picture.width = static_cast<int>(FreeImage_GetWidth(bitmap));
  picture.height = static_cast<int>(FreeImage_GetHeight(bitmap));
  const BYTE* bits = FreeImage_GetBits(bitmap);
  picture.pixels.assign(bits,
                        bits + static_cast<size_t>(FreeImage_GetPitch(bitmap)) * picture.height);
  return true;
}

}  // namespace

DecodedPicture DecodePictureFile(const std::string& path, PictureKind kind) {
  DecodedPicture picture;
  picture.kind = kind;
  std::vector<unsigned char> bytes;
  FIBITMAP* bitmap =
      ReadFileBytes(path, bytes) ? DecodePicture24(bytes.data(), bytes.size()) : nullptr;
  picture.ok = bitmap && Fill(bitmap, picture);
  if (bitmap) FreeImage_Unload(bitmap);
  if (!picture.ok) {
    picture.pixels.clear();
    std::cerr << "Could not load picture \"" << path << "\"\n";
  }
  return picture;
}
