#include "catalog.h"

#include "art.h"

namespace assetgen {

std::vector<Job> allJobs() {
    return {
        {"font", 2, makeFont},
    };
}

}  // namespace assetgen
