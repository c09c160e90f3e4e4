// The generated data files in the run directory: every file start-up loads is
// there under its exact name and decodes; colour-keyed pictures keep exact
// black for their background only; the font grid, the screen layouts, the
// sounds and the music loop hold what the game relies on; and generating
// twice gives the same bytes.
#include <FreeImage.h>
#include <gtest/gtest.h>
#include <sndfile.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const fs::path kRun = VOIDRAKE_RUN_DIR;

struct Picture {
  int w = 0, h = 0;
  std::vector<uint8_t> rgb;  // rows top-down
  const uint8_t* at(int x, int y) const { return &rgb[(size_t(y) * w + x) * 3]; }
  bool black(int x, int y) const {
    return at(x, y)[0] == 0 && at(x, y)[1] == 0 && at(x, y)[2] == 0;
  }
  int brightness(int x, int y) const { return std::max({at(x, y)[0], at(x, y)[1], at(x, y)[2]}); }
};

bool loadPicture(const fs::path& path, Picture& out) {
  FIBITMAP* dib = FreeImage_Load(FIF_PNG, path.c_str(), 0);
  if (!dib) return false;
  FIBITMAP* rgb = FreeImage_ConvertTo24Bits(dib);
  FreeImage_Unload(dib);
  out.w = int(FreeImage_GetWidth(rgb));
  out.h = int(FreeImage_GetHeight(rgb));
  out.rgb.resize(size_t(out.w) * out.h * 3);
  for (int y = 0; y < out.h; ++y) {
    const BYTE* line = FreeImage_GetScanLine(rgb, out.h - 1 - y);
    for (int x = 0; x < out.w; ++x) {
      uint8_t* o = &out.rgb[(size_t(y) * out.w + x) * 3];
      o[0] = line[x * 3 + FI_RGBA_RED], o[1] = line[x * 3 + FI_RGBA_GREEN],
      o[2] = line[x * 3 + FI_RGBA_BLUE];
    }
  }
  FreeImage_Unload(rgb);
  return true;
}

Picture picture(const std::string& rel) {
  Picture p;
  EXPECT_TRUE(loadPicture(kRun / rel, p)) << rel;
  return p;
}

// Sprite-like colour-keyed pictures: drawn alone, so their border is background.
const std::vector<std::string> kKeyedSprites = {"tsf_gunship.png", "RedBorder.PNG",
                                                "Barrier.PNG",     "Laser.PNG",
                                                "Rocket.PNG",      "YellowLaser.PNG",
                                                "BlueLaser.PNG",   "lit1.PNG",
                                                "lit2.PNG",        "GaussTrail.PNG",
                                                "Mine.PNG",        "BigBullet.PNG",
                                                "LowHealth.PNG",   "MidHealth.PNG",
                                                "GoodHealth.PNG",  "Arrow.PNG",
                                                "Font.PNG",        "PLanetDestroyer.PNG",
                                                "tsf_stealth.PNG", "BigBullet3.PNG",
                                                "EngineTrail.PNG", "Gauss.PNG",
                                                "ArrowUp.PNG",     "ArrowDown.PNG",
                                                "Shrapnel.PNG",    "quadscout1_linked.PNG",
                                                "spot.PNG",        "spot3.PNG",
                                                "spot4.PNG",       "spot5.PNG",
                                                "spot6.PNG",       "block01.PNG",
                                                "block02.PNG",     "block03.PNG",
                                                "gauss2.PNG",      "smoke001.PNG",
                                                "smoke002.PNG",    "smoke003.PNG"};
// Keyed pictures that are laid edge to edge (walls, carrier tiles) or fill the screen.
const std::vector<std::string> kKeyedTiles = {
    "LoadingStretch.png", "horz.PNG",   "vert.PNG",   "joint.PNG",  "InDep1.PNG", "InDep2.PNG",
    "InDep3.PNG",         "InDep4.PNG", "InDep5.PNG", "InDep6.PNG", "InDep7.PNG", "InDep8.PNG"};
const std::vector<std::string> kFullScreen = {"screenintro3s.PNG", "screenintro4s.PNG",
                                              "screenintro5s.PNG", "Join Screen.PNG",
                                              "back.PNG",          "LoadingStretch.png"};

