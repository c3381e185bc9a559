// Counts heap allocations per frame with the plugin's code in this program (a benchmark
// helper run by speedometer_bench): the plugin object, compiled in, registered its handlers
// during static initialisation exactly as in the shipped file. Prints
//   frames N allocations M
// for the frames after a warm-up, with the artwork loaded and all nine layers drawn.
#include "standin/HostCallSites.hpp"
#include "standin/HostFunctions.hpp"
#include "standin/TxdTextureLoader.hpp"
#include "tests/support/AllocationCount.hpp"

#include <cstdio>

namespace {
constexpr unsigned long kWarmUpFrames = 100;
constexpr unsigned long kFrames = 10000;
constexpr std::size_t kDialLayers = 9;
} // namespace

int main() {
    standin::SetTextureLoader(standin::TxdFileLoader());
    standin::ExecuteInitSite();
    standin::SetPlayerVehicle({0, 3, 0.6f});

    standin::ClearCallLog();
    standin::ExecuteDrawSite();
    std::size_t layers = 0;
    for (const standin::HostCall& call : standin::HostCalls()) {
        layers += call.function == standin::HostFunction::DrawPrimitive ? 1 : 0;
    }
    if (layers != kDialLayers) {
        std::printf("one frame drew %zu layers, not %zu (artwork: %s)\n", layers, kDialLayers,
                    standin::LastTxdLoadError().c_str());
        return 1;
    }

    standin::SetCallLogging(false);
    for (unsigned long i = 0; i < kWarmUpFrames; ++i) {
        standin::ExecuteDrawSite();
    }
    const std::size_t before = testing_support::AllocationCount();
    for (unsigned long i = 0; i < kFrames; ++i) {
        standin::ExecuteDrawSite();
    }
    const std::size_t allocations = testing_support::AllocationCount() - before;
    standin::ExecuteShutdownSite();
    std::printf("frames %lu allocations %lu\n", kFrames, static_cast<unsigned long>(allocations));
    return 0;
}
