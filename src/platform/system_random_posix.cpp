#include "platform/system_random.h"

#include <cerrno>
#include <sys/random.h>
#include <system_error>

namespace velmora {

void fillWithSystemRandom(std::span<std::uint8_t> bytes) {
    std::size_t filled = 0;
    while (filled < bytes.size()) {
        const ssize_t got = ::getrandom(bytes.data() + filled, bytes.size() - filled, 0);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throw std::system_error(errno, std::generic_category(),
                                    "the system's random generator");
        filled += static_cast<std::size_t>(got);
    }
}

} // namespace velmora
