#pragma once
#include <unknwn.h>

#include <utility>

// Owning COM interface pointer: one Release per reference taken.
template <class T>
class ComPtr {
public:
    ComPtr() = default;
    explicit ComPtr(T* p, bool addRef = true) : p_(p) {
        if (p_ && addRef) p_->AddRef();
    }
    ComPtr(const ComPtr& o) : ComPtr(o.p_) {}
    ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    ComPtr& operator=(ComPtr o) noexcept {
        std::swap(p_, o.p_);
        return *this;
    }
    ~ComPtr() { reset(); }

    void reset() {
        if (p_) std::exchange(p_, nullptr)->Release();
    }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // For out-parameters: releases what was held.
    T** put() {
        reset();
        return &p_;
    }
    template <class U>
    ComPtr<U> query(REFIID iid) const {
        ComPtr<U> r;
        if (p_) p_->QueryInterface(iid, reinterpret_cast<void**>(r.put()));
        return r;
    }

private:
    T* p_ = nullptr;
};
