#include "batch/progress.h"

#include "platform/terminal.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace velmora::batch {

Progress::Progress(std::size_t total)
    : total_(total), visible_(isTerminal(StandardStream::Error)),
      start_(std::chrono::steady_clock::now()) {}

void Progress::fileDone() {
    const std::size_t done = ++done_;
    if (!visible_)
        return;
    std::lock_guard lock(mutex_);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    const double rate = seconds > 0 ? static_cast<double>(done) / seconds : 0.0;
    const std::size_t total = std::max(total_.load(), done);
    const double eta = rate > 0 ? static_cast<double>(total - done) / rate : 0.0;
    constexpr std::size_t kWidth = 30;
    const std::size_t filled = total ? kWidth * done / total : kWidth;
    std::fprintf(stderr, "\r[%s%s] %zu/%zu files  %.1f files/s  ETA %.0fs ",
                 std::string(filled, '#').c_str(), std::string(kWidth - filled, '.').c_str(), done,
                 total, rate, eta);
    if (done == total)
        std::fprintf(stderr, "\n");
    std::fflush(stderr);
}

} // namespace velmora::batch
