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

// Owns one reference to an interface and releases it on every path out of its scope.
template <class T> class ComPtr {
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    // Takes a new reference to p.
    explicit ComPtr(T* p) : p_(p) { if (p_) p_->AddRef(); }
    ComPtr(const ComPtr& other) : ComPtr(other.p_) {}
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ~ComPtr() { reset(); }
    ComPtr& operator=(ComPtr other) noexcept
    {
        std::swap(p_, other.p_);
        return *this;
    }

    // Takes over a reference the caller already owns.
    static ComPtr adopt(T* p)
    {
        ComPtr result;
        result.p_ = p;
        return result;
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
    T* p_ = nullptr;
};

} // namespace fk::com
