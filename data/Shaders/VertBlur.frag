// Second half of the glow blur: along y, "texturestep" being one texel of
// the screen copy (kernel: Blur.vert). Its result is added over the frame,
// a little stronger than the blurred light itself so that the halo of a
// small projectile still shows.
#version 110

uniform sampler2D DecalTex;
uniform float texturestep;

varying vec3 pairWeights;
varying vec3 pairOffsets;
varying float centreWeight;

const float kGlowGain = 1.5;

vec4 Pair(vec2 uv, float steps) {
  vec2 offset = vec2(0.0, steps * texturestep);
  return texture2D(DecalTex, uv - offset) + texture2D(DecalTex, uv + offset);
}

void main() {
  vec2 uv = gl_TexCoord[0].st;
  vec4 sum = texture2D(DecalTex, uv) * centreWeight;
  sum += Pair(uv, pairOffsets.x) * pairWeights.x;
  sum += Pair(uv, pairOffsets.y) * pairWeights.y;
  sum += Pair(uv, pairOffsets.z) * pairWeights.z;
  gl_FragColor = sum * gl_Color * kGlowGain;
}
