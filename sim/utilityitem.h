// UtilityItem: the bought extras of the player's ship: one shift-key item
// and three passive upgrades. The ship owns one and steps it every frame.
#pragma once

class UtilityItem {
 public:
  bool regeneration = false;  // +1 hull point every frame
  bool cloaking = false;
  bool sensors = false;  // kept for the shop's "already have" test
  // 0 none, 1 health to energy, 2 energy to health, 3 afterburners,
  // 4 teleport anchor.
  int shiftKind = 0;
  int boosting = 0;    // 1 on a frame the afterburners fired
  int cloakDelay = 0;  // frames until the cloak comes back
  int recallGlow = 0;  // frames left of the recall effect
  int cloaked = 0;     // 1 while cloaked
  int cooldown = 0;    // frames during which shift does nothing
  int anchorSet = 0;   // 1 while a teleport anchor is stored
  float anchorX = 0, anchorY = 0;

  void InitMe();
  void SetShift(int kind);
  int GetShift();
  // Once per frame while the ship is alive.
  void MainLoop(int& hp);
  // On every frame shift is held; true when the afterburners fire.
  bool ShiftPressed(int& energy, int& hp, float& x, float& y);
};
