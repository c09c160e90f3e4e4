#include "sim/utilityitem.h"

void UtilityItem::InitMe() { *this = UtilityItem(); }

void UtilityItem::SetShift(int kind) { shiftKind = kind; }

int UtilityItem::GetShift() { return shiftKind; }

void UtilityItem::MainLoop(int& hp) {
  if (regeneration) hp += 1;  // the ship caps it at its maximum afterwards
  boosting = 0;
  if (--cooldown < 0) cooldown = 0;
  if (--recallGlow < 0) recallGlow = 0;
  if (--cloakDelay < 0) {
    cloakDelay = 0;
    if (cloaking) cloaked = 1;
  }
}

bool UtilityItem::ShiftPressed(int& energy, int& hp, float& x, float& y) {
  if (cooldown > 0 || shiftKind > 4) return false;
  switch (shiftKind) {
    case 1:  // health to energy, at most once every 20 frames
      if (hp > 10) {
        cooldown = 20;
        hp -= 10;
        energy += 1000;  // the ship caps it
      }
      return false;
    case 2:  // energy to health, every frame while held
      if (energy > 100) {
        cooldown = 0;
        hp += 1;
        energy -= 100;
      }
      return false;
    case 3:  // afterburners
      if (energy < 26) return false;
      boosting = 1;
      energy -= 25;
      return true;
    case 4:  // teleport anchor: drop, then jump back
      if (energy <= 500) return false;
      energy -= 500;
      if (!anchorSet) {
        anchorX = x;
        anchorY = y;
        anchorSet = 1;
        cooldown = 20;
      } else {
        anchorSet = 0;
        cooldown = 60;
        recallGlow = 60;
        x = anchorX;
        y = anchorY;
      }
      return false;
    default: return false;
  }
}
