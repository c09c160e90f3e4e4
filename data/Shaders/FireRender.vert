// Sorted sprites drawn a whole texture group at a time: each corner arrives
// relative to its quad's centre, is turned about z by rotation.z (radians,
// clockwise on the y-down screen, as glRotate turns it) and moved to the
// centre "newpos" before the usual projection.
#version 110

attribute vec3 rotation;
attribute vec3 newpos;

void main() {
  float c = cos(rotation.z);
  float s = sin(rotation.z);
  vec2 corner = gl_Vertex.xy;
  vec2 turned = vec2(corner.x * c - corner.y * s, corner.x * s + corner.y * c);
  vec4 position = vec4(turned + newpos.xy, gl_Vertex.z + newpos.z, 1.0);
  gl_Position = gl_ModelViewProjectionMatrix * position;
  gl_FrontColor = gl_Color;
  gl_TexCoord[0] = gl_MultiTexCoord0;
}
