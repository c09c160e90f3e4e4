// Small helpers shared by the test programs: temporary directories, whole
// file reads and writes, and the paths the build hands to the tests.
#pragma once

#include <filesystem>
#include <string>

namespace testsupport {

// A fresh directory under the system's temporary directory, removed with
// everything in it when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

// The whole file as bytes; "" when it cannot be read.
std::string ReadFile(const std::string& path);
bool FileExists(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);

// Where the build put things (compile definitions of test_support).
std::string SourceDir();
std::string RunDir();      // the game's run directory with the generated data
std::string BinaryPath();  // the game executable

}  // namespace testsupport
