// Decoding a picture file's bytes (PNG, or any format FreeImage recognises)
// to a 24-bit bitmap, rows bottom-up, blue-green-red. The width and height
// are read from the file's header first, and a picture larger than
// kMaxPictureSide on either side is refused before any pixel memory is
// allocated: a 62-byte header could otherwise ask for gigabytes.
#pragma once

#include <FreeImage.h>

#include <cstddef>

// Well above the biggest picture the game ships (1024 x 2048).
constexpr unsigned kMaxPictureSide = 8192;

// The decoded bitmap (the caller unloads it), or nullptr for bytes that are
// not a picture, are damaged, or describe one that is too large.
FIBITMAP* DecodePicture24(const unsigned char* bytes, size_t length);
