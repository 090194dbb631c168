#pragma once

#include "com/guid.h"
#include "com/result.h"

#include <cstdint>
#include <utility>

namespace fk::com {

// The root of every interface: reference counting and asking for other interfaces.
struct IUnknown {
    static constexpr Guid iid = guid("{4C7A1E00-3B6D-4F1A-9E52-0A1B2C3D4E01}");
    virtual HRESULT QueryInterface(const Guid& interfaceId, void** object) = 0;
    virtual std::uint32_t AddRef() = 0;
    virtual std::uint32_t Release() = 0;

protected:
    ~IUnknown() = default;
};

template <class T> class ComPtr;
template <class T, class... Args> ComPtr<T> makeObject(Args&&... args);

// Owns one reference to an interface and releases it on every path out of its scope.
//
// A reference changes hands in one of three ways, each visible in the types: an object is
// born owned (makeObject hands out its first reference as a ComPtr), an out-parameter
// fills a ComPtr's slot (put), and a pointer someone else owns is shared (the constructor
// takes a reference of its own). No raw pointer carries ownership, so there is nothing to
// forget to adopt.
template <class T> class ComPtr {
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    // Shares p: takes a new reference to it.
    explicit ComPtr(T* p) : p_(p) { if (p_) p_->AddRef(); }
    ComPtr(const ComPtr& other) : ComPtr(other.p_) {}
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ~ComPtr() { reset(); }
    ComPtr& operator=(ComPtr other) noexcept
    {
        std::swap(p_, other.p_);
        return *this;
    }

    void reset()
    {
        if (T* p = std::exchange(p_, nullptr))
            p->Release();
    }

    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

    // For out-parameters: releases what is held and hands out the slot.
    void** put()
    {
        reset();
        return reinterpret_cast<void**>(&p_);
    }

    // Asks for another interface of the same object.
    template <class U> ComPtr<U> as() const
    {
        ComPtr<U> result;
        if (p_)
            p_->QueryInterface(U::iid, result.put());
        return result;
    }

private:
    template <class U, class... Args> friend ComPtr<U> makeObject(Args&&... args);

    T* p_ = nullptr;
};

} // namespace fk::com
