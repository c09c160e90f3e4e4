// Settings.cfg: four lines in the working directory - player name, graphics
// level (0 high, 1 medium, 2 low), game mode offered when hosting, music
// during games (1 on, 0 off). Line ends are single line feeds; the last line
// has none.
#pragma once

#include <string>

constexpr size_t kMaxSettingsName = 99;

// The value of each line when the file lacks it.
inline constexpr const char* kDefaultName = "Player";
constexpr int kDefaultLevel = 0, kDefaultMode = 0, kDefaultMusic = 1;

// Writes name, level, mode, music (in that line order; note the parameter
// order). When the file cannot be written the values are kept for this run
// (ReadSettings and ReadHostBots give them) and SettingsSaveError says why.
void WriteSettings(std::string name, int level, int music, int mode);

// Reads the file into the four values and also sets the global
// graphicslevel. A missing file changes nothing. A name longer than 99
// characters is cut there; a missing line takes its default above (an empty
// line is not missing: an empty name, or 0), and the numbers follow atoi
// (leading blanks, optional sign, digits; anything else is 0).
// Returns whether the file was read.
bool ReadSettings(std::string& name, int& level, int& music, int& mode);

// The optional fifth line: computer players kept in networked games this copy
// hosts (0 to 31; a missing line or no file gives 0). WriteSettings keeps
// it; older copies read the first four lines and ignore it.
int ReadHostBots();
void WriteHostBots(int count);
// The options screen's next count after `count`: 0, 1, 2, 3, 4, 6, 8, 12, 16,
// 24, 31, then 0 again.
int NextHostBots(int count);
constexpr int kMaxHostBots = 31;

// On first start, when there is no file yet: "Player", level 0, mode 0,
// music 1.
void WriteDefaultSettingsIfMissing();

// Why the last write failed ("<reason> (<file>)"), or "" after a good one.
const std::string& SettingsSaveError();

// The file used (tests point it elsewhere); "Settings.cfg" by default.
void SetSettingsFile(const std::string& path);
const std::string& SettingsFile();

// atoi without its undefined overflow: clamps to the int range.
int SettingsNumber(const std::string& line);
