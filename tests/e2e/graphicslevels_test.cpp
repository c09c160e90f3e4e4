// Graphics set-up of the real binary at game start: on this driver the
// medium and high levels hold; without shader support, without framebuffer
// objects, or with a broken shader file the game steps down a level with
// its message and plays on.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>

#include "tests/support/gameprocess.h"
#include "tests/support/testenv.h"

namespace fs = std::filesystem;

namespace {

struct DemoResult {
  int level = -1;  // the level the timedemo ended up drawing, -1 without its line
  std::string err;
};

class GraphicsLevelsTest : public ::testing::Test {
 protected:
  void SetUp() override { testsupport::PrepareRunDirectory(dir.path().string()); }

  // A short timedemo at `level`; `env` is prefixed to the command (driver
  // overrides).
  DemoResult Demo(int level, const std::string& env = "") {
    const std::string errFile = dir.File("stderr.txt");
    const std::string out = testsupport::ShellOutput(
        "cd '" + dir.path().string() + "' && " + env + " VOIDRAKE_NO_DIALOGS=1 timeout 120 '" +
        testsupport::BinaryPath() + "' --windowed --timedemo 40 --level " + std::to_string(level) +
        " 2>'" + errFile + "'");
    DemoResult run;
    std::smatch m;
    if (std::regex_search(out, m, std::regex("timedemo frames=40 level=([0-9])")))
      run.level = std::stoi(m[1]);
    run.err = testsupport::ReadFile(errFile);
    return run;
  }

  // The "Error: " lines (message boxes without dialogs), in order.
  static std::string Messages(const std::string& err) {
    std::string lines;
    for (size_t at = err.find("Error: "); at != std::string::npos;
         at = err.find("Error: ", at + 1)) {
      lines += err.substr(at, err.find('\n', at) - at) + "\n";
    }
    return lines;
  }

  testsupport::TempDir dir;
};

TEST_F(GraphicsLevelsTest, MediumAndHighHoldOnThisDriver) {
  for (int level : {1, 0}) {
    SCOPED_TRACE(level);
    const DemoResult run = Demo(level);
    EXPECT_EQ(run.level, level) << run.err;
    EXPECT_EQ(Messages(run.err), "");
  }
}

TEST_F(GraphicsLevelsTest, WithoutShaderSupportTheGameFallsToLow) {
  const DemoResult run = Demo(0, "MESA_EXTENSION_OVERRIDE=-GL_ARB_shading_language_100");
  EXPECT_EQ(run.level, 2) << run.err;
  EXPECT_EQ(Messages(run.err),
            "Error: Your Computer doesn't support this high a graphics level!  Try low "
            "graphics.\n"
            "Error: Switching to low graphics due to video card issues...\n");
}

TEST_F(GraphicsLevelsTest, WithoutFramebufferObjectsHighFallsToMedium) {
  const DemoResult run =
      Demo(0, "MESA_GL_VERSION_OVERRIDE=2.1 MESA_EXTENSION_OVERRIDE=-GL_ARB_framebuffer_object");
  EXPECT_EQ(run.level, 1) << run.err;
  EXPECT_EQ(Messages(run.err),
            "Error: Your computer doesn't seem to be able to support high graphics.  Switching "
            "to medium!\n");
}

TEST_F(GraphicsLevelsTest, ABrokenShaderFileFallsToLowWithTheDriversLog) {
  // A private copy of the shader sources with one that does not compile.
  const fs::path shaders = dir.path() / "Shaders";
  fs::remove(shaders);
  fs::copy(fs::path(testsupport::RunDir()) / "Shaders", shaders);
  testsupport::WriteFile((shaders / "HorizBlur.frag").string(),
                         "#version 110\nvoid main() { gl_FragColor = undefinedThing; }\n");
  const DemoResult run = Demo(1);
  EXPECT_EQ(run.level, 2) << run.err;
  EXPECT_EQ(Messages(run.err), "Error: Switching to low graphics due to video card issues...\n");
  EXPECT_NE(run.err.find("HorizBlur.frag"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("undefinedThing"), std::string::npos) << run.err;
}

}  // namespace