struct Sequence {
  std::string prefix;
  int first, last;
  bool padded;
};
const std::vector<Sequence> kSequences = {
    {"LoopedTextures/Explosion1/", 1, 30, false},
    {"LoopedTextures/Smoke/Smoke_00", 0, 39, true},
    {"LoopedTextures/SpaceExplosion/SpaceExplosion128_00", 0, 29, true},
    {"LoopedTextures/Flame/TorchFlameBase_00", 0, 19, true},
    {"LoopedTextures/BlueCrap/ShockRifle_00", 0, 19, true}};

std::string frameName(const Sequence& s, int n) {
  std::string num = std::to_string(n);
  if (s.padded && n < 10) num = "0" + num;
  return s.prefix + num + ".PNG";
}

const std::vector<std::string> kEffects = {"RL.wav",         "thunder.wav", "blasters.wav",
                                           "Big_Lasers.wav", "Minigun.wav", "Sniper.wav",
                                           "Crash.wav",      "Hurt.wav"};
const char* const kMusic = "sounds/01 Falling off the captain's log.ogg";

struct Sound {
  SF_INFO info{};
  std::vector<float> samples;  // interleaved
};

bool loadSound(const fs::path& path, Sound& s) {
  SNDFILE* f = sf_open(path.c_str(), SFM_READ, &s.info);
  if (!f) return false;
  s.samples.resize(size_t(s.info.frames) * s.info.channels);
  sf_count_t got = sf_readf_float(f, s.samples.data(), s.info.frames);
  sf_close(f);
  return got == s.info.frames;
}

// Pixels of exact black that cannot be reached from the border through other
// black pixels: holes that the colour key would punch into a shape.
int enclosedBlack(const Picture& p) {
  std::vector<uint8_t> seen(size_t(p.w) * p.h, 0);
  std::vector<std::pair<int, int>> stack;
  for (int x = 0; x < p.w; ++x) stack.push_back({x, 0}), stack.push_back({x, p.h - 1});
  for (int y = 0; y < p.h; ++y) stack.push_back({0, y}), stack.push_back({p.w - 1, y});
  while (!stack.empty()) {
    auto [x, y] = stack.back();
    stack.pop_back();
    if (x < 0 || y < 0 || x >= p.w || y >= p.h || seen[size_t(y) * p.w + x] || !p.black(x, y))
      continue;
    seen[size_t(y) * p.w + x] = 1;
    stack.insert(stack.end(), {{x + 1, y}, {x - 1, y}, {x, y + 1}, {x, y - 1}});
  }
  int holes = 0;
  for (int y = 0; y < p.h; ++y)
    for (int x = 0; x < p.w; ++x) holes += p.black(x, y) && !seen[size_t(y) * p.w + x];
  return holes;
}

int brightPixels(const Picture& p, int x0, int y0, int x1, int y1, int level) {
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) n += p.brightness(x, y) >= level;
  return n;
}

int maxBrightness(const Picture& p, int x0, int y0, int x1, int y1) {
  int m = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) m = std::max(m, p.brightness(x, y));
  return m;
}

}  // namespace

TEST(Assets, EveryStartUpFileExistsUnderItsExactNameAndDecodes) {
  std::vector<std::string> pictures = kKeyedSprites;
  pictures.insert(pictures.end(), kKeyedTiles.begin(), kKeyedTiles.end());
  pictures.insert(pictures.end(), kFullScreen.begin(), kFullScreen.end() - 1);
  pictures.push_back("PureWhite.PNG");
  EXPECT_EQ(pictures.size(), 56u);  // the 63 slots less the repeated registrations
  for (const std::string& name : pictures) {
    Picture p;
    ASSERT_TRUE(loadPicture(kRun / "Images" / name, p)) << name;
    EXPECT_GT(p.w, 0) << name;
  }
  for (const Sequence& s : kSequences)
    for (int n = s.first; n <= s.last; ++n) {
      Picture p;
      EXPECT_TRUE(loadPicture(kRun / frameName(s, n), p)) << frameName(s, n);
    }
  for (const std::string& name : kEffects) {
    Sound s;
    EXPECT_TRUE(loadSound(kRun / "Sounds" / name, s)) << name;
  }
  Sound music;
  EXPECT_TRUE(loadSound(kRun / kMusic, music));
  // Exact letter case matters on this system: the lower-case "sounds" and the
  // capitalised "Sounds" are two directories.
  EXPECT_TRUE(fs::is_directory(kRun / "Sounds"));
  EXPECT_TRUE(fs::is_directory(kRun / "sounds"));
}

