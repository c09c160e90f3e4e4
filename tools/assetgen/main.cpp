// assetgen: makes every picture, frame sequence, sound, the music and the font
// picture that the game loads at start-up.
//
//   assetgen [--only WORD]... [--contact-sheet FILE.png] [--threads N] [OUTDIR]
//
// Without OUTDIR nothing is written except the review sheet.
#include <FreeImage.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "catalog.h"
#include "contactsheet.h"

using namespace assetgen;

namespace {

struct Options {
  std::string outDir, sheet;
  std::vector<std::string> only;
  int threads = 2;
};

bool parse(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    bool hasValue = i + 1 < argc;
    if (a == "--contact-sheet" && hasValue)
      o.sheet = argv[++i];
    else if (a == "--only" && hasValue)
      o.only.push_back(argv[++i]);
    else if (a == "--threads" && hasValue)
      o.threads = std::max(1, std::atoi(argv[++i]));
    else if (!a.empty() && a[0] != '-' && o.outDir.empty())
      o.outDir = a;
    else
      return false;
  }
  return true;
}

bool selected(const Options& o, const Job& j) {
  if (o.only.empty()) return true;
  return std::any_of(o.only.begin(), o.only.end(),
                     [&](const std::string& w) { return j.name.find(w) != std::string::npos; });
}

}  // namespace

int main(int argc, char** argv) {
  Options opt;
  if (!parse(argc, argv, opt)) {
    std::fprintf(
        stderr,
        "usage: assetgen [--only WORD]... [--contact-sheet FILE.png] [--threads N] [OUTDIR]\n");
    return 2;
  }
  FreeImage_Initialise(FALSE);
  auto start = std::chrono::steady_clock::now();

  std::vector<Job> jobs;
  for (Job& j : allJobs())
    if (selected(opt, j)) jobs.push_back(std::move(j));
  std::stable_sort(jobs.begin(), jobs.end(),
                   [](const Job& a, const Job& b) { return a.cost > b.cost; });

  Output out(opt.outDir);
  std::atomic<size_t> nextJob{0};
  auto worker = [&] {
    for (size_t i; (i = nextJob++) < jobs.size();) jobs[i].run(out);
  };
  std::vector<std::thread> pool;
  for (int t = 1; t < opt.threads; ++t) pool.emplace_back(worker);
  worker();
  for (std::thread& t : pool) t.join();

  bool ok = !out.failed();
  if (!opt.sheet.empty()) ok = writeContactSheet(out.takeThumbs(), opt.sheet) && ok;
  double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("assetgen: %zu jobs, %d files, %.1f MB, %.1f s\n", jobs.size(), out.filesWritten(),
              out.bytesWritten() / 1048576.0, secs);
  FreeImage_DeInitialise();
  return ok ? 0 : 1;
}
