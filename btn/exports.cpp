// The library's entry points. Each hands the library's state and descriptor to the
// runtime routine that does the work; the library itself does nothing else. The runtime
// finds the library's own file from the descriptor's address when it registers it.
#include "lumakey_types.h"

#define LUMAKEY_EXPORT extern "C" __attribute__((visibility("default")))

using namespace fk::com;

LUMAKEY_EXPORT HRESULT DllRegisterServer() { return libraryRegister(*lumakey::kLibrary.state, lumakey::kLibrary); }

LUMAKEY_EXPORT HRESULT DllUnregisterServer() { return libraryUnregister(*lumakey::kLibrary.state, lumakey::kLibrary); }

LUMAKEY_EXPORT HRESULT DllGetClassObject(const Guid* clsid, const Guid* interfaceId, void** object)
{
    if (!clsid || !interfaceId)
        return E_POINTER;
    return libraryGetClassObject(*lumakey::kLibrary.state, lumakey::kLibrary, *clsid, *interfaceId, object);
}

LUMAKEY_EXPORT HRESULT DllCanUnloadNow() { return libraryCanUnloadNow(lumakey::kLibrary); }

// The loader's attach and detach.
__attribute__((constructor)) static void libraryAttach()
{
    libraryEntry(*lumakey::kLibrary.state, nullptr, LoaderReason::ProcessAttach, nullptr);
}

__attribute__((destructor)) static void libraryDetach()
{
    libraryEntry(*lumakey::kLibrary.state, nullptr, LoaderReason::ProcessDetach, nullptr);
}
