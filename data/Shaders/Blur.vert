// Shared by the horizontal and the vertical blur: a full-screen quad whose
// kernel is worked out here, once per corner, instead of in every fragment.
// The kernel weighs the texel i steps away by exp(-falloff * i * i) for
// i = -6 .. 6, scaled to add up to one. Texels 1-2, 3-4 and 5-6 on each side
// are read in pairs: one linearly filtered read between the two, placed by
// their weights, gives exactly their weighted sum, so thirteen texels cost
// seven reads (the blur runs over the whole frame in software GL too).
#version 110

uniform float falloff;

varying vec3 pairWeights;  // weight of each pair of texels
varying vec3 pairOffsets;  // where to read each pair, in steps from the centre
varying float centreWeight;

void main() {
  gl_Position = ftransform();
  gl_FrontColor = gl_Color;
  gl_TexCoord[0] = gl_MultiTexCoord0;
  float k = max(falloff, 0.001);
  vec3 inner = exp(-k * vec3(1.0, 9.0, 25.0));   // texels 1, 3, 5
  vec3 outer = exp(-k * vec3(4.0, 16.0, 36.0));  // texels 2, 4, 6
  vec3 pairs = inner + outer;
  float total = 1.0 + 2.0 * dot(pairs, vec3(1.0));
  centreWeight = 1.0 / total;
  pairWeights = pairs / total;
  pairOffsets = vec3(1.0, 3.0, 5.0) + outer / pairs;
}
