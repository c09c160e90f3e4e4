// DefaultSprite: one quad of fixed size and texture region, drawn
// immediately (RenderMe, RenderMeQuads) or handed to the sorted renderer
// (RenderSorted). Screen coordinates: x right, y down, angles in degrees,
// positive angles turn clockwise on screen.
#pragma once

class TextureLibrary;
class RenderSort;

class DefaultSprite {
 public:
  RenderSort* sorter = nullptr;    // set only by the second InitMe
  float centerX = 0, centerY = 0;  // quad centre relative to the drawing position
  float halfWidth = 0, halfHeight = 0;
  float texCenterU = 0.5f, texCenterV = 0.5f;  // texture region mapped onto the quad
  float texHalfWidth = 0.5f, texHalfHeight = 0.5f;
  // Four interleaved vertices (s, t, r, g, b, x, y, z): top-left,
  // bottom-left, bottom-right, top-right on screen. That order is
  // counter-clockwise after the y-down projection, so it survives back-face
  // culling; the top of the picture (t high) is at the top of the screen.
  float vertices[4][8] = {};
  TextureLibrary* library = nullptr;

  void InitMe(float cx, float cy, float width, float height, float u, float v, float texWidth,
              float texHeight, TextureLibrary* library);
  void InitMe(float cx, float cy, float width, float height, float u, float v, float texWidth,
              float texHeight, TextureLibrary* library, RenderSort* sorter);
  void ChangeCenter(float x, float y);
  void ChangeSize(float width, float height);

  // Immediate draw binding texture `texture` (or, when looped, the loop's
  // current frame, advanced first when `cycle`). Slot -1 keeps whatever
  // texture is bound. The alpha argument has no visible effect here (the
  // colour array carries red, green and blue only).
  void RenderMe(float x, float y, float z, float angle, float alpha, float r, float g, float b,
                int texture, bool looped, bool cycle);
  // Immediate draw binding frame `frame` of loop `loop`.
  void RenderMe(float x, float y, float z, float angle, float alpha, float r, float g, float b,
                int loop, int frame);
  // Immediate quad with one colour including alpha, a frame of a loop.
  void RenderMeQuads(float x, float y, float z, float angle, float alpha, float r, float g, float b,
                     int loop, int frame);
  // The same with a plain texture; the current colour is opaque white afterwards.
  void RenderMeQuads(float x, float y, float z, float angle, float alpha, float r, float g, float b,
                     int texture);

  // Hands the whole texture around (x, y) at the sprite's size to the
  // sorter; z, looped and cycle are ignored.
  void RenderSorted(float x, float y, float z, float angle, float alpha, float r, float g, float b,
                    int texture, bool looped, bool cycle);
  // As RenderSorted, fading towards the bottom edge (shown by RenderFast).
  void RenderSortedFading(float x, float y, float z, float angle, float alpha, float r, float g,
                          float b, int texture, bool looped, bool cycle);
  // Looped pictures are never sorted: does nothing.
  void RenderSorted(float x, float y, float z, float angle, float alpha, float r, float g, float b,
                    int loop, int frame);

  bool RectRect(float x1, float y1, float h1, float w1, float x2, float y2, float h2, float w2);

 private:
  void BuildVertices();
  void NoteGlow(float x, float y, float angle) const;
  void Draw(float x, float y, float z, float angle, float r, float g, float b);
  void DrawImmediate(float x, float y, float z, float angle, float alpha, float r, float g,
                     float b);
};