TEST(Assets, FullScreenPicturesAreScreenSized) {
  for (const std::string& name : kFullScreen) {
    Picture p = picture("Images/" + name);
    EXPECT_EQ(p.w, 1024) << name;
    EXPECT_EQ(p.h, 768) << name;
  }
}

TEST(Assets, KeyedSpritesHaveBlackBackgroundAroundVisibleContent) {
  for (const std::string& name : kKeyedSprites) {
    Picture p = picture("Images/" + name);
    int border = 0, content = 0;
    for (int y = 0; y < p.h; ++y)
      for (int x = 0; x < p.w; ++x) {
        bool edge = x == 0 || y == 0 || x == p.w - 1 || y == p.h - 1;
        if (edge)
          border += !p.black(x, y);
        else
          content += !p.black(x, y);
      }
    EXPECT_EQ(border, 0) << name << ": the border shows";
    EXPECT_GT(content, p.w * p.h / 50) << name << ": hardly anything drawn";
  }
}

TEST(Assets, ShipsAreSolidNoseUpShapes) {
  for (const char* name : {"tsf_gunship.png", "tsf_stealth.PNG", "quadscout1_linked.PNG"}) {
    Picture p = picture(std::string("Images/") + name);
    EXPECT_EQ(enclosedBlack(p), 0) << name << ": the colour key would punch holes into the hull";
    // Nose up: the topmost drawn pixels sit on the middle column.
    int top = -1, left = p.w, right = -1;
    for (int y = 0; y < p.h && top < 0; ++y)
      for (int x = 0; x < p.w; ++x)
        if (!p.black(x, y)) top = y, left = std::min(left, x), right = std::max(right, x);
    ASSERT_GE(top, 0) << name;
    EXPECT_NEAR((left + right) / 2.0, p.w / 2.0, p.w * 0.08) << name;
    EXPECT_LT(right - left, p.w / 6) << name << ": the nose should be a point";
  }
}

TEST(Assets, CarrierTilesJoinWithoutSeams) {
  std::vector<Picture> tiles;
  for (int i = 1; i <= 8; ++i)
    tiles.push_back(picture("Images/InDep" + std::to_string(i) + ".PNG"));
  auto edgeDifference = [](const Picture& a, const Picture& b, bool sideBySide) {
    double sum = 0;
    int n = sideBySide ? a.h : a.w;
    for (int i = 0; i < n; ++i) {
      const uint8_t* pa = sideBySide ? a.at(a.w - 1, i) : a.at(i, a.h - 1);
      const uint8_t* pb = sideBySide ? b.at(0, i) : b.at(i, 0);
      for (int c = 0; c < 3; ++c) sum += std::abs(pa[c] - pb[c]);
    }
    return sum / (n * 3);
  };
  for (int row = 0; row < 4; ++row)
    EXPECT_LT(edgeDifference(tiles[row * 2], tiles[row * 2 + 1], true), 12.0) << "row " << row;
  for (int i = 0; i < 6; ++i)
    EXPECT_LT(edgeDifference(tiles[i], tiles[i + 2], false), 12.0) << "tile " << i + 1;
  int hull = 0;
  for (const Picture& t : tiles) hull += enclosedBlack(t) == 0;
  EXPECT_EQ(hull, 8) << "holes in the carrier's hull";
}

