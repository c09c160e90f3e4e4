// TextureLibrary: every picture the game draws is addressed by a small
// integer slot into `textures`; animated pictures by a loop slot into
// `loopTextures`. Slots are assigned by the order of loading at start-up, so
// a picture that failed to load still takes its slot (one instance: Textures).
#pragma once

#include <vector>

class PictureLoader;

class TextureLibrary {
 public:
  struct LoopTexture {
    std::vector<unsigned int> frames;  // GL texture names, one per frame
    int current = 0;                   // frame bound by the plain bind
  };

  std::vector<unsigned int> textures;
  std::vector<LoopTexture> loopTextures;
  // Where pictures still being decoded come from (borrowed; may be null).
  // Binding one of them waits for it, so nothing draws an empty slot.
  PictureLoader* pictures = nullptr;

  // Appends a texture name; returns its slot (count - 1).
  int AddTexture(unsigned int name);
  // slot < count overwrites, slot == count appends, anything else is ignored.
  void ReplaceTexture(unsigned int name, int slot);
  // Appends a loop with a copy of `frames` and current 0; returns its slot.
  int AddLoopTexture(const std::vector<unsigned int>& frames);

  // Binds the texture of `slot` to GL_TEXTURE_2D. A slot that does not
  // exist binds texture 0 (draws untextured) instead of reading past the list.
  void BindTexture(int slot);
  // Binds the loop's current frame.
  void BindLoopedTexture(int loop);
  // Binds frame `frame` of the loop without touching `current`.
  void BindLoopedTexture(int loop, int frame);
  // Advances the loop's current frame, wrapping to 0 after the last.
  void CycleLoopedTexture(int loop);

 private:
  void Bind(unsigned int name);
};
