// The timedemo's pilot for the local ship: the computer players' reflex
// (chase the nearest enemy, back off inside 600 units, turn towards it four
// degrees a frame, fire the weapons whose range class fits the distance)
// turned into a key table for SpaceShip::UpdateMe.
#pragma once

class SpaceShip;
class EnemyManager;

// Fills the 256 key flags for this frame. A dead ship gets no keys.
void AutopilotKeys(const SpaceShip& ship, EnemyManager& enemies, bool* keys);
