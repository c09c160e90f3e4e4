#include "sim/weapon.h"

#include <initializer_list>

using Shot = Weapon::Shot;

namespace {

// A volley of copies of one template, each with its own mount and, where the
// shots differ, aim offset or turn rate.
struct Mount {
  float angle, distance;
};

std::vector<Shot> Volley(const Shot& t, std::initializer_list<Mount> mounts) {
  std::vector<Shot> out;
  for (const Mount& m : mounts) {
    Shot s = t;
    s.mountAngle = m.angle;
    s.mountDistance = m.distance;
    out.push_back(s);
  }
  return out;
}

std::vector<Shot> Repeat(const Shot& t, int n) { return std::vector<Shot>(n, t); }

}  // namespace

void Weapon::InitMe(GameUtilities* u) { utilities = u; }

void Weapon::SetKind(const char* n, int cat, int cost, int reload, int threshold, bool chg) {
  name = n;
  category = cat;
  energyCost = cost;
  reloadFrames = reload;
  chargeThreshold = threshold;
  charged = chg;
  chargeCount = 0;
  cooldown = 0;
}

void Weapon::MakeMeWeapon(int id) {
  switch (id) {
    case 0: MakeMeLightning(); break;
    case 1: MakeMeLaser(); break;
    case 2: MakeMeHEL(); break;
    case 3: MakeMeHighExplosiveRocket(); break;
    case 4: MakeMeHFL(); break;
    case 5: MakeMeFastFiringRocket(); break;
    case 6: MakeMeWeavingRockets(); break;
    case 7: MakeMeFirestorm(); break;
    case 8: MakeMeSpaceMines(); break;
    case 9: MakeMePlanetDestroyer(); break;
    case 10: MakeMeBombProjector(); break;
    case 11: MakeMeEnergyFreezer(); break;
    case 12: MakeMeQuadGauss(); break;
    case 13: MakeMeHeatSeekingRocket(); break;
    case 14: MakeMeMineStorm(); break;
    case 15: MakeMeTwinGauss(); break;
    case 16: MakeMeGaussCannon(); break;
    case 17: MakeMeReflexBomb(); break;
    case 18: MakeMeClusterRocket(); break;
    case 19: MakeMeClusterMines(); break;
    case 20: MakeMeTriGauss(); break;
    case 21: MakeMeNuke(); break;
    default: MakeMeLaser(); break;
  }
}

void Weapon::MakeMeLightning() {
  SetKind("Lighting", 3, 135, 10);
  shots = {Shot{.texture = 60,
                .width = 32,
                .height = 64,
                .bounces = true,
                .lifetime = 100,
                .speed = 50,
                .inherit = 0.3f,
                .style = shotstyle::Lightning,
                .damageMin = 1,
                .damageMax = 5,
                .energyDamageMin = 600,
                .energyDamageMax = 800,
                .sound = 2}};
}

void Weapon::MakeMeLaser() {
  SetKind("Laser", 3, 200, 24);
  shots = {Shot{.texture = 5,
                .width = 32,
                .height = 32,
                .bounces = true,
                .lifetime = 200,
                .speed = 35,
                .style = shotstyle::Beam,
                .damageMin = 10,
                .damageMax = 15,
                .energyDamageMin = 400,
                .energyDamageMax = 500,
                .sound = 3}};
}

void Weapon::MakeMeHEL() {
  SetKind("High-Energy Lasers", 3, 400, 24);
  Shot t{.texture = 7,
         .width = 32,
         .height = 32,
         .bounces = true,
         .lifetime = 150,
         .speed = 65,
         .style = shotstyle::Beam,
         .damageMin = 25,
         .damageMax = 45,
         .energyDamageMin = 450,
         .energyDamageMax = 550,
         .sound = 3};
  shots = Volley(t, {{90, 32}, {270, 32}});
}

