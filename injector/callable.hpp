#pragma once
// A copyable, type-erased callable held by value. Small targets (function pointers and
// lambdas holding a pointer or two) live inline; larger ones on the heap. Unlike
// std::function it needs neither exceptions nor RTTI, and a copy of a target whose
// bytes are its value is a plain byte copy, with no call through the target's operations.
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

namespace injector {

template <class Signature>
class callable;

template <class Result, class... Args>
class callable<Result(Args...)> {
    // What a callable of this signature can hold: anything else callable with Args whose
    // result converts to Result.
    template <class F>
    static constexpr bool holds = !std::is_same_v<std::remove_cvref_t<F>, callable> &&
                                  std::is_invocable_r_v<Result, std::decay_t<F>&, Args...>;

public:
    callable() noexcept = default;
    callable(std::nullptr_t) noexcept {}

    // Holds a copy of f; converts implicitly. A null function pointer gives an empty callable.
    template <class F, class = std::enable_if_t<holds<F>>>
    callable(F&& f) {
        using Target = std::decay_t<F>;
        if constexpr (std::is_pointer_v<Target>) {
            if (f == nullptr) {
                return;
            }
        }
        if constexpr (stored_inline<Target>) {
            ::new (static_cast<void*>(storage_)) Target(std::forward<F>(f));
        } else {
            Target* const heap = new Target(std::forward<F>(f));
            std::memcpy(storage_, &heap, sizeof heap);
        }
        operations_ = &operations_of<Target>;
    }

    callable(const callable& other) { copy_from(other); }
    callable(callable&& other) noexcept { take_from(other); }

    callable& operator=(const callable& other) {
        if (this != &other) {
            callable copy(other);
            *this = std::move(copy);
        }
        return *this;
    }
    callable& operator=(callable&& other) noexcept {
        if (this != &other) {
            reset();
            take_from(other);
        }
        return *this;
    }

    ~callable() { reset(); }

    explicit operator bool() const noexcept { return operations_ != nullptr; }

    // Calls the target. Calling an empty callable is a programming error and ends the process.
    Result operator()(Args... args) const {
        if (operations_ == nullptr) {
            std::abort();
        }
        return operations_->invoke(const_cast<unsigned char*>(storage_), std::forward<Args>(args)...);
    }

    // The target if it is of type T exactly, otherwise null.
    template <class T>
    const T* target() const noexcept {
        if (operations_ != &operations_of<T>) {
            return nullptr;
        }
        return address_of<T>(const_cast<unsigned char*>(storage_));
    }

private:
    static constexpr std::size_t inline_capacity = 3 * sizeof(void*);

    template <class T>
    static constexpr bool
        stored_inline = sizeof(T) <= inline_capacity &&
                        alignof(T) <= alignof(void*) && std::is_nothrow_move_constructible_v<T>;

    // A target whose bytes are its value is copied and moved as bytes and needs no
    // destruction; those operations are then null.
    struct operations {
        Result (*invoke)(void* storage, Args&&... args);
        void (*copy)(void* destination, const void* source);
        void (*relocate)(void* destination, void* source);
        void (*destroy)(void* storage);
    };

    template <class T>
    static T* address_of(void* storage) noexcept {
        if constexpr (stored_inline<T>) {
            return std::launder(static_cast<T*>(storage));
        } else {
            T* heap = nullptr;
            std::memcpy(&heap, storage, sizeof heap);
            return heap;
        }
    }

    template <class T>
    static Result invoke(void* storage, Args&&... args) {
        if constexpr (std::is_void_v<Result>) {
            (*address_of<T>(storage))(std::forward<Args>(args)...);
        } else {
            return (*address_of<T>(storage))(std::forward<Args>(args)...);
        }
    }

    template <class T>
    static void copy(void* destination, const void* source) {
        const T& original = *address_of<T>(const_cast<void*>(source));
        if constexpr (stored_inline<T>) {
            ::new (destination) T(original);
        } else {
            T* const heap = new T(original);
            std::memcpy(destination, &heap, sizeof heap);
        }
    }

    template <class T>
    static void relocate(void* destination, void* source) {
        T& original = *address_of<T>(source);
        ::new (destination) T(std::move(original));
        original.~T();
    }

    template <class T>
    static void destroy(void* storage) {
        if constexpr (stored_inline<T>) {
            address_of<T>(storage)->~T();
        } else {
            delete address_of<T>(storage);
        }
    }

    template <class T>
    static constexpr bool trivially_copied = stored_inline<T>&& std::is_trivially_copyable_v<T>;

    // A heap target is held by its pointer, which moves as bytes.
    template <class T>
    static constexpr operations operations_of{
        &invoke<T>,
        trivially_copied<T> ? nullptr : &copy<T>,
        trivially_copied<T> || !stored_inline<T> ? nullptr : &relocate<T>,
        trivially_copied<T> ? nullptr : &destroy<T>,
    };

    void copy_from(const callable& other) {
        if (other.operations_ != nullptr && other.operations_->copy != nullptr) {
            other.operations_->copy(storage_, other.storage_);
        } else {
            std::memcpy(storage_, other.storage_, sizeof storage_);
        }
        operations_ = other.operations_;
    }

    void take_from(callable& other) noexcept {
        if (other.operations_ != nullptr && other.operations_->relocate != nullptr) {
            other.operations_->relocate(storage_, other.storage_);
        } else {
            std::memcpy(storage_, other.storage_, sizeof storage_);
        }
        operations_ = other.operations_;
        other.operations_ = nullptr;
    }

    void reset() noexcept {
        if (operations_ != nullptr && operations_->destroy != nullptr) {
            operations_->destroy(storage_);
        }
        operations_ = nullptr;
    }

    alignas(void*) unsigned char storage_[inline_capacity]{};
    const operations* operations_ = nullptr;
};

} // namespace injector
