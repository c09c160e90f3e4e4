// Every maker of the generated files, grouped by what they show.
#pragma once

#include "output.h"
#include "pixels.h"

namespace assetgen {

void makeFont(Output& out);
void makeShips(Output& out);
void makeShots(Output& out);
void makeIcons(Output& out);
void makeWalls(Output& out);
void makeDecorations(Output& out);
void makeBlocks(Output& out);
void makeCarrier(Output& out);
Image carrierPicture();
void makeSpaceExplosion(Output& out);
void makeExplosion1(Output& out);
void makeSmallEffects(Output& out);
void makeTitle(Output& out);
void makeOptions(Output& out);
void makeNameEntry(Output& out);
void makeServerList(Output& out);
void makeLoading(Output& out);
void makeBackdrop(Output& out);
void makeSounds(Output& out);
void makeMusic(Output& out);
// The launcher icons under icons/hicolor/ (not loaded by the game).
void makeDesktopIcons(Output& out);

// The hull pictures (256 x 256, nose up), also used on the title screens.
Image fighterPicture();
Image bomberPicture();
Image scoutPicture();

}  // namespace assetgen
