#pragma once

#include "com/reference_count.h"

// Checked builds (see reference_count.h) retire the storage of destroyed objects here, except
// those with AddressSanitizer: it keeps freed storage from reuse on its own and reports any
// use of it, with where the storage was made and freed.
#if FORMKIT_CHECKS_REFERENCES && !defined(__SANITIZE_ADDRESS__)
#define FORMKIT_RETIRES_STORAGE 1
#else
#define FORMKIT_RETIRES_STORAGE 0
#endif

namespace fk::com {

// Takes the storage of a destroyed object instead of giving it back to the heap at once. The
// storage of the last few hundred objects stays as their destructors left it, parked count and
// all, so that a release through a reference that outlived its object meets the check in
// Release rather than whatever the heap would have put there since. Older storage goes back
// to the heap as newer comes in.
void retireStorage(void* storage);

} // namespace fk::com
