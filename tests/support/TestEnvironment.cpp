#include "tests/support/TestEnvironment.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace vireo {
namespace testing {

TemporaryDirectory::TemporaryDirectory() {
  char const* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/vireo-test-XXXXXX";
  if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary directory");
  path_ = pattern;
}

TemporaryDirectory::~TemporaryDirectory() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

namespace {
void Save(char const* name, std::string& value, bool& had) {
  char const* v = std::getenv(name);
  had = v != nullptr;
  if (had) value = v;
}
void Restore(char const* name, std::string const& value, bool had) {
  if (had)
    ::setenv(name, value.c_str(), 1);
  else
    ::unsetenv(name);
}
}  // namespace

IsolatedEnvironment::IsolatedEnvironment() {
  Save("HOME", savedHome_, hadHome_);
  Save("XDG_CONFIG_HOME", savedConfig_, hadConfig_);
  Save("TMPDIR", savedTmp_, hadTmp_);
  std::filesystem::create_directories(ConfigHome());
  std::filesystem::create_directories(Temp());
  ::setenv("HOME", Home().c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", ConfigHome().c_str(), 1);
  ::setenv("TMPDIR", Temp().c_str(), 1);
}

IsolatedEnvironment::~IsolatedEnvironment() {
  Restore("HOME", savedHome_, hadHome_);
  Restore("XDG_CONFIG_HOME", savedConfig_, hadConfig_);
  Restore("TMPDIR", savedTmp_, hadTmp_);
}

}  // namespace testing
}  // namespace vireo
