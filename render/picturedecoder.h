// Decoding a picture file (PNG, or any format FreeImage recognises) to the
// pixels a texture is made of. The width and height are read from the
// file's header first, and a picture larger than kMaxPictureSide on either
// side is refused before any pixel memory is allocated: a 62-byte header
// could otherwise ask for gigabytes. Nothing here touches GL, so pictures
// can be decoded on any thread.
#pragma once

#include <FreeImage.h>

#include <cstddef>
#include <string>
#include <vector>

// Well above the biggest picture the game ships (1024 x 2048).
constexpr unsigned kMaxPictureSide = 8192;

// The decoded bitmap (the caller unloads it), 24 bits, rows bottom-up,
// blue-green-red; nullptr for bytes that are not a picture, are damaged, or
// describe one that is too large.
FIBITMAP* DecodePicture24(const unsigned char* bytes, size_t length);

// The game's three kinds of picture: opaque; colour-keyed (exact black
// transparent, every other colour opaque); colour-keyed with clamped edges.
enum class PictureKind { kOpaque, kColorKey, kColorKeyClamp };

// A picture ready for upload, rows bottom-up: an opaque one as
// blue-green-red rows padded to 4 bytes, a colour-keyed one as RGBA.
struct DecodedPicture {
  bool ok = false;  // false: the file could not be read or decoded
  PictureKind kind = PictureKind::kOpaque;
  int width = 0, height = 0;
  std::vector<unsigned char> pixels;
};

// Reads and decodes a picture file. A failure prints
// `Could not load picture "<path>"` on standard error.
DecodedPicture DecodePictureFile(const std::string& path, PictureKind kind);
