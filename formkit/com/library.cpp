#include "com/library.h"

#include "com/class_factory.h"
#include "com/object.h"

namespace fk::com {

void objectCreated(LibraryState& state) { ++state.words[0]; }
void objectDestroyed(LibraryState& state) { --state.words[0]; }

namespace {

// The class object of one class: it makes instances and takes locks.
class ClassObject final : public Object<ClassObject, IClassFactory> {
public:
    ClassObject(LibraryState& state, const ClassFactoryEntry& entry) : Object(state), entry_(entry) {}

    HRESULT CreateInstance(IUnknown* outer, const Guid& interfaceId, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        ComPtr<IUnknown> instance = ComPtr<IUnknown>::adopt(entry_.create(libraryState()));
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
            ComPtr<ClassObject> factory = ComPtr<ClassObject>::adopt(new ClassObject(state, entry));
            return factory->QueryInterface(interfaceId, object);
        }
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT libraryCanUnloadNow(const LibraryDescriptor& library)
{
    return library.state->words[0] == 0 ? S_OK : S_FALSE;
}

int libraryEntry(LibraryState& state, void*, LoaderReason reason, void*)
{
    if (reason == LoaderReason::ProcessAttach)
        ++state.words[1];
    else if (state.words[1] > 0)
        --state.words[1];
    return 1;
}

} // namespace fk::com
