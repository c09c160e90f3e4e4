// The timedemo: `voidrake2 --timedemo N [--level L] [--seed S]
// [--extra-projectiles P]` starts a game against the computer players at
// once, flies the local ship with the autopilot for N frames without frame
// pacing (every frame presented), prints one line of figures and ends the
// program with status 0. With P, at least P more projectiles fly over the
// whole arena on every frame: the cost of a crowded fight.
#pragma once

#include <string>
#include <vector>

struct TimedemoOptions {
  bool enabled = false;
  int frames = 0;
  int level = 2;        // graphics level asked for (0 high, 1 medium, 2 low)
  bool seeded = false;  // --seed given: the same seed gives the same fight
  unsigned int seed = 0;
  int extraProjectiles = 0;  // kept flying over the arena, besides the fight's own
};

// The options of this run (filled by main from the command line before the
// game thread starts).
extern TimedemoOptions timedemoOptions;

struct TimedemoFigures {
  int frames = 0;
  int level = 0;
  double simMedian = 0, drawMedian = 0;
  double frameMedian = 0, frameP95 = 0, frameMax = 0;
  double startupMs = 0;
  double peakRssMb = 0;
  int extraProjectiles = 0;
};

// Nearest-rank percentile (0 < p <= 100) of the samples; 0 for none.
double Percentile(std::vector<double> samples, double p);

// "timedemo frames=N level=L sim_ms_median=... draw_ms_median=...
// frame_ms_median=... frame_ms_p95=... frame_ms_max=... startup_ms=...
// peak_rss_mb=..." and " extra_projectiles=P" when there were any.
std::string TimedemoLine(const TimedemoFigures& figures);

// Milliseconds since the process started.
double MsSinceProcessStart();
// Largest resident set size of the process so far, in megabytes.
double PeakRssMb();

// Runs the demo on the game thread once start-up is done: enters the game,
// runs the frames, prints the line to standard output. Returns the exit
// status of the program (0).
int RunTimedemo(const TimedemoOptions& options);
