#include "render/texturelibrary.h"

#include <GL/gl.h>

#include "render/pictureloader.h"

int TextureLibrary::AddTexture(unsigned int name) {
  textures.push_back(name);
  return static_cast<int>(textures.size()) - 1;
}

void TextureLibrary::ReplaceTexture(unsigned int name, int slot) {
  const int count = static_cast<int>(textures.size());
  if (slot < 0 || slot > count) return;
  if (slot == count) {
    textures.push_back(name);
  } else {
    textures[slot] = name;
  }
}

int TextureLibrary::AddLoopTexture(const std::vector<unsigned int>& frames) {
  LoopTexture loop;
  loop.frames = frames;
  loopTextures.push_back(std::move(loop));
  return static_cast<int>(loopTextures.size()) - 1;
}

void TextureLibrary::Bind(unsigned int name) {
  if (pictures) pictures->Finish(name);
  glBindTexture(GL_TEXTURE_2D, name);
}

void TextureLibrary::BindTexture(int slot) {
  const bool valid = slot >= 0 && slot < static_cast<int>(textures.size());
  Bind(valid ? textures[slot] : 0);
}

void TextureLibrary::BindLoopedTexture(int loop) {
  if (loop < 0 || loop >= static_cast<int>(loopTextures.size())) {
    glBindTexture(GL_TEXTURE_2D, 0);
    return;
  }
  BindLoopedTexture(loop, loopTextures[loop].current);
}

void TextureLibrary::BindLoopedTexture(int loop, int frame) {
  unsigned int name = 0;
  if (loop >= 0 && loop < static_cast<int>(loopTextures.size())) {
    const std::vector<unsigned int>& frames = loopTextures[loop].frames;
    if (frame >= 0 && frame < static_cast<int>(frames.size())) name = frames[frame];
  }
  Bind(name);
}

void TextureLibrary::CycleLoopedTexture(int loop) {
  if (loop < 0 || loop >= static_cast<int>(loopTextures.size())) return;
  LoopTexture& l = loopTextures[loop];
  l.current += 1;
  if (l.current >= static_cast<int>(l.frames.size())) l.current = 0;
}
