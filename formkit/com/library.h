#pragma once

#include "com/type_info.h"
#include "com/unknown.h"

#include <QString>
#include <cstdint>
#include <span>

namespace fk::com {

// The runtime's state for one library, in the library's own data, zero when it is loaded:
// the count of its live objects and host locks, which decides whether it may be unloaded.
struct LibraryState {
    std::uint32_t liveObjects;
};

// How a library makes an instance of one of its classes.
using CreateFunction = ComPtr<IUnknown> (*)(LibraryState& state);

struct ClassFactoryEntry {
    const ClassInfo* info;
    CreateFunction create;
};

// Everything the runtime needs to know about a library: static data, one source of truth
// for identities, names, status bits, resource ids and factories.
struct LibraryDescriptor {
    const TypeLibraryInfo* typeLibrary;
    std::span<const ClassFactoryEntry> classes;
    LibraryState* state;
};

// The runtime routines a library's exports forward to.
HRESULT libraryGetClassObject(LibraryState& state, const LibraryDescriptor& library, const Guid& clsid,
                              const Guid& interfaceId, void** object);
HRESULT libraryCanUnloadNow(const LibraryDescriptor& library);

// Registration writes the library's classes, ProgIDs, type library and interfaces into the
// registry (see registry.h) under the library file's own absolute path, which the runtime
// finds from the descriptor's address; unregistration removes them again. Both answer S_OK
// or a failure code.
//
// The library's entry points take no arguments, so two things cross them beside the call,
// and only these two: which store the registration goes to, set beforehand with
// Registry::setRegistrationScope, and why it failed, read afterwards with
// registrationError(). Everywhere else com says why through its callers' error texts.
HRESULT libraryRegister(LibraryState& state, const LibraryDescriptor& library);
HRESULT libraryUnregister(LibraryState& state, const LibraryDescriptor& library);
// Why the last registration or unregistration on this thread failed; empty after success.
QString registrationError();

enum class LoaderReason : std::uint32_t { ProcessDetach = 0, ProcessAttach = 1 };
int libraryEntry(LibraryState& state, void* module, LoaderReason reason, void* reserved);

// A library's objects count themselves while alive, so that the library knows whether it
// can be unloaded.
void objectCreated(LibraryState& state);
void objectDestroyed(LibraryState& state);

} // namespace fk::com
