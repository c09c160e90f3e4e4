#include "output.h"

#include <FreeImage.h>
#include <sndfile.h>
#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "noise.h"

namespace assetgen {

namespace fs = std::filesystem;

std::vector<uint8_t> toRgb8(const Image& img, PicKind kind) {
  std::vector<uint8_t> out(size_t(img.w) * img.h * 3);
  for (int y = 0; y < img.h; ++y)
    for (int x = 0; x < img.w; ++x) {
      const float* p = img.at(x, y);
      float r = p[0], g = p[1], b = p[2], a = p[3];
      bool keep = true;
      if (kind == PicKind::Keyed) {
        keep = a >= 0.5f;
        if (keep) r /= a, g /= a, b /= a;  // full colour right up to the silhouette
      } else if (kind == PicKind::KeyedLight) {
        keep = std::max(r, std::max(g, b)) >= 0.055f;
      }
      uint8_t* o = &out[(size_t(y) * img.w + x) * 3];
      if (!keep) {
        o[0] = o[1] = o[2] = 0;
        continue;
      }
      // A little ordered noise hides banding in the large soft gradients.
      float d = hash01(x, y, 0x5eed) - 0.5f;
      auto q = [d](float v) {
        return uint8_t(std::clamp(int(std::floor(v * 255.f + 0.5f + d)), 0, 255));
      };
      o[0] = q(r), o[1] = q(g), o[2] = q(b);
      if (kind != PicKind::Opaque && o[0] == 0 && o[1] == 0 && o[2] == 0) o[0] = o[1] = o[2] = 1;
    }
  return out;
}

bool Output::prepare(const std::string& rel, std::string& path) {
  if (dir_.empty()) return false;
  fs::path p = fs::path(dir_) / rel;
  std::error_code ec;
  fs::create_directories(p.parent_path(), ec);
  path = p.string();
  return true;
}

void Output::record(const std::string& path, bool ok) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!ok) {
    std::fprintf(stderr, "assetgen: cannot write %s\n", path.c_str());
    failed_ = true;
    return;
  }
  std::error_code ec;
  bytes_ += fs::file_size(path, ec);
  ++files_;
}

static Image reviewCopy(const Image& img, const std::vector<uint8_t>& bytes, PicKind kind) {
  // Transparent black shows as a dark checkerboard so that the silhouette
  // of colour-keyed pictures can be judged.
  Image full(img.w, img.h);
  for (int y = 0; y < img.h; ++y)
    for (int x = 0; x < img.w; ++x) {
      const uint8_t* o = &bytes[(size_t(y) * img.w + x) * 3];
      Color c{o[0] / 255.f, o[1] / 255.f, o[2] / 255.f};
      if (kind != PicKind::Opaque && o[0] == 0 && o[1] == 0 && o[2] == 0) {
        int s = std::max(4, std::max(img.w, img.h) / 24);
        c = ((x / s + y / s) & 1) ? rgb8(52, 40, 60) : rgb8(30, 24, 36);
      }
      full.over(x, y, c, 1);
    }
  int side = 200;
  float k = std::min(1.f, float(side) / float(std::max(img.w, img.h)));
  return resized(full, std::max(1, int(img.w * k)), std::max(1, int(img.h * k)));
}

void Output::review(const std::string& name, const Image& img, PicKind kind) {
  Image thumb = reviewCopy(img, toRgb8(img, kind), kind);
  std::lock_guard<std::mutex> lock(mutex_);
  thumbs_.push_back({name, std::move(thumb)});
}

void Output::png(const std::string& rel, const Image& img, PicKind kind, bool review) {
  std::vector<uint8_t> bytes = toRgb8(img, kind);
  if (review) {
    Image thumb = reviewCopy(img, bytes, kind);
    std::lock_guard<std::mutex> lock(mutex_);
    thumbs_.push_back({rel, std::move(thumb)});
  }
  std::string path;
  if (!prepare(rel, path)) return;
  FIBITMAP* dib = FreeImage_Allocate(img.w, img.h, 24);
  for (int y = 0; y < img.h; ++y) {
    BYTE* line = FreeImage_GetScanLine(dib, img.h - 1 - y);  // FreeImage rows are bottom-up
    for (int x = 0; x < img.w; ++x) {
      const uint8_t* o = &bytes[(size_t(y) * img.w + x) * 3];
      line[x * 3 + FI_RGBA_RED] = o[0];
      line[x * 3 + FI_RGBA_GREEN] = o[1];
      line[x * 3 + FI_RGBA_BLUE] = o[2];
    }
  }
  bool ok = FreeImage_Save(FIF_PNG, dib, path.c_str(), PNG_Z_DEFAULT_COMPRESSION) != 0;
  FreeImage_Unload(dib);
  record(path, ok);
}

