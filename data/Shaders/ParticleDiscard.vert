// Ordinary fixed-function transform; colour and texture coordinate passed on.
#version 110

void main() {
  gl_Position = ftransform();
  gl_FrontColor = gl_Color;
  gl_TexCoord[0] = gl_MultiTexCoord0;
}