void Weapon::MakeMeHighExplosiveRocket() {
  SetKind("Explosive Rockets", 5, 0, 35);
  shots = {Shot{.texture = 6,
                .width = 32,
                .height = 32,
                .lifetime = 1000,
                .speed = 0,
                .acceleration = 1.8f,
                .blast = 1,
                .style = shotstyle::Rocket,
                .damageMin = 85,
                .damageMax = 95,
                .energyDamageMin = 1000,
                .energyDamageMax = 1400,
                .sound = 1,
                .hurtsOwner = true}};
}

void Weapon::MakeMeHFL() {
  SetKind("High Frequency Laser", 6, 500, 55);
  shots = {Shot{.texture = 8,
                .width = 32,
                .height = 32,
                .bounces = true,
                .lifetime = 800,
                .speed = 85,
                .behaviour = behaviour::PassesWalls,
                .style = shotstyle::LongBeam,
                .damageMin = 95,
                .damageMax = 115,
                .energyDamageMin = 800,
                .energyDamageMax = 1200,
                .sound = 4}};
}

void Weapon::MakeMeFastFiringRocket() {
  SetKind("Fast Firing Rockets", 5, 0, 10);
  shots = {Shot{.texture = 6,
                .width = 32,
                .height = 32,
                .lifetime = 1000,
                .speed = 0,
                .acceleration = 1.5f,
                .spread = 3,
                .style = shotstyle::SmallRocket,
                .damageMin = 25,
                .damageMax = 45,
                .energyDamageMin = 250,
                .energyDamageMax = 250,
                .sound = 1,
                .soundOnChannel = true}};
}

void Weapon::MakeMeWeavingRockets() {
  SetKind("Weaving Rockets", 5, 0, 50);
  Shot t{.texture = 6,
         .width = 32,
         .height = 32,
         .lifetime = 1000,
         .speed = 35,
         .behaviour = behaviour::Weaving,
         .blast = 2,
         .style = shotstyle::Rocket,
         .damageMin = 95,
         .damageMax = 125,
         .energyDamageMin = 300,
         .energyDamageMax = 400,
         .sound = 1,
         .hurtsOwner = true};
  shots = Repeat(t, 2);
  shots[0].aimOffset = -18;
  shots[0].turnRate = 2;
  shots[1].aimOffset = 18;
  shots[1].turnRate = -2;
}

void Weapon::MakeMeFirestorm() {
  SetKind("Firestorm Launcher!", 5, 400, 35);
  Shot t{.texture = 11,
         .width = 32,
         .height = 32,
         .bounces = true,
         .lifetime = 100,
         .speed = 10,
         .turnRate = 20,
         .inherit = 2.5f,
         .style = shotstyle::Beam,
         .damageMin = 20,
         .damageMax = 20,
         .energyDamageMin = 400,
         .energyDamageMax = 400,
         .sound = 1};
  shots = Repeat(t, 6);
  const float aims[6] = {360, 300, 240, 180, 120, 60};
  for (int i = 0; i < 6; ++i) shots[i].aimOffset = aims[i];
}

void Weapon::MakeMeSpaceMines() {
  SetKind("Space Mines", 0, 600, 200);
  Shot t{.texture = 12,
         .width = 32,
         .height = 32,
         .lifetime = 1000,
         .speed = 0,
         .inherit = 0.1f,
         .blast = 1,
         .style = shotstyle::Mine,
         .damageMin = 80,
         .damageMax = 80,
         .energyDamageMin = 750,
         .energyDamageMax = 1000,
         .sound = 1,
         .hurtsOwner = true};
  shots = Volley(t, {{0, 50}, {90, 50}, {270, 50}, {180, 50}});
}

void Weapon::MakeMePlanetDestroyer() {
  SetKind("Planet Destroyer!", 5, 1600, 50, 100, true);
  shots = {Shot{.texture = 19,
                .width = 20,
                .height = 20,
                .lifetime = 1000,
                .speed = 95,
                .blast = 3,
                .style = shotstyle::Orb,
                .damageMin = 5,
                .damageMax = 10,
                .energyDamageMin = 25,
                .energyDamageMax = 75,
                .sound = 2,
                .hurtsOwner = true}};
}

