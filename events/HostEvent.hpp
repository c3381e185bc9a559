#pragma once
// Host events: plugin code run around one host call. Whenever the host executes the
// patched call, the event runs its `before` handlers, the host function the call used
// to reach, then its `after` handlers, and hands the host function's result back.
#include "host/HostAddress.hpp"
#include "host/HostVersion.hpp"
#include "injector/function_hooker.hpp"

#include <cstddef>
#include <vector>

// A handler: no arguments, no result, held by value.
using EventHandler = injector::callable<void()>;

template <HostAddress site>
class HostEvent {
public:
    // The hooked call: the host function takes nothing and returns a 32-bit value.
    using hooker = injector::function_hooker<injector::scoped_call, site, void*()>;
    using next_call = typename hooker::next_call;

    HostEvent() = default;
    HostEvent(const HostEvent&) = delete;
    HostEvent& operator=(const HostEvent&) = delete;

    // Appends a copy of handler to list (this event's `before` or `after`). A plain
    // function already in that list is not added twice; an empty handler is refused.
    // The first addition redirects the call site on the supported builds.
    void add(std::vector<EventHandler>& list, const EventHandler& handler) {
        if (!handler) {
            return;
        }
        if (const auto function = plain_function(handler)) {
            for (const EventHandler& entry : list) {
                if (plain_function(entry) == function) {
                    return;
                }
            }
        }
        if (!hookAttempted) {
            hookAttempted = true;
            if (CurrentHostVersion() == kHostBuild1001) {
                install_hook();
            }
            if (CurrentHostVersion() == kHostBuild1002) {
                install_hook();
            }
        }
        list.push_back(handler);
    }

    // The hook body: `before`, the host function, `after`. Each handler runs as a
    // fresh copy, so state it changes is not kept for the next run.
    void* run(const next_call& next) {
        run_each(before);
        void* const result = next();
        run_each(after);
        return result;
    }

    bool hookAttempted = false;
    std::vector<EventHandler> before;
    std::vector<EventHandler> after;

private:
    using plain_function_type = void (*)();

    // The free function a handler holds, noexcept or not; null for any other target.
    static plain_function_type plain_function(const EventHandler& handler) {
        if (const auto* function = handler.template target<void (*)()>()) {
            return *function;
        }
        if (const auto* function = handler.template target<void (*)() noexcept>()) {
            return *function;
        }
        return nullptr;
    }

    void install_hook() {
        hooker temporary;
        temporary.install([this](next_call next) { return run(next); });
        injector::retain_hooker(temporary);
    }

    static void run_each(const std::vector<EventHandler>& list) {
        // By index: a handler that adds to the list must not invalidate the walk.
        for (std::size_t i = 0; i < list.size(); ++i) {
            EventHandler copy = list[i];
            copy();
        }
    }
};

inline constexpr HostAddress kInitEventSite = 0x5BF3A1;
inline constexpr HostAddress kDrawEventSite = 0x53E4FF;
inline constexpr HostAddress kShutdownEventSite = 0x53D910;

using InitEventType = HostEvent<kInitEventSite>;
using DrawEventType = HostEvent<kDrawEventSite>;
using ShutdownEventType = HostEvent<kShutdownEventSite>;

// Each event is constructed on the first call of its accessor.
InitEventType& InitEvent();
DrawEventType& DrawEvent();
ShutdownEventType& ShutdownEvent();
