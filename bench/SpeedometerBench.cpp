// The plugin's costs in the host stand-in, timed under Wine (a benchmark, not a test):
//   speedometer_bench [PLUGIN]
// Prints one table row per budget and exits with 1 when a budget is missed. PLUGIN is
// the shipped file, speedometer.asi beside this program unless given. The host's drawing
// functions keep no call log while timing, so the plugin's own work is what is measured.
// Heap allocations are counted by speedometer_bench_allocations, run as a child: it
// carries the plugin's code in-process with counting allocation functions.
#include "bench/EmptyDrawHandler.hpp"
#include "bench/Timing.hpp"
#include "standin/HostCallSites.hpp"
#include "standin/HostFunctions.hpp"
#include "standin/TxdTextureLoader.hpp"
#include "tests/support/ChildProcess.hpp"

#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>
#include <windows.h>

namespace {

constexpr int kFrames = 2000;
constexpr int kHookCalls = 100000;
constexpr int kLoads = 51;

// A vehicle of a dial type at half the needle's range, in third gear: all nine layers draw.
constexpr standin::VehicleState kMidScale{0, 3, 0.6f};
constexpr std::size_t kDialLayers = 9;

// Budgets.
constexpr double kFrameBudgetNs = 1000.0;
constexpr double kHookBudgetNs = 20.0;
constexpr double kLoadBudgetMs = 1.0;
constexpr unsigned long kSizeBudgetBytes = 128 * 1024;

volatile std::uint32_t sink = 0;

// Executes the call instruction at the draw site, as the host does. The site's address is
// looked up once, so that only the site's own code runs in the timed loop.
void ExecuteDrawSite() {
    using Site = std::uint32_t(__cdecl*)();
    static const auto site =
        reinterpret_cast<Site>(static_cast<std::uintptr_t>(standin::StandInAddress(standin::kDrawSite)));
    sink = site();
}

std::string Format(const char* format, ...) {
    char buffer[256];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(buffer, sizeof buffer, format, arguments);
    va_end(arguments);
    return buffer;
}

struct Row {
    std::string measure;
    std::string median; // the budget applies to the median
    std::string fastest;
    std::string budget;
    bool met;
};

std::vector<Row> rows;
bool broken = false;

void Fail(const std::string& why) {
    std::fprintf(stderr, "speedometer_bench: %s\n", why.c_str());
    broken = true;
}

std::string Directory(const std::string& path) {
    const std::size_t cut = path.find_last_of("\\/");
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

// The dial layers one frame draws, counted in the call log.
std::size_t LayersDrawnInOneFrame() {
    standin::SetCallLogging(true);
    standin::ClearCallLog();
    ExecuteDrawSite();
    std::size_t layers = 0;
    for (const standin::HostCall& call : standin::HostCalls()) {
        layers += call.function == standin::HostFunction::DrawPrimitive ? 1 : 0;
    }
    standin::SetCallLogging(false);
    return layers;
}

// LoadLibraryA to return and FreeLibrary, timed one call at a time; nothing when it fails.
bool TimeLoadAndUnload(const std::string& path, std::vector<double>& loads, std::vector<double>& unloads) {
    LARGE_INTEGER start;
    LARGE_INTEGER loaded;
    LARGE_INTEGER unloaded;
    QueryPerformanceCounter(&start);
    HMODULE module = LoadLibraryA(path.c_str());
    QueryPerformanceCounter(&loaded);
    if (module == nullptr) {
        Fail(Format("LoadLibraryA(%s) failed, error %lu", path.c_str(), GetLastError()));
        return false;
    }
    FreeLibrary(module);
    QueryPerformanceCounter(&unloaded);
    loads.push_back(bench::NanosecondsBetween(start, loaded) / 1e6);
    unloads.push_back(bench::NanosecondsBetween(loaded, unloaded) / 1e6);
    return true;
}

// The plugin's loads alternate with those of an empty DLL, so that both see the same state
// of the machine: the empty DLL's time is what Wine's loader costs for any DLL.
void MeasureLoadAndUnload(const std::string& plugin, const std::string& emptyDll) {
    std::vector<double> loads;
    std::vector<double> unloads;
    std::vector<double> emptyLoads;
    std::vector<double> emptyUnloads;
    for (int i = 0; i < kLoads; ++i) {
        if (!TimeLoadAndUnload(emptyDll, emptyLoads, emptyUnloads) ||
            !TimeLoadAndUnload(plugin, loads, unloads)) {
            return;
        }
    }
    const bench::Timing load = bench::Summarise(loads);
    const bench::Timing emptyLoad = bench::Summarise(emptyLoads);
    const bench::Timing unload = bench::Summarise(unloads);
    const bench::Timing emptyUnload = bench::Summarise(emptyUnloads);
    rows.push_back({"`LoadLibraryA` of speedometer.asi, to return",
                    Format("%.3f ms (empty DLL %.3f ms)", load.median, emptyLoad.median),
                    Format("%.3f ms (empty DLL %.3f ms)", load.fastest, emptyLoad.fastest),
                    Format("<= %.0f ms", kLoadBudgetMs), load.median <= kLoadBudgetMs});
    rows.push_back({"`FreeLibrary` of speedometer.asi",
                    Format("%.3f ms (empty DLL %.3f ms)", unload.median, emptyUnload.median),
                    Format("%.3f ms (empty DLL %.3f ms)", unload.fastest, emptyUnload.fastest), "-", true});
}

// The draw site unpatched, calling the bare host function, against the same site with
// the plugin loaded, its artwork in place and the dial drawn in full.
void MeasureFrame(const std::string& plugin) {
    standin::SetTextureLoader(standin::TxdFileLoader());
    standin::SetPlayerVehicle(kMidScale);
    standin::SetCallLogging(false);
    const bench::Timing bare = bench::NanosecondsPerCall(kFrames, ExecuteDrawSite);

    HMODULE module = LoadLibraryA(plugin.c_str());
    if (module == nullptr) {
        Fail("the plugin does not load");
        return;
    }
    standin::ExecuteInitSite();
    const std::size_t layers = LayersDrawnInOneFrame();
    const bench::Timing hooked = bench::NanosecondsPerCall(kFrames, ExecuteDrawSite);
    standin::ExecuteShutdownSite();
    FreeLibrary(module);
    standin::ResetHostState();
    if (layers != kDialLayers) {
        Fail(Format("one frame drew %zu layers, not %zu (artwork: %s)", layers, kDialLayers,
                    standin::LastTxdLoadError().c_str()));
        return;
    }

    const double own = hooked.median - bare.median;
    rows.push_back(
        {"plugin's own work per frame (nine layers, mid-scale)",
         Format("%.3f us (site %.1f ns hooked, %.1f ns bare)", own / 1000.0, hooked.median, bare.median),
         Format("%.3f us", (hooked.fastest - bare.fastest) / 1000.0),
         Format("<= %.0f us", kFrameBudgetNs / 1000.0), own <= kFrameBudgetNs});
}

// The draw site calling the host function directly, against the same site carrying a host
// event with one empty handler: the call gate, the event's run and the handler's call.
// The plugin's code in this program does the hooking, after the plugin file has gone.
void MeasureHookOverhead() {
    standin::SetCallLogging(false);
    const bench::Timing direct = bench::NanosecondsPerCall(kHookCalls, ExecuteDrawSite);
    const standin::Address hostFunction = standin::CallTargetAt(standin::kDrawSite);
    AddEmptyDrawHandler();
    if (standin::CallTargetAt(standin::kDrawSite) == hostFunction) {
        Fail("the draw site was not hooked");
    }
    const bench::Timing hooked = bench::NanosecondsPerCall(kHookCalls, ExecuteDrawSite);
    const double overhead = hooked.median - direct.median;
    rows.push_back(
        {"hook overhead per call (one empty handler)",
         Format("%.1f ns (site %.1f ns hooked, %.1f ns direct)", overhead, hooked.median, direct.median),
         Format("%.1f ns", hooked.fastest - direct.fastest), Format("<= %.0f ns", kHookBudgetNs),
         overhead <= kHookBudgetNs});
}

void MeasureAllocations(const std::string& directory) {
    const testing_support::ChildResult child =
        testing_support::RunChild("\"" + directory + "speedometer_bench_allocations.exe\"");
    unsigned long frames = 0;
    unsigned long allocations = 0;
    if (child.exitCode != 0 ||
        std::sscanf(child.output.c_str(), "frames %lu allocations %lu", &frames, &allocations) != 2 ||
        frames == 0) {
        Fail("speedometer_bench_allocations: " + child.output);
        return;
    }
    rows.push_back(
        {"heap allocations per frame, steady state",
         Format("%.3g (%lu in %lu frames)", static_cast<double>(allocations) / frames, allocations, frames),
         "-", "0", allocations == 0});
}

void MeasureSize(const std::string& plugin) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(plugin.c_str(), GetFileExInfoStandard, &data)) {
        Fail("cannot read the size of " + plugin);
        return;
    }
    const unsigned long bytes = data.nFileSizeLow;
    rows.push_back({"size of speedometer.asi (stripped)",
                    Format("%.1f KiB (%lu bytes)", static_cast<double>(bytes) / 1024.0, bytes), "-",
                    Format("<= %lu KiB", kSizeBudgetBytes / 1024), bytes <= kSizeBudgetBytes});
}

} // namespace

int main(int argc, char** argv) {
    const std::string directory = Directory(testing_support::SelfPath());
    const std::string plugin = argc > 1 ? argv[1] : directory + "speedometer.asi";

    MeasureLoadAndUnload(plugin, directory + "empty.dll");
    if (!broken) {
        MeasureFrame(plugin);
    }
    if (!broken) {
        MeasureHookOverhead();
    }
    MeasureAllocations(directory);
    MeasureSize(plugin);

    bool allMet = true;
    std::printf("| measure | median | fastest run | budget, on the median | |\n|---|---|---|---|---|\n");
    for (const Row& row : rows) {
        const char* verdict = row.met ? "met" : "MISSED";
        std::printf("| %s | %s | %s | %s | %s |\n", row.measure.c_str(), row.median.c_str(),
                    row.fastest.c_str(), row.budget.c_str(), row.budget == "-" ? "" : verdict);
        allMet = allMet && row.met;
    }
    return broken || !allMet ? 1 : 0;
}
