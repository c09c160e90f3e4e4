// Average of the eight most recent screen copies, newest weighted most.
#version 110

uniform sampler2D DecalTex1;
uniform sampler2D DecalTex2;
uniform sampler2D DecalTex3;
uniform sampler2D DecalTex4;
uniform sampler2D DecalTex5;
uniform sampler2D DecalTex6;
uniform sampler2D DecalTex7;
uniform sampler2D DecalTex8;

void main() {
  vec2 uv = gl_TexCoord[0].st;
  vec4 sum = texture2D(DecalTex1, uv) * 8.0;
  sum += texture2D(DecalTex2, uv) * 7.0;
  sum += texture2D(DecalTex3, uv) * 6.0;
  sum += texture2D(DecalTex4, uv) * 5.0;
  sum += texture2D(DecalTex5, uv) * 4.0;
  sum += texture2D(DecalTex6, uv) * 3.0;
  sum += texture2D(DecalTex7, uv) * 2.0;
  sum += texture2D(DecalTex8, uv) * 1.0;
  gl_FragColor = sum / 36.0 * gl_Color;
}
