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
      {"effects-blast", 10, makeSpaceExplosion},
      {"effects-explosion1", 10, makeExplosion1},
      {"effects-small", 7, makeSmallEffects},
      {"screen-title", 9, makeTitle},
      {"screen-options", 8, makeOptions},
      {"screen-name", 8, makeNameEntry},
      {"screen-serverlist", 6, makeServerList},
      {"screen-loading", 7, makeLoading},
      {"screen-backdrop", 6, makeBackdrop},
      {"sounds", 2, makeSounds},
      {"music", 20, makeMusic},
      {"desktop-icons", 3, makeDesktopIcons},
  };
}

}  // namespace assetgen
