#include "contactsheet.h"

#include <FreeImage.h>

#include <algorithm>

#include "typeset.h"

namespace assetgen {

bool writeContactSheet(const std::vector<Thumb>& thumbs, const std::string& file) {
  const int cell = 208, label = 18, cols = 8;
  int rows = std::max(1, int((thumbs.size() + cols - 1) / cols));
  Image sheet(cols * cell, rows * (cell + label));
  sheet.fill(rgb8(70, 70, 78));
  Typeface face(kCondensedBold);
  Mask text(sheet.w, sheet.h);
  for (size_t i = 0; i < thumbs.size(); ++i) {
    int cx = int(i % cols) * cell, cy = int(i / cols) * (cell + label);
    const Image& t = thumbs[i].picture;
    drawImage(sheet, t, cx + (cell - t.w) / 2, cy + (cell - t.h) / 2);
    std::string name = thumbs[i].name;
    size_t slash = name.rfind('/');
    if (slash != std::string::npos) name = name.substr(slash + 1);
    face.draw(text, name, float(cx + 4), float(cy + cell + 13), 12.f);
  }
  paintMask(sheet, text, rgb8(255, 255, 255));
  std::vector<uint8_t> bytes = toRgb8(sheet, PicKind::Opaque);
  FIBITMAP* dib = FreeImage_Allocate(sheet.w, sheet.h, 24);
  for (int y = 0; y < sheet.h; ++y) {
    BYTE* line = FreeImage_GetScanLine(dib, sheet.h - 1 - y);
    for (int x = 0; x < sheet.w; ++x) {
      const uint8_t* o = &bytes[(size_t(y) * sheet.w + x) * 3];
      line[x * 3 + FI_RGBA_RED] = o[0];
      line[x * 3 + FI_RGBA_GREEN] = o[1];
      line[x * 3 + FI_RGBA_BLUE] = o[2];
    }
  }
  bool ok = FreeImage_Save(FIF_PNG, dib, file.c_str(), PNG_DEFAULT) != 0;
  FreeImage_Unload(dib);
  return ok;
}

}  // namespace assetgen
