// Where generated files go: PNG pictures through FreeImage, WAV through
// libsndfile, OGG Vorbis through libvorbisenc (libsndfile's own Vorbis writer
// stamps a clock-seeded stream serial number into the file, which would make
// the music differ between runs). Also keeps small copies for the review sheet.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "pixels.h"

namespace assetgen {

enum class PicKind {
  Opaque,      // loaded as is; black is just dark
  Keyed,       // black (0,0,0) is transparent: alpha < 0.5 becomes black, the rest never is
  KeyedLight,  // keyed picture of pure light: pixels dimmer than a threshold become black
};

struct Thumb {
  std::string name;
  Image picture;
};

class Output {
 public:
  // An empty directory means: make everything, write nothing (review runs).
  explicit Output(std::string dir) : dir_(std::move(dir)) {}

  void png(const std::string& rel, const Image& img, PicKind kind, bool review = true);
  // A picture only for the review sheet, never written as a file.
  void review(const std::string& name, const Image& img, PicKind kind);
  // A picture with its transparency kept (RGBA), for the desktop.
  void pngWithAlpha(const std::string& rel, const Image& img);
  void wav(const std::string& rel, const std::vector<float>& mono, int rate);
  void ogg(const std::string& rel, const std::vector<float>& interleavedStereo, int rate);

  bool failed() const { return failed_; }
  uint64_t bytesWritten() const { return bytes_; }
  int filesWritten() const { return files_; }
  std::vector<Thumb> takeThumbs();

 private:
  bool prepare(const std::string& rel, std::string& path);
  void record(const std::string& path, bool ok);
  std::string dir_;
  std::mutex mutex_;
  std::vector<Thumb> thumbs_;
  bool failed_ = false;
  uint64_t bytes_ = 0;
  int files_ = 0;
};

// Converts a float picture to the bytes that are stored (rows top-down, RGB).
std::vector<uint8_t> toRgb8(const Image& img, PicKind kind);

}  // namespace assetgen
