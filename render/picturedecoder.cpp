#include "render/picturedecoder.h"

namespace {

// Loads with `flags` from a fresh stream over the bytes.
FIBITMAP* LoadFrom(const unsigned char* bytes, size_t length, FREE_IMAGE_FORMAT format,
                   int flags) {
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
