// Heading: the bearing from one point to another in the ship convention
// (degrees counter-clockwise from +x with y down on screen, so 90 is up).
// Computer players aim with it, homing projectiles steer by it and the
// timedemo's pilot copies the computer players with it.
#pragma once

// The bearing from (fromX, fromY) towards (toX, toY). The x component is
// normalised by the Manhattan length, not the Euclidean one, so a bearing off
// the axes reads further from the horizontal than it is (45 degrees reads
// 60): every aimer shares that character. A target exactly on the spot has
// no bearing and gives `fallback`.
float HeadingTowards(float fromX, float fromY, float toX, float toY, float fallback);
