// The references to a component object: an object stays whole while its destructor holds
// itself, and checked builds stop a caller that gives back a reference twice or from
// another thread.
#include "com/object.h"
#include "com/reference_count.h"

#include <functional>
#include <gtest/gtest.h>
#include <thread>
#include <utility>

using namespace fk::com;

namespace {

// An object of the tests' own whose destructor does to it what the test asks.
class Probe final : public Object<Probe, IUnknown> {
public:
    using Farewell = std::function<void(IUnknown* self)>;

    Probe(Creation creation, LibraryState& state, int& destructions, Farewell farewell)
        : Object(creation, state), destructions_(destructions), farewell_(std::move(farewell))
    {
    }

    ~Probe() override
    {
        ++destructions_;
        if (farewell_)
            farewell_(this);
    }

private:
    int& destructions_;
    Farewell farewell_;
};

ComPtr<Probe> makeProbe(LibraryState& state, int& destructions, Probe::Farewell farewell = {})
{
    return makeObject<Probe>(state, destructions, std::move(farewell));
}

TEST(References, AnObjectWhoseDestructorHoldsItselfIsDestroyedOnce)
{
    struct Case {
        const char* name;
        Probe::Farewell farewell;
    };
    const Case cases[] = {
        {"hands itself to a helper for a call", [](IUnknown* self) { const ComPtr<IUnknown> held(self); }},
        {"asks itself for an interface", [](IUnknown* self) { EXPECT_TRUE(ComPtr<IUnknown>(self).as<IUnknown>()); }},
        {"holds itself twice over",
         [](IUnknown* self) {
             const ComPtr<IUnknown> outer(self);
             const ComPtr<IUnknown> inner = outer;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LibraryState state{};
        int destructions = 0;
        makeProbe(state, destructions, c.farewell).reset();
        EXPECT_EQ(destructions, 1);
        EXPECT_EQ(state.liveObjects, 0u);
    }
}

#if FORMKIT_CHECKS_REFERENCES

TEST(ReferencesDeathTest, CheckedBuildsStopTheFirstCallThatMisusesACount)
{
    // The misuses of threads need a child that starts afresh rather than a fork of a parent
    // with threads of its own.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    struct Case {
        const char* name;
        std::function<void(LibraryState&, int&)> misuse;
        const char* complaint;
    };
    const Case cases[] = {
        // The holder that is left gives back its reference through the interface it holds,
        // as every holder does. A build with AddressSanitizer has given the object's storage
        // back to the heap, where the sanitizer stops that call on its way to Release.
        {"a holder releases twice while another still holds the object",
         [](LibraryState& state, int& destructions) {
             ComPtr<Probe> object = makeProbe(state, destructions);
             const ComPtr<IUnknown> other(object.get());
             IUnknown* held = object.get();
             object.reset();
             held->Release();
         },
         "released after the object's last reference had gone|heap-use-after-free"},
        {"a destructor releases a reference it did not take",
         [](LibraryState& state, int& destructions) {
             makeProbe(state, destructions, [](IUnknown* self) { self->Release(); }).reset();
         },
         "released after the object's last reference had gone"},
        {"another thread releases a reference",
         [](LibraryState& state, int& destructions) {
             ComPtr<Probe> object = makeProbe(state, destructions);
             std::thread([&object] { object.reset(); }).join();
         },
         "released on a thread other than the object's own"},
        {"another thread takes a reference",
         [](LibraryState& state, int& destructions) {
             const ComPtr<Probe> object = makeProbe(state, destructions);
             std::thread([&object] { const ComPtr<Probe> taken = object; }).join();
         },
         "taken on a thread other than the object's own"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LibraryState state{};
        int destructions = 0;
        EXPECT_DEATH(c.misuse(state, destructions), c.complaint);
    }
}

#endif

} // namespace