void Output::pngWithAlpha(const std::string& rel, const Image& img) {
  if (img.w <= 200) {  // review sheet cells are at most 200 pixels
    std::lock_guard<std::mutex> lock(mutex_);
    thumbs_.push_back({rel, img});
  }
  std::string path;
  if (!prepare(rel, path)) return;
  FIBITMAP* dib = FreeImage_Allocate(img.w, img.h, 32);
  auto q = [](float v) { return BYTE(std::clamp(int(std::lround(v * 255.f)), 0, 255)); };
  for (int y = 0; y < img.h; ++y) {
    BYTE* line = FreeImage_GetScanLine(dib, img.h - 1 - y);  // FreeImage rows are bottom-up
    for (int x = 0; x < img.w; ++x) {
      const float* p = img.at(x, y);
      const float a = p[3], k = a > 0 ? 1.f / a : 0.f;  // stored straight, not premultiplied
      line[x * 4 + FI_RGBA_RED] = q(p[0] * k);
      line[x * 4 + FI_RGBA_GREEN] = q(p[1] * k);
      line[x * 4 + FI_RGBA_BLUE] = q(p[2] * k);
      line[x * 4 + FI_RGBA_ALPHA] = q(a);
    }
  }
  bool ok = FreeImage_Save(FIF_PNG, dib, path.c_str(), PNG_Z_DEFAULT_COMPRESSION) != 0;
  FreeImage_Unload(dib);
  record(path, ok);
}

static short toPcm(float v) {
  return short(std::clamp(int(std::lround(v * 32767.f)), -32000, 32000));
}

void Output::wav(const std::string& rel, const std::vector<float>& mono, int rate) {
  std::string path;
  if (!prepare(rel, path)) return;
  SF_INFO info{};
  info.samplerate = rate;
  info.channels = 1;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
  bool ok = f != nullptr;
  if (ok) {
    std::vector<short> pcm(mono.size());
    std::transform(mono.begin(), mono.end(), pcm.begin(), toPcm);
    ok = sf_write_short(f, pcm.data(), sf_count_t(pcm.size())) == sf_count_t(pcm.size());
    sf_close(f);
  }
  record(path, ok);
}

namespace {

struct OggWriter {
  FILE* file;
  ogg_stream_state stream;
  bool ok = true;
  void page(ogg_page& pg) {
    ok = ok && std::fwrite(pg.header, 1, size_t(pg.header_len), file) == size_t(pg.header_len);
    ok = ok && std::fwrite(pg.body, 1, size_t(pg.body_len), file) == size_t(pg.body_len);
  }
};

}  // namespace

void Output::ogg(const std::string& rel, const std::vector<float>& stereo, int rate) {
  std::string path;
  if (!prepare(rel, path)) return;
  OggWriter w{std::fopen(path.c_str(), "wb"), {}};
  if (!w.file) return record(path, false);
  vorbis_info vi;
  vorbis_info_init(&vi);
  vorbis_encode_init_vbr(&vi, 2, rate, 0.35f);
  vorbis_comment vc;
  vorbis_comment_init(&vc);
  vorbis_comment_add_tag(&vc, "TITLE", "Falling off the captain's log");
  vorbis_dsp_state vd;
  vorbis_block vb;
  vorbis_analysis_init(&vd, &vi);
  vorbis_block_init(&vd, &vb);
  ogg_stream_init(&w.stream, 0x566f6964);  // fixed serial: same bytes on every run
  ogg_packet hdr, comm, code;
  vorbis_analysis_headerout(&vd, &vc, &hdr, &comm, &code);
  ogg_stream_packetin(&w.stream, &hdr);
  ogg_stream_packetin(&w.stream, &comm);
  ogg_stream_packetin(&w.stream, &code);
  ogg_page pg;
  while (ogg_stream_flush(&w.stream, &pg) != 0) w.page(pg);

  const size_t frames = stereo.size() / 2, chunk = 4096;
  for (size_t pos = 0;; pos += chunk) {
    size_t n = pos < frames ? std::min(chunk, frames - pos) : 0;
    if (n > 0) {
      float** buf = vorbis_analysis_buffer(&vd, int(n));
      for (size_t i = 0; i < n; ++i) {
        buf[0][i] = stereo[(pos + i) * 2];
        buf[1][i] = stereo[(pos + i) * 2 + 1];
      }
    }
    vorbis_analysis_wrote(&vd, int(n));  // 0 marks the end of the stream
    while (vorbis_analysis_blockout(&vd, &vb) == 1) {
      vorbis_analysis(&vb, nullptr);
      vorbis_bitrate_addblock(&vb);
      ogg_packet op;
      while (vorbis_bitrate_flushpacket(&vd, &op) != 0) {
        ogg_stream_packetin(&w.stream, &op);
        while (ogg_stream_pageout(&w.stream, &pg) != 0) w.page(pg);
      }
    }
    if (n == 0) break;
  }
  while (ogg_stream_flush(&w.stream, &pg) != 0) w.page(pg);
  ogg_stream_clear(&w.stream);
  vorbis_block_clear(&vb);
  vorbis_dsp_clear(&vd);
  vorbis_comment_clear(&vc);
  vorbis_info_clear(&vi);
  bool ok = std::fclose(w.file) == 0 && w.ok;
  record(path, ok);
}

std::vector<Thumb> Output::takeThumbs() {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<Thumb> t = std::move(thumbs_);
  std::sort(t.begin(), t.end(), [](const Thumb& a, const Thumb& b) { return a.name < b.name; });
  return t;
}

}  // namespace assetgen
