// The line a killer's copy announces for each of its kills.
#pragma once

#include <string>

// The announcement of a kill: killer, first phrase, victim, second phrase.
// Phrase numbers outside 1..15 take the last row of the table.
std::string KillText(int phrase, const std::string& killer, const std::string& victim);

// How many phrases there are (drawn from 1..kKillPhrases).
constexpr int kKillPhrases = 15;
