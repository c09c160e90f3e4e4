// Background decorations drawn with alpha blending: a texel is as opaque as
// it is bright, so dim edges of a nebula fade into the stars instead of
// covering them, and the keyed black of the picture stays invisible. The
// frame always draws these with alpha blending on, so nothing is discarded.
#version 110

uniform sampler2D DecalTex;

void main() {
  vec4 texel = texture2D(DecalTex, gl_TexCoord[0].st) * gl_Color;
  float brightness = max(texel.r, max(texel.g, texel.b));
  float opacity = texel.a * smoothstep(0.0, 0.6, brightness);
  gl_FragColor = vec4(texel.rgb, opacity);
}
