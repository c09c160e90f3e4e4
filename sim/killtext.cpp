// The kill announcement phrases: the killer's copy sends one per kill.
#include "sim/killtext.h"

std::string KillText(int phrase, const std::string& killer, const std::string& victim) {
  static const char* const kPhrases[][2] = {
      {" wiped up ", "!!!!"},
      {" showed ", " who's boss!"},
      {"'s skill made ", " just look sad."},
      {" caught ", " off-guard!"},
      {" broke ", "'s life :'("},
      {" laughs at ", "'s misfortune!"},
      {" gave ", " a free ride back to respawn land."},
      {" burninated ", "'s cottage!"},
      {" made ", " look easy!"},
      {" made ", " eat his burning hot plasma!"},
      {" reduced ", " to a 3x3x3 cube!"},
      {" proved to ", " that in space, no one can hear you scream."},
      {" made ", " go run back to mommy!"},
      {" has ", " looking for a good lawyer."},
      {" destroyed ", "'s last shred of self-esteem!"},
  };
  constexpr int kCount = sizeof(kPhrases) / sizeof(kPhrases[0]);
  const int row = (phrase >= 1 && phrase <= kCount) ? phrase - 1 : kCount - 1;
  return killer + kPhrases[row][0] + victim + kPhrases[row][1];
}
