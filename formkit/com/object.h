#pragma once

#include "com/library.h"
#include "com/reference_count.h"
#include "com/retired_storage.h"
#include "com/unknown.h"

#include <cstddef>
#include <new>
#include <tuple>
#include <utility>

namespace fk::com {

// The proof that an object is being made by makeObject; nothing else can make one, so no
// object comes into being without an owner of its first reference.
class Creation {
    Creation() = default;
    template <class T, class... Args> friend ComPtr<T> makeObject(Args&&... args);
};

// Makes an object: Object-derived classes take a Creation first, then their own arguments.
template <class T, class... Args> ComPtr<T> makeObject(Args&&... args)
{
    ComPtr<T> object;
    object.p_ = new T(Creation{}, std::forward<Args>(args)...);
    return object;
}

// The reference counting and interface lookup that every object of a library shares.
// Derived implements the interfaces listed; the object counts itself in its library's
// state while it lives. It starts with the one reference that makeObject hands out, and its
// count (see reference_count.h) keeps it whole while its destructor runs.
template <class Derived, class... Interfaces> class Object : public Interfaces... {
public:
    Object(Creation, LibraryState& state) : state_(state) { objectCreated(state_); }
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

    HRESULT QueryInterface(const Guid& interfaceId, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (interfaceId == IUnknown::iid) {
            *object = static_cast<IUnknown*>(static_cast<FirstInterface*>(this));
        } else {
            ((!*object && matches<Interfaces>(interfaceId, object)), ...);
            if (!*object)
                *object = otherInterface(interfaceId);
        }
        if (!*object)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }

    std::uint32_t AddRef() override { return references_.add(); }

    std::uint32_t Release() override
    {
        const std::uint32_t left = references_.release();
        if (left == 0)
            delete static_cast<Derived*>(this);
        return left;
    }

#if FORMKIT_RETIRES_STORAGE
    // A destroyed object's storage stays as its destructor left it for a while, so that a
    // release through a reference that outlived the object is caught (see retired_storage.h).
    // The storage comes from the heap as ever; allocation and release are declared together.
    static void* operator new(std::size_t size) { return ::operator new(size); }
    static void operator delete(void* storage) { retireStorage(storage); }
#endif

protected:
    virtual ~Object() { objectDestroyed(state_); }
    // Identities the object answers beyond its listed interfaces, such as the identity of a
    // dual interface that it implements through dispatch.
    virtual void* otherInterface(const Guid&) { return nullptr; }
    LibraryState& libraryState() const { return state_; }

private:
    using FirstInterface = std::tuple_element_t<0, std::tuple<Interfaces...>>;

    template <class I> bool matches(const Guid& interfaceId, void** object)
    {
        if (interfaceId != I::iid)
            return false;
        *object = static_cast<I*>(this);
        return true;
    }

    LibraryState& state_;
    ReferenceCount references_;
};

} // namespace fk::com
