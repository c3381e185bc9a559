// Compiled as the plugin's own code is (bench/CMakeLists.txt), so that the event and hooker
// code this instantiates, and the benchmark times, is built the way the plugin file's is.
#include "bench/EmptyDrawHandler.hpp"

#include "events/HostEvent.hpp"

namespace {
void NoWork() {}
} // namespace

void AddEmptyDrawHandler() {
    DrawEvent().add(DrawEvent().after, &NoWork);
}
