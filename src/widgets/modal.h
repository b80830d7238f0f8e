// Message boxes opened by a handler pause the machine's clock: while one is
// open no timer fires, and when it closes the clock goes on without a burst.
#pragma once

#include <cstdint>

namespace popchan {

class ModalTracker {
  public:
    void enter() { ++open_; }
    void leave() {
        --open_;
        ++closed_;
    }
    bool any_open() const { return open_ > 0; }
    std::uint64_t closed_count() const { return closed_; }

  private:
    int open_ = 0;
    std::uint64_t closed_ = 0;
};

} // namespace popchan
