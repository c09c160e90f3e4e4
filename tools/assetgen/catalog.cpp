#include "catalog.h"

#include "art.h"

namespace assetgen {

std::vector<Job> allJobs() {
    return {
        {"font", 2, makeFont},
        {"ships", 4, makeShips},
        {"shots", 3, makeShots},
        {"icons", 1, makeIcons},
        {"walls", 1, makeWalls},
        {"decorations", 5, makeDecorations},
        {"blocks", 6, makeBlocks},
        {"carrier", 8, makeCarrier},
    };
}

}  // namespace assetgen
