// Test helpers that point standard descriptors of the test process elsewhere for a scope.
#ifndef VIREO_TESTS_PLATFORM_FDREDIRECT_H
#define VIREO_TESTS_PLATFORM_FDREDIRECT_H

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <string>

namespace vireo {
namespace testing {

// Makes `fd` refer to what `target` refers to, and restores it at the end of the scope.
class FdRedirect {
 public:
  FdRedirect(int fd, int target) : fd_(fd), saved_(::dup(fd)) {
    std::fflush(nullptr);
    ::dup2(target, fd);
  }
  ~FdRedirect() {
    std::fflush(nullptr);
    ::dup2(saved_, fd_);
    ::close(saved_);
  }
  FdRedirect(FdRedirect const&) = delete;
  FdRedirect& operator=(FdRedirect const&) = delete;

 private:
  int fd_;
  int saved_;
};

// Standard input from /dev/null: no terminal, immediate end of input.
class NullInput {
 public:
  NullInput() : null_(::open("/dev/null", O_RDONLY)), redirect_(STDIN_FILENO, null_) {}
  ~NullInput() { ::close(null_); }

 private:
  int null_;
  FdRedirect redirect_;
};

// Collects what the process writes to standard error while it lives.
class StderrCapture {
 public:
  StderrCapture() : file_(std::tmpfile()), redirect_(STDERR_FILENO, ::fileno(file_)) {}
  ~StderrCapture() { std::fclose(file_); }

  std::string Text() const {
    std::fflush(stderr);
    std::string text;
    char buffer[4096];
    off_t offset = 0;
    for (;;) {
      ssize_t const n = ::pread(::fileno(file_), buffer, sizeof buffer, offset);
      if (n <= 0) return text;
      text.append(buffer, static_cast<std::size_t>(n));
      offset += n;
    }
  }

 private:
  std::FILE* file_;
  FdRedirect redirect_;
};

}  // namespace testing
}  // namespace vireo

#endif