void Weapon::MakeMeBombProjector() {
  SetKind("Energy Bomb Launcher!", 4, 250, 45);
  shots = {Shot{.texture = 13,
                .width = 64,
                .height = 64,
                .bounces = true,
                .lifetime = 600,
                .speed = 25,
                .inherit = 0.7f,
                .blast = 1,
                .style = shotstyle::Bomb,
                .damageMin = 75,
                .damageMax = 125,
                .energyDamageMin = 1200,
                .energyDamageMax = 1500,
                .sound = 1,
                .hurtsOwner = true}};
}

void Weapon::MakeMeEnergyFreezer() {
  SetKind("Energy Freezing Bombs", 4, 500, 35);
  shots = {Shot{.texture = 21,
                .width = 64,
                .height = 64,
                .lifetime = 120,
                .speed = 45,
                .behaviour = behaviour::Freezes,
                .inherit = 0.5f,
                .style = shotstyle::Bomb,
                .damageMin = 0,
                .damageMax = 5,
                .energyDamageMin = 5000,
                .energyDamageMax = 6000,
                .sound = 2}};
}

void Weapon::MakeMeQuadGauss() {
  SetKind("Quad Automatic Gauss Rifles", 3, 200, 6);
  Shot t{.texture = 33,
         .width = 32,
         .height = 32,
         .lifetime = 40,
         .speed = 65,
         .spread = 16,
         .style = shotstyle::Beam,
         .damageMin = 25,
         .damageMax = 35,
         .energyDamageMin = 100,
         .energyDamageMax = 200,
         .sound = 3};
  // The first and the fourth shot share the left mount.
  shots = Volley(t, {{90, 16}, {90, 32}, {270, 32}, {90, 16}});
}

void Weapon::MakeMeHeatSeekingRocket() {
  SetKind("Heat Seekers", 5, 0, 150);
  shots = {Shot{.texture = 6,
                .width = 32,
                .height = 32,
                .lifetime = 115,
                .speed = 35,
                .behaviour = behaviour::Homing,
                .blast = 2,
                .style = shotstyle::Rocket,
                .damageMin = 85,
                .damageMax = 145,
                .energyDamageMin = 400,
                .energyDamageMax = 550,
                .sound = 1,
                .hurtsOwner = true}};
}

void Weapon::MakeMeMineStorm() {
  SetKind("MineStorm", 0, 1000, 225);
  Shot t{.texture = 12,
         .mountAngle = 90,
         .mountDistance = 30,
         .width = 32,
         .height = 32,
         .bounces = true,
         .lifetime = 1000,
         .speed = 25,
         .blast = 1,
         .style = shotstyle::Mine,
         .damageMin = 120,
         .damageMax = 120,
         .energyDamageMin = 750,
         .energyDamageMax = 1500,
         .sound = 1,
         .hurtsOwner = true};
  shots = Repeat(t, 4);
  const float turns[4] = {32, -32, -16, 16};
  for (int i = 0; i < 4; ++i) shots[i].turnRate = turns[i];
}

void Weapon::MakeMeTwinGauss() {
  SetKind("Twin Automatic Gauss Rifles", 3, 100, 4);
  Shot t{.texture = 33,
         .width = 32,
         .height = 32,
         .lifetime = 40,
         .speed = 65,
         .style = shotstyle::Beam,
         .damageMin = 25,
         .damageMax = 25,
         .energyDamageMin = 50,
         .energyDamageMax = 100,
         .sound = 3};
  shots = Volley(t, {{90, 16}, {270, 16}});
}

void Weapon::MakeMeGaussCannon() {
  SetKind("Gauss Cannon", 3, 800, 55);
  shots = {Shot{.texture = 33,
                .width = 64,
                .height = 64,
                .lifetime = 120,
                .speed = 105,
                .behaviour = behaviour::PassesWalls,
                .style = shotstyle::Beam,
                .damageMin = 250,
                .damageMax = 350,
                .energyDamageMin = 100,
                .energyDamageMax = 200,
                .sound = 3}};
}

