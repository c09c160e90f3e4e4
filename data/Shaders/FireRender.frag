// Textured, coloured sprites with the keyed black left out, as the masking
// program does; the per-corner colour keeps a fading quad's fade.
#version 110

uniform sampler2D DecalTex;

void main() {
  vec4 colour = texture2D(DecalTex, gl_TexCoord[0].st) * gl_Color;
  if (colour.a <= 0.05) discard;
  gl_FragColor = colour;
}
