// Textured, coloured drawing that leaves out the transparent texels of
// colour-keyed pictures, in place of the alpha test the low level uses:
// their black must not cover what lies behind.
#version 110

uniform sampler2D DecalTex;

void main() {
  vec4 colour = texture2D(DecalTex, gl_TexCoord[0].st) * gl_Color;
  if (colour.a <= 0.05) discard;
  gl_FragColor = colour;
}
