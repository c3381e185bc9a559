#include "events/HostEvent.hpp"

InitEventType& InitEvent() {
    static InitEventType event;
    return event;
}

DrawEventType& DrawEvent() {
    static DrawEventType event;
    return event;
}

ShutdownEventType& ShutdownEvent() {
    static ShutdownEventType event;
    return event;
}
