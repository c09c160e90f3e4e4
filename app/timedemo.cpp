#include "app/timedemo.h"

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "app/autopilot.h"
#include "app/drawall.h"
#include "app/gameobjects.h"
#include "app/gamestates.h"
#include "app/menutree.h"
#include "app/singleplayer.h"
#include "app/startup.h"
#include "net/networkhandler.h"
#include "platform/globals.h"
#include "platform/platform.h"
#include "render/glwrapper.h"
#include "render/rendersort.h"
#include "sim/bulletmanager.h"
#include "sim/enemymanager.h"
#include "sim/spaceship.h"
#include "sim/weapon.h"
#include "world/world.h"

TimedemoOptions timedemoOptions;

namespace {

// Taken during static initialisation, before main: the reference point of
// startup_ms.
const auto kProcessStart = std::chrono::steady_clock::now();

}  // namespace

double Percentile(std::vector<double> samples, double p) {
  if (samples.empty()) return 0;
  std::sort(samples.begin(), samples.end());
  const double rank = std::ceil(p / 100.0 * static_cast<double>(samples.size()));
  const size_t index = static_cast<size_t>(std::max(1.0, rank)) - 1;
  return samples[std::min(index, samples.size() - 1)];
}

std::string TimedemoLine(const TimedemoFigures& f) {
  char line[512];
  std::snprintf(line, sizeof line,
                "timedemo frames=%d level=%d sim_ms_median=%.3f draw_ms_median=%.3f "
                "frame_ms_median=%.3f frame_ms_p95=%.3f frame_ms_max=%.3f startup_ms=%.0f "
                "peak_rss_mb=%.1f",
                f.frames, f.level, f.simMedian, f.drawMedian, f.frameMedian, f.frameP95, f.frameMax,
                f.startupMs, f.peakRssMb);
  std::string text = line;
  if (f.extraProjectiles > 0) text += " extra_projectiles=" + std::to_string(f.extraProjectiles);
  return text;
}

double MsSinceProcessStart() {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - kProcessStart)
      .count();
}

double PeakRssMb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

namespace {

void FlyWithAutopilot(bool* keys) { AutopilotKeys(Player, Enemies, keys); }

// Title -> Play -> game start, with the level of the command line instead of
// the settings file's.
void EnterSinglePlayerGame(int level) {
  FinishLoading();
  multiplayer = false;
  StartTitleChoice(true, false);
  graphicslevel = level;
  SetUpGraphicsLevel(level);
  Game = 1;
  SetUpComputerPlayers();
  Networking.SetGameStats(Player.name + "'s Game!", Game);
  inloop = ScreenState::Playing;
  SortedRenderer.InitMe(&Textures, &Shaders);
}

// The hull menu's "Respawn as Space Superiority Fighter", whenever the ship
// is dead (at the start and after every death).
void RespawnAsFirstHull() {
  if (Player.alive || Player.respawnRequested) return;
  FollowLink(0, menuaction::TakeHull, 0);
}

// Every opponent's position, in table order.
std::string OpponentSummary() {
  std::string text;
  for (const EnemyManager::player& p : Enemies.players) {
    char item[64];
    std::snprintf(item, sizeof item, "%s%.3f,%.3f", text.empty() ? "" : ";", p.x, p.y);
    text += item;
  }
  return text;
}

// Volleys of every weapon in turn, from free spots all over the arena, until
// `count` projectiles fly. They are the local player's, cost nothing and
// fight like any other; their places come from drawing's generator.
void TopUpProjectiles(int count) {
  int live = 0;
  for (const BulletManager::Bullet& b : Bullets.bullets) live += b.active;
  static int kind = 0;
  while (live < count) {
    float x, y;
    do {
      x = Utility.VisualRandom(1000, 19500);
      y = Utility.VisualRandom(1000, 19500);
    } while (Level.CollisionObjects(x - 64, y - 64, 128, 128));
    Weapon w;
    w.InitMe(&Utility);
    w.MakeMeWeapon(kind++ % kWeaponIds);
    Bullets.ShootMe(w, x, y, Utility.VisualRandom(0, 360), 0, 0, myGUID);
    live += static_cast<int>(w.shots.size());
  }
}

double MsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

}  // namespace

int RunTimedemo(const TimedemoOptions& options) {
  EnterSinglePlayerGame(options.level);
  SetKeyProvider(&FlyWithAutopilot);
  std::vector<double> sim, draw, frame;
  sim.reserve(options.frames);
  draw.reserve(options.frames);
  frame.reserve(options.frames);
  TimedemoFigures figures;
  for (int i = 0; i < options.frames && !quitall && !platform::QuitRequested(); ++i) {
    RespawnAsFirstHull();
    if (options.extraProjectiles > 0) TopUpProjectiles(options.extraProjectiles);
    const auto start = std::chrono::steady_clock::now();
    platform::BeginFrame();
    PlayingFrame();
    const double ms = MsSince(start);
    if (i == 0) figures.startupMs = MsSinceProcessStart();
    frame.push_back(ms);
    sim.push_back(LastSimulationMs());
    draw.push_back(ms - LastSimulationMs());
  }
  SetKeyProvider(nullptr);
  figures.frames = static_cast<int>(frame.size());
  figures.level = graphicslevel;
  figures.simMedian = Percentile(sim, 50);
  figures.drawMedian = Percentile(draw, 50);
  figures.frameMedian = Percentile(frame, 50);
  figures.frameP95 = Percentile(frame, 95);
  figures.frameMax = Percentile(frame, 100);
  figures.peakRssMb = PeakRssMb();
  figures.extraProjectiles = options.extraProjectiles;
  std::printf("%s\n", TimedemoLine(figures).c_str());
  std::fflush(stdout);
  // How the fight ended, for checking that a seed replays the same fight.
  std::fprintf(stderr, "timedemo fight: wins=%d losses=%d ship=%.3f,%.3f opponents=%s\n",
               Player.kills, Player.deaths, Player.x, Player.y, OpponentSummary().c_str());
  quitall = true;
  platform::PostQuit();
  return 0;
}
