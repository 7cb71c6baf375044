// A fresh temporary directory per test, and HOME, XDG_CONFIG_HOME and TMPDIR pointed into it,
// so that no test touches the real user's files.
#ifndef VIREO_TESTS_SUPPORT_TESTENVIRONMENT_H
#define VIREO_TESTS_SUPPORT_TESTENVIRONMENT_H

#include <string>

namespace vireo {
namespace testing {

// Creates a new empty directory under the system's temporary directory; removes it (and all
// it holds) when destroyed.
class TemporaryDirectory {
 public:
  TemporaryDirectory();
  ~TemporaryDirectory();
  TemporaryDirectory(TemporaryDirectory const&) = delete;
  TemporaryDirectory& operator=(TemporaryDirectory const&) = delete;

  std::string const& Path() const { return path_; }

 private:
  std::string path_;
};

// Points HOME, XDG_CONFIG_HOME and TMPDIR into a fresh temporary directory for the scope and
// restores them afterwards. Use in processes of their own: the environment is process-wide.
class IsolatedEnvironment {
 public:
  IsolatedEnvironment();
  ~IsolatedEnvironment();

  std::string const& Root() const { return root_.Path(); }
  std::string Home() const { return root_.Path() + "/home"; }
  std::string ConfigHome() const { return root_.Path() + "/home/.config"; }
  std::string Temp() const { return root_.Path() + "/tmp"; }

 private:
  TemporaryDirectory root_;
  std::string savedHome_, savedConfig_, savedTmp_;
  bool hadHome_, hadConfig_, hadTmp_;
};

}  // namespace testing
}  // namespace vireo

#endif
