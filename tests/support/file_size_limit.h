// A full disk for tests, made by limiting how large this process may grow a
// file (POSIX only).
#pragma once

#ifndef _WIN32
#include <sys/resource.h>

#include <csignal>

#include "os/files.h"

namespace vl::test {

// A full disk, made by limiting how large this process may grow a file. The
// signal such a limit raises keeps its default action, which ends the
// process: the game itself has to keep it from doing so.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    oldHandler_ = std::signal(SIGXFSZ, SIG_DFL);
    os::KeepRunningAtFileSizeLimit();  // as the game does when it starts
    rlimit lim = saved_;
    lim.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &lim);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, oldHandler_);
  }

 private:
  rlimit saved_{};
  void (*oldHandler_)(int) = nullptr;
};

}  // namespace vl::test
#endif
