// The image loaders of GlWrapper. Pictures are decoded by FreeImage from the
// file's bytes in memory; colour-keyed pictures pass through an in-memory
// 24-bit BMP read by TEXTURE. Every loader generates its texture name first,
// so a failed load still yields a name and the slot numbering never shifts.
#include <FreeImage.h>
#include <GL/gl.h>

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "render/glwrapper.h"
#include "render/picturedecoder.h"
#include "render/texture.h"

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

// Decodes a picture file to a 24-bit bitmap, or nullptr. The caller unloads it.
FIBITMAP* Decode24(const std::string& path) {
  std::vector<unsigned char> bytes;
  if (!ReadFileBytes(path, bytes)) return nullptr;
  return DecodePicture24(bytes.data(), bytes.size());
}

void ReportFailure(const std::string& path) {
  std::cerr << "Could not load picture \"" << path << "\"\n";
}

void SetLinearFilters() {
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
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

bool LoadColorKeyed(const std::string& path, unsigned int& name, bool clamp) {
  glGenTextures(1, &name);
  FIBITMAP* bitmap = Decode24(path);
  TEXTURE texture;
  const bool ok = bitmap && ToTexture(bitmap, texture);
  if (bitmap) FreeImage_Unload(bitmap);
  if (!ok) {
    ReportFailure(path);
    return false;
  }
  std::vector<unsigned char> rgba = ColorKeyed(texture);
  glBindTexture(GL_TEXTURE_2D, name);
  SetLinearFilters();
  if (clamp) {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  }
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, texture.Width(), texture.Height(), 0, GL_RGBA,
               GL_UNSIGNED_BYTE, rgba.data());
  return true;
}

std::vector<unsigned int> LoadSequence(GlWrapper& loader, const std::string& prefix, int first,
                                       int last, bool padSingleDigits) {
  std::vector<unsigned int> frames;
  for (int n = first; n <= last; ++n) {
    std::string path = prefix;
    if (padSingleDigits && n >= 0 && n < 10) path += '0';
    path += std::to_string(n) + ".PNG";
    unsigned int name = 0;
    loader.LoadPNG(path, name);
    frames.push_back(name);  // kept on failure so frame numbers stay put
  }
  return frames;
}

}  // namespace

bool GlWrapper::LoadPNG(const std::string& path, unsigned int& name) {
  glGenTextures(1, &name);
  FIBITMAP* bitmap = Decode24(path);
  if (!bitmap) {
    ReportFailure(path);
    return false;
  }
  glBindTexture(GL_TEXTURE_2D, name);
  SetLinearFilters();
  // FreeImage pads rows to 4 bytes, the alignment GL unpacks with here.
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  static_assert(FI_RGBA_RED == 2, "FreeImage stores blue-green-red on this platform");
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, static_cast<GLsizei>(FreeImage_GetWidth(bitmap)),
               static_cast<GLsizei>(FreeImage_GetHeight(bitmap)), 0, GL_BGR, GL_UNSIGNED_BYTE,
               FreeImage_GetBits(bitmap));
  FreeImage_Unload(bitmap);
  return true;
}

bool GlWrapper::LoadPNGColorKey(const std::string& path, unsigned int& name) {
  return LoadColorKeyed(path, name, false);
}

bool GlWrapper::LoadPNGColorKeyEdgeClamp(const std::string& path, unsigned int& name) {
  return LoadColorKeyed(path, name, true);
}

std::vector<unsigned int> GlWrapper::LoadAnim(const std::string& prefix, int first, int last) {
  return LoadSequence(*this, prefix, first, last, false);
}

std::vector<unsigned int> GlWrapper::LoadAnimWithZero(const std::string& prefix, int first,
                                                      int last) {
  return LoadSequence(*this, prefix, first, last, true);
}
