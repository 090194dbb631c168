#pragma once

#include <cstdint>

// Debug builds and builds with AddressSanitizer check every reference that an object's
// callers take and give back; a release build keeps the bare count and pays for nothing more.
#if !defined(NDEBUG) || defined(__SANITIZE_ADDRESS__)
#define FORMKIT_CHECKS_REFERENCES 1
#include <cstdio>
#include <cstdlib>
#include <thread>
#else
#define FORMKIT_CHECKS_REFERENCES 0
#endif

namespace fk::com {

// The count of references to one object, which lives on the thread that made it.
//
// The count is not atomic: an object and its references stay on their thread, and each
// holder gives back its reference once. Checked builds stop the program at the first call
// that breaks either rule, with one line on standard error that says which, before the count
// or the memory behind it goes wrong.
//
// When the last reference goes, the count is parked at a value that no real count reaches,
// for as long as the destructor runs and after. A destructor that takes and gives back a
// reference to its own object, say by handing itself to a helper for a call, then never
// brings the count to zero a second time, so the object is destroyed once.
class ReferenceCount {
public:
    // Takes one reference and answers how many there are now.
    std::uint32_t add()
    {
        checkThread("a reference was taken on a thread other than the object's own; an object and its "
                    "references stay on the thread that made it");
        return ++count_;
    }

    // Gives back one reference and answers how many are left: zero when the last one has
    // gone, which is when the object is to be destroyed. While the destructor runs, the answer
    // is the parked count plus the references the destructor holds.
    std::uint32_t release()
    {
        checkThread("a reference was released on a thread other than the object's own; an object and its "
                    "references stay on the thread that made it");
#if FORMKIT_CHECKS_REFERENCES
        if (count_ == kParked)
            refuse("a reference was released after the object's last reference had gone: a holder released "
                   "twice, or a destructor released a reference it had not taken");
#endif
        if (--count_ == 0) {
            count_ = kParked;
            return 0;
        }
        return count_;
    }

private:
    static constexpr std::uint32_t kParked = 0x8000'0000u;

    void checkThread([[maybe_unused]] const char* misuse) const
    {
#if FORMKIT_CHECKS_REFERENCES
        if (std::this_thread::get_id() != owner_)
            refuse(misuse);
#endif
    }

#if FORMKIT_CHECKS_REFERENCES
    [[noreturn]] static void refuse(const char* misuse)
    {
        std::fprintf(stderr, "formkit: %s\n", misuse);
        std::abort();
    }

    std::thread::id owner_ = std::this_thread::get_id();
#endif
    std::uint32_t count_ = 1;
};

} // namespace fk::com
