#pragma once

#include <csignal>
#include <sys/resource.h>

namespace veltrim::testing {

// Holds every file this process writes to a few bytes, as a full disk would,
// for as long as it lives: a write past the limit fails instead of killing.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        works_ = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool Works() const { return works_; }

  private:
    rlimit saved_{};
    void (*previous_)(int) = nullptr;
    bool works_ = false;
};

} // namespace veltrim::testing