TEST(Assets, FontGridHoldsOneGlyphPerCellWithoutBleeding) {
  Picture font = picture("Images/Font.PNG");
  ASSERT_EQ(font.w, font.h);
  ASSERT_EQ(font.w % 16, 0);
  const int cell = font.w / 16;
  ASSERT_GE(cell, 32);
  auto ink = [&](int n, int& x0, int& y0, int& x1, int& y1) {
    int cx = (n % 16) * cell, cy = (n / 16) * cell, count = 0;
    x0 = y0 = cell, x1 = y1 = -1;
    for (int y = 0; y < cell; ++y)
      for (int x = 0; x < cell; ++x)
        if (!font.black(cx + x, cy + y)) {
          ++count;
          x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
        }
    return count;
  };
  int x0, y0, x1, y1;
  EXPECT_EQ(ink(0, x0, y0, x1, y1), 0) << "the space must be empty";
  for (int n = 0; n < 256; ++n) {
    int count = ink(n, x0, y0, x1, y1);
    unsigned code = unsigned(n) + 32;
    bool printable = (code > 32 && code < 127) || (code > 160 && code < 256);
    EXPECT_EQ(count > 0, printable) << "cell " << n << " (code " << code << ")";
    if (count > 0) {
      // A clear ring: linear filtering of this cell never reaches a neighbour's ink.
      EXPECT_GE(std::min(x0, y0), 1) << "cell " << n;
      EXPECT_LE(std::max(x1, y1), cell - 2) << "cell " << n;
    }
  }
  // "A" (cell 33): left-aligned in the lower part, within the 10-of-16 pitch.
  ASSERT_GT(ink('A' - 32, x0, y0, x1, y1), 0);
  EXPECT_LT(x0, cell / 8);
  EXPECT_LT(x1, cell * 11 / 16);
  EXPECT_GT(y1, cell / 2);
  EXPECT_GT(y0, cell / 8);
}

TEST(Assets, ScreensShowButtonLabelsAndKeepTextPlacesDark) {
  struct Rect {
    int cx, cy;
  };
  auto labelled = [](const Picture& p, Rect r) {
    return brightPixels(p, r.cx - 45, r.cy - 17, r.cx + 45, r.cy + 17, 225);
  };
  Picture title = picture("Images/screenintro3s.PNG");
  for (Rect r : {Rect{755, 29}, Rect{853, 29}, Rect{950, 29}, Rect{755, 125}, Rect{950, 125}})
    EXPECT_GT(labelled(title, r), 30) << "title button at " << r.cx << "," << r.cy;
  Picture options = picture("Images/screenintro4s.PNG");
  for (Rect r : {Rect{755, 29}, Rect{853, 29}, Rect{950, 29}, Rect{755, 120}, Rect{853, 120},
                 Rect{950, 120}})
    EXPECT_GT(labelled(options, r), 30) << "options button at " << r.cx << "," << r.cy;
  // The name is printed additively in green from (772, 145): 16 characters
  // and the caret.
  Picture name = picture("Images/screenintro5s.PNG");
  for (const Picture* p : {&options, &name}) EXPECT_LT(maxBrightness(*p, 772, 145, 955, 162), 40);
  // The help line runs along the bottom left.
  double sum = 0;
  for (int y = 736; y < 752; ++y)
    for (int x = 0; x < 600; ++x) sum += title.brightness(x, y);
  EXPECT_LT(sum / (16 * 600), 60.0);
}

TEST(Assets, ServerListHeadingsStandAboveTheRowsAfterTheSqueeze) {
  Picture join = picture("Images/Join Screen.PNG");
  // Drawn at 1024 x 512: screen y is file y * 2/3. Rows start at screen y
  // 200 (file 300); the headings stand in the 16 pixels above.
  for (int x : {66, 276, 429}) {
    EXPECT_GT(brightPixels(join, x, 273, x + 40, 299, 120), 20) << "heading at x " << x;
    EXPECT_EQ(brightPixels(join, x - 10, 260, x + 40, 270, 120), 0)
        << "heading too high at x " << x;
    EXPECT_LT(maxBrightness(join, x, 302, x + 120, 340), 60) << "rows must stay dark at x " << x;
  }
}

TEST(Assets, FrameSequencesKeepTheirLightInsideTheSquare) {
  for (const Sequence& s : kSequences) {
    for (int n = s.first; n <= s.last; ++n) {
      Picture p = picture(frameName(s, n));
      EXPECT_EQ(p.w, p.h);
      EXPECT_EQ(brightPixels(p, 0, 0, p.w, 2, 2) + brightPixels(p, 0, 0, 2, p.h, 2), 0)
          << frameName(s, n);
    }
    // The first frame shown (number 1) must be visibly lit.
    Picture first = picture(frameName(s, 1));
    EXPECT_GT(brightPixels(first, 0, 0, first.w, first.h, 80), first.w * first.h / 50) << s.prefix;
  }
}

