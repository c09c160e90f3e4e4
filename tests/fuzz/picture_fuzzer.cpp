// libFuzzer target for picture files as the game loads them: the header's
// size check and FreeImage's decoding to 24 bits, and the BMP reader behind
// colour-keyed pictures. What loads is within the size limit and whole.
#include <cstdint>
#include <cstdlib>

#include "render/picturedecoder.h"
#include "render/texture.h"

namespace {

void Check(bool promise) {
  if (!promise) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (FIBITMAP* bitmap = DecodePicture24(data, size)) {
    Check(FreeImage_GetWidth(bitmap) <= kMaxPictureSide);
    Check(FreeImage_GetHeight(bitmap) <= kMaxPictureSide);
    Check(FreeImage_GetBPP(bitmap) == 24 && FreeImage_GetBits(bitmap) != nullptr);
    FreeImage_Unload(bitmap);
  }
  TEXTURE texture;
  if (texture.LoadFromMemory(data, size)) {
    Check(texture.data != nullptr);
    Check(texture.Width() > 0 && texture.Width() <= static_cast<int>(kMaxPictureSide));
    Check(texture.Height() > 0 && texture.Height() <= static_cast<int>(kMaxPictureSide));
  }
  return 0;
}
