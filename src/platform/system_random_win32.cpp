#include "platform/system_random.h"

#include <windows.h>

#include <algorithm>
#include <bcrypt.h>
#include <limits>
#include <system_error>

namespace velmora {

void fillWithSystemRandom(std::span<std::uint8_t> bytes) {
    constexpr std::size_t kLargestRequest = std::numeric_limits<ULONG>::max();
    while (!bytes.empty()) {
        const std::size_t count = std::min(bytes.size(), kLargestRequest);
        const NTSTATUS status = ::BCryptGenRandom(nullptr, bytes.data(), static_cast<ULONG>(count),
                                                  BCRYPT_USE_SYSTEM_PREFERRED_RNG);
        if (!BCRYPT_SUCCESS(status))
            throw std::system_error(static_cast<int>(status), std::system_category(),
                                    "the system's random generator");
        bytes = bytes.subspan(count);
    }
}

} // namespace velmora
