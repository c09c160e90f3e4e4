// Textured, coloured sprites; the per-corner colour keeps a fading quad's
// fade. The sorted sprites are always drawn with alpha blending, which
// already hides the keyed black: a discard here would only cost time (it
// turns off the software rasteriser's fast paths).
#version 110

uniform sampler2D DecalTex;

void main() {
  gl_FragColor = texture2D(DecalTex, gl_TexCoord[0].st) * gl_Color;
}
