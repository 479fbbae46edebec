#pragma once
#include <windows.h>

#include <cstddef>
#include <utility>

namespace lumaforge {

// Owns one reference to a COM interface.
template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    // Takes a reference of its own; the caller keeps the one it has.
    explicit ComPtr(T* p) : p_(p) {
        if (p_)
            p_->AddRef();
    }
    ComPtr(const ComPtr& other) : ComPtr(other.p_) {}
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(p_, other.p_);
        return *this;
    }
    ~ComPtr() { Reset(); }

    // Adopts a reference the caller already holds.
    static ComPtr Adopt(T* p) {
        ComPtr result;
        result.p_ = p;
        return result;
    }
    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // For out parameters: drops what is held and gives the slot to fill.
    T** Put() {
        Reset();
        return &p_;
    }
    void Reset() {
        if (T* p = std::exchange(p_, nullptr))
            p->Release();
    }
    // The same object seen through another of its interfaces; empty when it has none.
    template <typename U>
    ComPtr<U> As(REFIID iid) const {
        ComPtr<U> result;
        if (p_)
            p_->QueryInterface(iid, reinterpret_cast<void**>(result.Put()));
        return result;
    }

private:
    T* p_ = nullptr;
};

}  // namespace lumaforge
