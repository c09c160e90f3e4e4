// Shared by the horizontal and the vertical blur: a full-screen quad whose
// kernel weights are worked out here, once per corner, instead of in every
// fragment. Weight of the sample i steps away: exp(-falloff * i * i),
// scaled so that all seventeen add up to one.
#version 110

uniform float falloff;

varying vec4 nearWeights;  // samples 1 to 4 steps away (each side)
varying vec4 farWeights;   // samples 5 to 8 steps away
varying float centreWeight;

void main() {
  gl_Position = ftransform();
  gl_FrontColor = gl_Color;
  gl_TexCoord[0] = gl_MultiTexCoord0;
  float k = max(falloff, 0.001);
  vec4 nearSteps = vec4(1.0, 4.0, 9.0, 16.0);
  vec4 farSteps = vec4(25.0, 36.0, 49.0, 64.0);
  vec4 nearW = exp(-k * nearSteps);
  vec4 farW = exp(-k * farSteps);
  float total = 1.0 + 2.0 * (dot(nearW, vec4(1.0)) + dot(farW, vec4(1.0)));
  centreWeight = 1.0 / total;
  nearWeights = nearW / total;
  farWeights = farW / total;
}