void Weapon::MakeMeReflexBomb() {
  SetKind("Reflex Energy Bomb Launcher!", 4, 250, 25);
  shots = {Shot{.texture = 13,
                .width = 64,
                .height = 64,
                .bounces = true,
                .lifetime = 200,
                .speed = 55,
                .behaviour = behaviour::Reflex,
                .blast = 1,
                .style = shotstyle::Bomb,
                .damageMin = 75,
                .damageMax = 75,
                .energyDamageMin = 1000,
                .energyDamageMax = 1000,
                .sound = 1,
                .hurtsOwner = true}};
}

void Weapon::MakeMeClusterRocket() {
  SetKind("Cluster Rockets", 3, 0, 125);
  shots = {Shot{.texture = 6,
                .width = 32,
                .height = 32,
                .lifetime = 30,
                .speed = 40,
                .blast = 1,
                .style = shotstyle::Rocket,
                .sound = 1,
                .hurtsOwner = true,
                .burst = 2}};
}

void Weapon::MakeMeClusterMines() {
  SetKind("Cluster Mines", 0, 900, 175);
  Shot t{.texture = 12,
         .width = 32,
         .height = 32,
         .lifetime = 350,
         .speed = 20,
         .blast = 1,
         .style = shotstyle::Mine,
         .energyDamageMin = 1000,
         .energyDamageMax = 1000,
         .sound = 1,
         .hurtsOwner = true,
         .burst = 2};
  shots = Volley(t, {{270, 50}, {90, 50}});
  shots[0].turnRate = 16;
  shots[1].turnRate = -16;
}

void Weapon::MakeMeTriGauss() {
  SetKind("Triple Piercing Gauss Rifles", 3, 1000, 12);
  Shot t{.texture = 58,
         .width = 32,
         .height = 32,
         .lifetime = 60,
         .speed = 85,
         .behaviour = behaviour::MuzzleFlash,
         .blast = 4,
         .style = shotstyle::Beam,
         .damageMin = 600,
         .damageMax = 600,
         .sound = 3};
  shots = Volley(t, {{90, 32}, {270, 32}, {180, 0}});
}

void Weapon::MakeMeNuke() {
  SetKind("Nuke", 5, 0, 70);
  shots = {Shot{.texture = 6,
                .width = 64,
                .height = 64,
                .lifetime = 400,
                .speed = 30,
                .inherit = 0.4f,
                .blast = 5,
                .style = shotstyle::Rocket,
                .damageMin = 2500,
                .damageMax = 3000,
                .energyDamageMin = 50,
                .energyDamageMax = 70,
                .sound = 1,
                .hurtsOwner = true}};
}

void Weapon::MakeMeShrapnel() {
  SetKind("LOLOLOLOLOLOLOLOLSHRAPNELLSLSL!", 5, 0, 0);
  Shot t{.texture = 41,
         .width = 16,
         .height = 16,
         .lifetime = 50,
         .speed = 0,
         .turnRate = 1,
         .behaviour = behaviour::Shrapnel,
         .blast = 4,
         .spread = 180,
         .style = shotstyle::Fragment,
         .damageMin = 15,
         .damageMax = 15,
         .energyDamageMin = 300,
         .energyDamageMax = 300,
         .sound = 1,
         .soundOnChannel = true};
  shots = Repeat(t, 40);
}

void Weapon::MainLoop() {
  cooldown -= 1;
  if (cooldown < 0) cooldown = 0;
}

void Weapon::Fire(std::vector<Shot>& out, int& energy) {
  if (cooldown != 0 || energy < energyCost) {
    out.clear();
    return;
  }
  out.insert(out.end(), shots.begin(), shots.end());
  cooldown = reloadFrames;
  energy -= energyCost;
}

void Weapon::Fire(std::vector<Shot>& out) { out.insert(out.end(), shots.begin(), shots.end()); }
