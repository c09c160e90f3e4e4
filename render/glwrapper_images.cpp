// The image loaders of GlWrapper: each generates its texture name first, so
// a failed load still yields a name and the slot numbering never shifts,
// then decodes the file (render/picturedecoder.h) and uploads the pixels.
#include <GL/gl.h>

#include <string>
#include <vector>

#include "render/glwrapper.h"
#include "render/picturedecoder.h"

namespace {

bool LoadNow(const std::string& path, unsigned int& name, PictureKind kind) {
  glGenTextures(1, &name);
  const DecodedPicture picture = DecodePictureFile(path, kind);
  UploadPicture(picture, name);
  return picture.ok;
}

std::vector<unsigned int> LoadSequence(GlWrapper& loader, const std::string& prefix, int first,
                                       int last, bool padSingleDigits) {
  std::vector<unsigned int> frames;
  for (int n = first; n <= last; ++n) {
    unsigned int name = 0;
    loader.LoadPNG(FrameFileName(prefix, n, padSingleDigits), name);
    frames.push_back(name);  // kept on failure so frame numbers stay put
  }
  return frames;
}

}  // namespace

std::string FrameFileName(const std::string& prefix, int n, bool padSingleDigits) {
  std::string path = prefix;
  if (padSingleDigits && n >= 0 && n < 10) path += '0';
  return path + std::to_string(n) + ".PNG";
}

void UploadPicture(const DecodedPicture& picture, unsigned int name) {
  if (!picture.ok) return;  // the name stays without an image: it draws untextured
  glBindTexture(GL_TEXTURE_2D, name);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  if (picture.kind == PictureKind::kColorKeyClamp) {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  }
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  const bool opaque = picture.kind == PictureKind::kOpaque;
  glTexImage2D(GL_TEXTURE_2D, 0, opaque ? GL_RGB : GL_RGBA, picture.width, picture.height, 0,
               opaque ? GL_BGR : GL_RGBA, GL_UNSIGNED_BYTE, picture.pixels.data());
}

bool GlWrapper::LoadPNG(const std::string& path, unsigned int& name) {
  return LoadNow(path, name, PictureKind::kOpaque);
}

bool GlWrapper::LoadPNGColorKey(const std::string& path, unsigned int& name) {
  return LoadNow(path, name, PictureKind::kColorKey);
}

bool GlWrapper::LoadPNGColorKeyEdgeClamp(const std::string& path, unsigned int& name) {
  return LoadNow(path, name, PictureKind::kColorKeyClamp);
}

std::vector<unsigned int> GlWrapper::LoadAnim(const std::string& prefix, int first, int last) {
  return LoadSequence(*this, prefix, first, last, false);
}

std::vector<unsigned int> GlWrapper::LoadAnimWithZero(const std::string& prefix, int first,
                                                      int last) {
  return LoadSequence(*this, prefix, first, last, true);
}
