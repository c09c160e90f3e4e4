// libFuzzer target for Settings.cfg: any file reads as a bounded name and
// three numbers, and what is written back reads the same again.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "ui/settings.h"

static void Check(bool promise) {
  if (!promise) std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // On tmpfs: a file written per run on disk costs milliseconds.
  static const std::string file = "/dev/shm/voidrake-settings-fuzz-" + std::to_string(getpid());
  SetSettingsFile(file);
  std::FILE* f = std::fopen(file.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  std::string name;
  int level = 0, music = 0, mode = 0;
  Check(ReadSettings(name, level, music, mode));
  Check(name.size() <= kMaxSettingsName && name.find('\n') == std::string::npos);
  // The file keeps the name as text: it ends at a zero byte.
  name.resize(name.find('\0') == std::string::npos ? name.size() : name.find('\0'));
  WriteSettings(name, level, music, mode);
  std::string name2;
  int level2 = 1, music2 = 1, mode2 = 1;
  Check(ReadSettings(name2, level2, music2, mode2));
  Check(name2 == name && level2 == level && music2 == music && mode2 == mode);
  return 0;
}
