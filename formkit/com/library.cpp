#include "com/library.h"

#include "com/class_factory.h"
#include "com/object.h"

namespace fk::com {

void objectCreated(LibraryState& state) { ++state.liveObjects; }
void objectDestroyed(LibraryState& state) { --state.liveObjects; }

namespace {

// The class object of one class: it makes instances and takes locks.
class ClassObject final : public Object<ClassObject, IClassFactory> {
public:
    ClassObject(Creation creation, LibraryState& state, const ClassFactoryEntry& entry)
        : Object(creation, state), entry_(entry)
    {
    }

    HRESULT CreateInstance(IUnknown* outer, const Guid& interfaceId, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        const ComPtr<IUnknown> instance = entry_.create(libraryState());
        if (!instance)
            return E_OUTOFMEMORY;
        return instance->QueryInterface(interfaceId, object);
    }

    HRESULT LockServer(bool lock) override
    {
        if (lock)
            objectCreated(libraryState());
        else
            objectDestroyed(libraryState());
        return S_OK;
    }

private:
    const ClassFactoryEntry& entry_;
};

} // namespace

HRESULT libraryGetClassObject(LibraryState& state, const LibraryDescriptor& library, const Guid& clsid,
                              const Guid& interfaceId, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    for (const ClassFactoryEntry& entry : library.classes) {
        if (entry.info->clsid == clsid) {
            const ComPtr<ClassObject> factory = makeObject<ClassObject>(state, entry);
            return factory->QueryInterface(interfaceId, object);
        }
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT libraryCanUnloadNow(const LibraryDescriptor& library)
{
    return library.state->liveObjects == 0 ? S_OK : S_FALSE;
}

// The runtime keeps nothing per attach: a library's state is its live objects, which count
// themselves.
int libraryEntry(LibraryState&, void*, LoaderReason, void*) { return 1; }

} // namespace fk::com
