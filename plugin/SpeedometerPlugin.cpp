// The plugin's one static object. Constructing it registers the three handlers on
// the host events; the first registration on each event redirects its call site on
// the supported host builds. It is constructed after the host references, which
// resolve in an earlier initialiser group.
#include "events/HostEvent.hpp"
#include "speedometer/DialRenderer.hpp"
#include "speedometer/DialResources.hpp"

namespace {

class SpeedometerPlugin {
public:
    SpeedometerPlugin() {
        InitEvent().add(InitEvent().after, EventHandler(&LoadSpeedometerResources));
        DrawEvent().add(DrawEvent().after, EventHandler(&DrawSpeedometer));
        ShutdownEvent().add(ShutdownEvent().before, EventHandler(&ReleaseSpeedometerResources));
    }
};

const SpeedometerPlugin plugin;

} // namespace