TEST(Assets, EffectSoundsAreShortPunchyAndClickFree) {
  for (const std::string& name : kEffects) {
    Sound s;
    ASSERT_TRUE(loadSound(kRun / "Sounds" / name, s)) << name;
    EXPECT_EQ(s.info.samplerate, 44100) << name;
    EXPECT_EQ(s.info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16) << name;
    double seconds = double(s.info.frames) / s.info.samplerate;
    EXPECT_GT(seconds, 0.05) << name;
    EXPECT_LT(seconds, 1.5) << name;
    double sq = 0, peak = 0;
    for (float v : s.samples) sq += double(v) * v, peak = std::max(peak, double(std::fabs(v)));
    EXPECT_GT(std::sqrt(sq / double(s.samples.size())), 0.02) << name << " is nearly silent";
    EXPECT_LT(peak, 32767.0 / 32768.0) << name << " reaches full scale";
    EXPECT_LT(std::fabs(s.samples.front()), 0.01) << name << " starts with a click";
    EXPECT_LT(std::fabs(s.samples.back()), 0.01) << name << " ends with a click";
  }
}

TEST(Assets, MusicIsALongVorbisLoopWhoseEndJoinsItsStart) {
  Sound m;
  ASSERT_TRUE(loadSound(kRun / kMusic, m));
  EXPECT_EQ(m.info.format & SF_FORMAT_TYPEMASK, SF_FORMAT_OGG);
  EXPECT_EQ(m.info.format & SF_FORMAT_SUBMASK, SF_FORMAT_VORBIS);
  EXPECT_EQ(m.info.samplerate, 44100);
  EXPECT_GE(double(m.info.frames) / m.info.samplerate, 60.0);
  const int ch = m.info.channels;
  const size_t frames = size_t(m.info.frames);
  for (int c = 0; c < ch; ++c) {
    auto at = [&](size_t i) { return double(m.samples[i * ch + c]); };
    double step = 0, energy = 0;
    for (size_t i = 1; i < frames; ++i)
      step += std::pow(at(i) - at(i - 1), 2), energy += at(i) * at(i);
    step = std::sqrt(step / double(frames));
    EXPECT_GT(std::sqrt(energy / double(frames)), 0.03) << "channel " << c << " is nearly silent";
    // Playing on from the last sample to the first is no bigger a step
    // than the music takes anyway.
    EXPECT_LT(std::fabs(at(frames - 1) - at(0)), 4 * step + 0.01) << "channel " << c;
    // Nor does it fade out or in around the join.
    double tail = 0, head = 0;
    const size_t window = 44100;
    for (size_t i = 0; i < window; ++i)
      tail += at(frames - 1 - i) * at(frames - 1 - i), head += at(i) * at(i);
    EXPECT_GT(tail, head * 0.25) << "channel " << c;
    EXPECT_LT(tail, head * 4) << "channel " << c;
  }
}

TEST(Assets, TwoGenerationsGiveTheSameBytes) {
  const fs::path generator = fs::path(VOIDRAKE_BUILD_DIR) / "tools/assetgen/assetgen";
  ASSERT_TRUE(fs::exists(generator)) << generator;
  const fs::path again =
      fs::temp_directory_path() / ("voidrake-assets-" + std::to_string(getpid()));
  fs::remove_all(again);
  std::string cmd = "'";
  cmd += generator.string();
  cmd += "' '";
  cmd += again.string();
  cmd += "' > /dev/null";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  int compared = 0;
  for (const auto& entry : fs::recursive_directory_iterator(again)) {
    if (!entry.is_regular_file()) continue;
    fs::path rel = fs::relative(entry.path(), again);
    std::ifstream a(entry.path(), std::ios::binary), b(kRun / rel, std::ios::binary);
    ASSERT_TRUE(b.good()) << rel << " is missing from the run directory";
    std::vector<char> da((std::istreambuf_iterator<char>(a)), {}),
        db((std::istreambuf_iterator<char>(b)), {});
    EXPECT_TRUE(da == db) << rel << " differs between two generations";
    ++compared;
  }
  EXPECT_EQ(compared, 56 + 30 + 40 + 30 + 20 + 20 + 8 + 1 + 7);  // + the seven launcher icons
  fs::remove_all(again);
}
