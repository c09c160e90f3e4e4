#include "app/timedemo.h"

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>

TimedemoOptions timedemoOptions;

namespace {

// Taken during static initialisation, before main: the reference point of
// startup_ms.
const auto kProcessStart = std::chrono::steady_clock::now();

bool ParseInt(const std::string& text, long long low, long long high, long long& out) {
  if (text.empty()) return false;
  char* end = nullptr;
  const long long value = std::strtoll(text.c_str(), &end, 10);
  if (end == nullptr || *end != '\0' || value < low || value > high) return false;
  out = value;
  return true;
}

}  // namespace

bool ParseTimedemoOptions(const std::vector<std::string>& args, TimedemoOptions& options,
                          std::string& error) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a != "--timedemo" && a != "--level" && a != "--seed") continue;
    if (i + 1 >= args.size()) {
      error = a + " needs a value";
      return false;
    }
    const std::string& v = args[++i];
    long long value = 0;
    if (a == "--timedemo") {
      if (!ParseInt(v, 1, 100000000, value)) {
        error = "--timedemo needs a frame count of at least 1, not \"" + v + "\"";
        return false;
      }
      options.enabled = true;
      options.frames = static_cast<int>(value);
    } else if (a == "--level") {
      if (!ParseInt(v, 0, 2, value)) {
        error = "--level needs 0 (high), 1 (medium) or 2 (low), not \"" + v + "\"";
        return false;
      }
      options.level = static_cast<int>(value);
    } else {
      if (!ParseInt(v, 0, 4294967295LL, value)) {
        error = "--seed needs a number from 0 to 4294967295, not \"" + v + "\"";
        return false;
      }
      options.seeded = true;
      options.seed = static_cast<unsigned int>(value);
    }
  }
  return true;
}

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
                f.frames, f.level, f.simMedian, f.drawMedian, f.frameMedian, f.frameP95,
                f.frameMax, f.startupMs, f.peakRssMb);
  return line;
}

double MsSinceProcessStart() {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() -
                                                   kProcessStart)
      .count();
}

double PeakRssMb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}
