// First half of the glow blur: seventeen samples along x, "texturestep"
// apart, weighted by the kernel of Blur.vert.
#version 110

uniform sampler2D DecalTex;
uniform float texturestep;

varying vec4 nearWeights;
varying vec4 farWeights;
varying float centreWeight;

vec4 Pair(vec2 uv, float steps) {
  vec2 offset = vec2(steps * texturestep, 0.0);
  return texture2D(DecalTex, uv - offset) + texture2D(DecalTex, uv + offset);
}

void main() {
  vec2 uv = gl_TexCoord[0].st;
  vec4 sum = texture2D(DecalTex, uv) * centreWeight;
  sum += Pair(uv, 1.0) * nearWeights.x;
  sum += Pair(uv, 2.0) * nearWeights.y;
  sum += Pair(uv, 3.0) * nearWeights.z;
  sum += Pair(uv, 4.0) * nearWeights.w;
  sum += Pair(uv, 5.0) * farWeights.x;
  sum += Pair(uv, 6.0) * farWeights.y;
  sum += Pair(uv, 7.0) * farWeights.z;
  sum += Pair(uv, 8.0) * farWeights.w;
  gl_FragColor = sum * gl_Color;
}
