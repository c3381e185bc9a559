#include "speedometer/TextDisplacement.hpp"

#include "host/HostAddress.hpp"
#include "host/HostGame.hpp"
#include "injector/hooking.hpp"
#include "injector/instructions.hpp"
#include "speedometer/DialRenderer.hpp"
#include "speedometer/SpriteQuads.hpp"

#include <array>
#include <cstring>

namespace {

constexpr float kTextShift = 355.0f;

struct TextSite {
    HostAddress site;
    std::uint32_t (*replacement)(float, float, std::uint32_t);
};

constexpr std::array<TextSite, 2> kTextSites{{
    {0x58AE5D, &DrawTextShiftedA},
    {0x58B156, &DrawTextShiftedB},
}};

float ShiftedX(float x) {
    return IsDialVehicle(HostGetPlayerVehicle(-1, 1)) ? x - ScaleFrom1080(kTextShift) : x;
}

// The call each site held before our first redirection. When the library goes, a site
// that still calls our replacement gets it back, so the host never calls into freed
// memory; a site that other code has patched since is theirs and is left alone. The
// restorer is created at the first installation, after the event hooks, so it is destroyed
// before them.
class TextSiteRestorer {
public:
    void Remember(std::size_t index, injector::process_address site) {
        Saved& saved = saved_[index];
        if (saved.held) {
            return;
        }
        Bytes now{};
        injector::read_host_bytes(site, now.data(), now.size(), true);
        if (!CallsReplacement(index, site, now)) {
            saved = {site, now, true};
        }
    }
    ~TextSiteRestorer() {
        for (std::size_t i = 0; i < saved_.size(); ++i) {
            const Saved& saved = saved_[i];
            if (!saved.held) {
                continue;
            }
            Bytes now{};
            injector::read_host_bytes(saved.site, now.data(), now.size(), true);
            if (CallsReplacement(i, saved.site, now)) {
                injector::write_host_bytes(saved.site, saved.bytes.data(), saved.bytes.size(), true);
            }
        }
    }

private:
    using Bytes = std::array<std::uint8_t, sizeof(injector::RelativeCall)>;

    struct Saved {
        injector::process_address site = 0;
        Bytes bytes{};
        bool held = false;
    };

    static bool CallsReplacement(std::size_t index, injector::process_address site, const Bytes& bytes) {
        injector::RelativeCall call{};
        std::memcpy(&call, bytes.data(), sizeof call);
        const auto replacement =
            static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(kTextSites[index].replacement));
        return call.opcode == injector::kCallRel32 &&
               call.displacement ==
                   injector::relative_displacement(static_cast<std::uint32_t>(site), replacement);
    }

    std::array<Saved, kTextSites.size()> saved_{};
};

} // namespace

std::uint32_t DrawTextShiftedA(float x, float y, std::uint32_t third) {
    return HostDrawTextA(ShiftedX(x), y, third);
}

std::uint32_t DrawTextShiftedB(float x, float y, std::uint32_t third) {
    return HostDrawTextB(ShiftedX(x), y, third);
}

void InstallTextDisplacement() {
    static TextSiteRestorer restorer;
    for (std::size_t i = 0; i < kTextSites.size(); ++i) {
        const injector::process_address site = ToHostAddress(kTextSites[i].site);
        restorer.Remember(i, site);
        // The previous target is dropped: the replacements call the host's own text draws.
        injector::redirect_call(site, reinterpret_cast<injector::process_address>(kTextSites[i].replacement));
    }
}
