// Background decorations: plain transform, colour and texture coordinate.
#version 110

void main() {
  gl_Position = ftransform();
  gl_FrontColor = gl_Color;
  gl_TexCoord[0] = gl_MultiTexCoord0;
}
