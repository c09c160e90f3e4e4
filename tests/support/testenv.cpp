#include "tests/support/testenv.h"

#include <unistd.h>

#include <fstream>
#include <random>
#include <sstream>

namespace testsupport {

TempDir::TempDir() {
  std::random_device rd;
  for (int attempt = 0; attempt < 100; ++attempt) {
    auto candidate = std::filesystem::temp_directory_path() /
                     ("voidrake-test-" + std::to_string(getpid()) + "-" + std::to_string(rd()));
    if (std::filesystem::create_directory(candidate)) {
      path_ = candidate;
      return;
    }
  }
  throw std::runtime_error("cannot create a temporary directory");
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

bool FileExists(const std::string& path) { return std::filesystem::exists(path); }

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string SourceDir() { return VOIDRAKE_SOURCE_DIR; }
std::string RunDir() { return VOIDRAKE_RUN_DIR; }
std::string BinaryPath() {
  const char* override = std::getenv("VOIDRAKE_BINARY");
  return override && *override ? override : VOIDRAKE_BINARY;
}

}  // namespace testsupport
