#pragma once
// Function hookers: several handlers share one host call site. Each site has one
// manager, created on first use and shared; the first installed handler makes it
// redirect the site's call to the manager's call gate. The gate runs the handlers
// newest first, each with a continuation that runs the next older one; the oldest
// one's continuation is the function the site called before.
#include "host/HostAddress.hpp"
#include "injector/callable.hpp"
#include "injector/hooking.hpp"

#include <algorithm>
#include <list>
#include <memory>
#include <utility>
#include <vector>

namespace injector {

template <class Patch, class Hooker, class Result, class... Args>
class function_hooker_manager;

// The handle through which one party installs one handler at a site.
template <class Patch, HostAddress site, class FunctionPointer, class Result, class... Args>
class function_hooker_base : public scoped_base {
public:
    using manager_type = function_hooker_manager<Patch, function_hooker_base, Result, Args...>;
    // Continues the chain; the host's arguments are bound into it.
    using next_call = callable<Result()>;
    // Decides whether and when to call its continuation and what the site returns.
    using hook_handler = callable<Result(next_call)>;
    static constexpr HostAddress site_address = site;

    function_hooker_base() : manager(manager_type::site_manager()) {}

    // The copy takes over the source's entry, which moves to the end of the list.
    function_hooker_base(const function_hooker_base& other) : scoped_base(other), manager(other.manager) {
        manager->transfer(&other, this);
    }
    function_hooker_base& operator=(const function_hooker_base&) = delete;

    ~function_hooker_base() override { remove_own_entry(); }

    // Removes this hooker's entry; the last entry gone unpatches the site.
    void undo() override { remove_own_entry(); }

    virtual void install(hook_handler handler) = 0;

protected:
    std::shared_ptr<manager_type> manager;

private:
    void remove_own_entry() {
        if (manager->remove_entry(this) && manager->entry_count() == 0) {
            manager->undo();
        }
    }
};

template <class Patch, HostAddress site, class Function>
class function_hooker;

template <class Patch, HostAddress site, class Result, class... Args>
class function_hooker<Patch, site, Result(Args...)>
    : public function_hooker_base<Patch, site, Result (*)(Args...), Result, Args...> {
    using base = function_hooker_base<Patch, site, Result (*)(Args...), Result, Args...>;

public:
    function_hooker() = default;
    function_hooker(const function_hooker&) = default;
    function_hooker& operator=(const function_hooker&) = delete;
    ~function_hooker() override = default;

    void install(typename base::hook_handler handler) override {
        this->manager->attach(this, std::move(handler),
                              reinterpret_cast<process_address>(&base::manager_type::call_gate));
    }
};

template <class Patch, class Hooker, class Result, class... Args>
class function_hooker_manager : public Patch {
public:
    using function_type = Result (*)(Args...);
    using next_call = callable<Result()>;
    using hook_handler = callable<Result(next_call)>;

    function_hooker_manager() = default;
    function_hooker_manager(const function_hooker_manager&) = delete;
    function_hooker_manager& operator=(const function_hooker_manager&) = delete;

    ~function_hooker_manager() override {
        entries_.clear();
        // The saved bytes go back in the patch class's own destructor.
    }

    // The site's one manager, created on the first call; its release is registered
    // with the exit-time destructors then.
    static std::shared_ptr<function_hooker_manager> site_manager() { return site_handle(); }

    // Adds or replaces the owner's entry and patches the site if it is not yet.
    void attach(const Hooker* owner, hook_handler handler, process_address gate) {
        put_entry(owner, std::move(handler));
        if (patched_) {
            return;
        }
        const process_address site_address = ToHostAddress(Hooker::site_address);
        const process_address previous = this->redirect(site_address, gate);
        // A site whose instruction is no call we can follow would leave the gate with
        // nothing to continue to: its bytes go back at once and nothing is installed.
        if (previous == 0) {
            Patch::undo();
            remove_entry(owner);
            return;
        }
        previous_target_ = reinterpret_cast<function_type>(previous);
        patched_ = true;
    }

    // Adds or replaces the owner's entry without patching; a replaced entry keeps its place.
    void put_entry(const Hooker* owner, hook_handler handler) {
        const auto found = find(owner);
        if (found != entries_.end()) {
            found->handler = std::move(handler);
        } else {
            entries_.push_back({owner, std::move(handler)});
        }
    }

    // Hands the entry of one owner to another; it then stands at the end.
    void transfer(const Hooker* from, const Hooker* to) {
        const auto found = find(from);
        if (found == entries_.end()) {
            return;
        }
        hook_handler handler = std::move(found->handler);
        entries_.erase(found);
        put_entry(to, std::move(handler));
    }

    // Removes the owner's entry; false when it had none.
    bool remove_entry(const Hooker* owner) {
        const auto found = find(owner);
        if (found == entries_.end()) {
            return false;
        }
        entries_.erase(found);
        return true;
    }

    std::size_t entry_count() const { return entries_.size(); }
    bool patched() const { return patched_; }
    function_type previous_target() const { return previous_target_; }

    // Unpatches the site and drops every entry.
    void undo() override {
        if (!patched_) {
            return;
        }
        patched_ = false;
        entries_.clear();
        Patch::undo();
    }

    // What the patched site calls instead of its previous target.
    static Result call_gate(Args... args) {
        // The static handle keeps the manager alive; a copy of it would cost two atomic
        // operations on every call the host makes.
        function_hooker_manager* const self = site_handle().get();
        if (self->entries_.empty()) {
            return self->previous_target_(args...);
        }
        next_call innermost = [self, args...]() { return self->previous_target_(args...); };
        if (self->entries_.size() == 1) {
            return self->entries_.front().handler(std::move(innermost));
        }
        // Built from copies, so entries changed by a handler take effect on the next call.
        next_call chain = std::move(innermost);
        for (const entry& e : self->entries_) {
            chain = [handler = e.handler, inner = chain]() { return handler(inner); };
        }
        return chain();
    }

private:
    static std::shared_ptr<function_hooker_manager>& site_handle() {
        static std::shared_ptr<function_hooker_manager> handle(new function_hooker_manager);
        return handle;
    }

    struct entry {
        const Hooker* owner; // identity only
        hook_handler handler;
    };

    typename std::vector<entry>::iterator find(const Hooker* owner) {
        return std::find_if(entries_.begin(), entries_.end(),
                            [owner](const entry& e) { return e.owner == owner; });
    }

    function_type previous_target_ = nullptr;
    std::vector<entry> entries_;
    bool patched_ = false;
};

// Keeps a copy of the hooker (which takes over its entry) until the library is
// detached. The list is created on first use, its destruction registered then.
template <class Hooker>
Hooker& retain_hooker(const Hooker& hooker) {
    static std::list<Hooker> retained;
    retained.push_back(hooker);
    return retained.back();
}

} // namespace injector
