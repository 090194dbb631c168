#include "com/retired_storage.h"

#if FORMKIT_RETIRES_STORAGE

#include <array>
#include <cstddef>
#include <mutex>
#include <new>
#include <utility>

namespace fk::com {

namespace {

constexpr std::size_t kRetiredKept = 256;

// Objects live on threads of their own, so their storage may retire from any of them.
std::mutex retiredGuard;
std::array<void*, kRetiredKept> retired{};
std::size_t nextRetired = 0;

} // namespace

void retireStorage(void* storage)
{
    const std::lock_guard lock(retiredGuard);
    ::operator delete(std::exchange(retired[nextRetired], storage));
    nextRetired = (nextRetired + 1) % kRetiredKept;
}

} // namespace fk::com

#endif
