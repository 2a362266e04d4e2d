#include "platform/guid.h"

#include "platform/system_random.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <cstdio>

namespace velmora {
namespace {

class RandomGuids final : public GuidSource {
public:
    std::string newGuid() override {
        std::array<std::uint8_t, 16> bytes{};
        fillWithSystemRandom(bytes);
        bytes[6] = static_cast<std::uint8_t>((bytes[6] & 0x0F) | 0x40); // version 4
        bytes[8] = static_cast<std::uint8_t>((bytes[8] & 0x3F) | 0x80); // RFC 9562 variant
        char text[37];
        std::snprintf(text, sizeof text,
                      "%02x%02x%02x%02x-%02x%02x-%02x%02x-%02x%02x-%02x%02x%02x%02x%02x%02x",
                      bytes[0], bytes[1], bytes[2], bytes[3], bytes[4], bytes[5], bytes[6],
                      bytes[7], bytes[8], bytes[9], bytes[10], bytes[11], bytes[12], bytes[13],
                      bytes[14], bytes[15]);
        return text;
    }
};

std::atomic<GuidSource*> installed{nullptr};

} // namespace

std::string newGuidText() {
    static RandomGuids random;
    GuidSource* source = installed.load(std::memory_order_acquire);
    return source ? source->newGuid() : random.newGuid();
}

GuidSource* installGuidSource(GuidSource* source) {
    return installed.exchange(source, std::memory_order_acq_rel);
}

} // namespace velmora
