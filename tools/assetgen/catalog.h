// The list of generation jobs. Each job writes one or more files and uses
// only its own random streams, so jobs can run in any order on any thread
// and still give the same bytes.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "output.h"

namespace assetgen {

struct Job {
  std::string name;  // used by --only and in messages
  int cost;          // rough weight: heavy jobs start first
  std::function<void(Output&)> run;
};

std::vector<Job> allJobs();

}  // namespace assetgen
