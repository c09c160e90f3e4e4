#include "tests/support/glyphreader.h"

#include <algorithm>
#include <cmath>

#include "tests/support/testenv.h"

namespace testsupport {

namespace {

constexpr int kSquare = 16;     // drawn glyph square, frame pixels
constexpr int kCellWidth = 10;  // the pen's advance: one character's cell
constexpr int kPictureCell = 32;
// A cell is empty below this contrast or with fewer inked pixels than a
// full stop has (a star of the scene is one or two).
constexpr float kMinContrast = 0.4f;
constexpr int kMinInkPixels = 3;
constexpr float kMinCorrelation = 0.6f;

float Brightness(unsigned rgb) {
  const unsigned r = rgb >> 16 & 0xFF, g = rgb >> 8 & 0xFF, b = rgb & 0xFF;
  return static_cast<float>(std::max({r, g, b})) / 255.0f;
}

// Pearson correlation of two equally long samples; 0 when either is flat.
float Correlation(const std::vector<float>& a, const std::vector<float>& b) {
  const float n = static_cast<float>(a.size());
  float ma = 0, mb = 0;
  for (size_t i = 0; i < a.size(); ++i) ma += a[i], mb += b[i];
  ma /= n, mb /= n;
  float ab = 0, aa = 0, bb = 0;
  for (size_t i = 0; i < a.size(); ++i) {
    ab += (a[i] - ma) * (b[i] - mb);
    aa += (a[i] - ma) * (a[i] - ma);
    bb += (b[i] - mb) * (b[i] - mb);
  }
  return aa > 0 && bb > 0 ? ab / std::sqrt(aa * bb) : 0.0f;
}

}  // namespace

GlyphReader::GlyphReader() : GlyphReader(RunDir() + "/Images/Font.PNG") {}

GlyphReader::GlyphReader(const std::string& fontPath) {
  const Picture font = ReadPicture(fontPath);
  if (font.width != 16 * kPictureCell || font.height != 16 * kPictureCell) return;
  const int scale = kPictureCell / kSquare;
  // Printable ASCII only: cell n holds character n + 32.
  for (int code = 33; code <= 126; ++code) {
    const int cx = (code - 32) % 16 * kPictureCell, cy = (code - 32) / 16 * kPictureCell;
    Glyph glyph{static_cast<char>(code), {}};
    for (int y = 0; y < kSquare; ++y)
      for (int x = 0; x < kCellWidth; ++x) {
        float sum = 0;
        for (int dy = 0; dy < scale; ++dy)
          for (int dx = 0; dx < scale; ++dx)
            sum += Brightness(font.Rgb(cx + x * scale + dx, cy + y * scale + dy));
        glyph.ink.push_back(sum / (scale * scale));
      }
    glyphs_.push_back(std::move(glyph));
  }
}

std::string GlyphReader::Read(const Picture& shot, int x, int top, int count) const {
  std::string text;
  std::vector<float> cell(kCellWidth * kSquare);
  for (int i = 0; i < count; ++i) {
    const int left = x + i * kCellWidth;
    if (left < 0 || top < 0 || left + kCellWidth > shot.width || top + kSquare > shot.height) {
      text += ' ';
      continue;
    }
    for (int y = 0; y < kSquare; ++y)
      for (int dx = 0; dx < kCellWidth; ++dx)
        cell[y * kCellWidth + dx] = Brightness(shot.Rgb(left + dx, top + y));
    const float low = *std::min_element(cell.begin(), cell.end());
    const auto inked =
        std::count_if(cell.begin(), cell.end(), [&](float v) { return v - low >= kMinContrast; });
    if (inked < kMinInkPixels) {
      text += ' ';
      continue;
    }
    char best = '?';
    float bestScore = kMinCorrelation;
    for (const Glyph& g : glyphs_) {
      const float score = Correlation(cell, g.ink);
      if (score > bestScore) best = g.code, bestScore = score;
    }
    text += best;
  }
  return text;
}

std::string GlyphReader::ReadTrimmed(const Picture& shot, int x, int top, int count) const {
  std::string text = Read(shot, x, top, count);
  text.erase(text.find_last_not_of(' ') + 1);
  return text;
}

}  // namespace testsupport
