// A move-only owner of one COM interface reference.
#pragma once
#include <oleauto.h>
#include <unknwn.h>

#include <memory>
#include <utility>

template <class T>
class ComPtr {
public:
    ComPtr() noexcept = default;
    ComPtr(std::nullptr_t) noexcept {}
    ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept
    {
        if (this != &other)
            reset(std::exchange(other.pointer_, nullptr));
        return *this;
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() { reset(); }

    // Takes a new reference to a pointer someone else owns.
    static ComPtr share(T* pointer) noexcept
    {
        if (pointer)
            pointer->AddRef();
        ComPtr result;
        result.pointer_ = pointer;
        return result;
    }

    // Takes over a reference the caller already holds.
    static ComPtr adopt(T* pointer) noexcept
    {
        ComPtr result;
        result.pointer_ = pointer;
        return result;
    }

    T* get() const noexcept { return pointer_; }
    T* operator->() const noexcept { return pointer_; }
    explicit operator bool() const noexcept { return pointer_ != nullptr; }

    // For out parameters: drops the current reference first.
    T** put() noexcept
    {
        reset();
        return &pointer_;
    }
    void** putVoid() noexcept { return reinterpret_cast<void**>(put()); }

    void reset(T* pointer = nullptr) noexcept
    {
        T* old = std::exchange(pointer_, pointer);
        if (old)
            old->Release();
    }

    T* detach() noexcept { return std::exchange(pointer_, nullptr); }

    // Another interface of the same object, or null.
    template <class U>
    ComPtr<U> query(REFIID iid) const noexcept
    {
        ComPtr<U> result;
        // A failed query must leave null, but do not trust it to.
        if (pointer_ && FAILED(pointer_->QueryInterface(iid, result.putVoid())))
            result.detach();
        return result;
    }

private:
    T* pointer_ = nullptr;
};

struct BstrFree {
    void operator()(BSTR text) const noexcept { SysFreeString(text); }
};
using UniqueBstr = std::unique_ptr<OLECHAR, BstrFree>;
