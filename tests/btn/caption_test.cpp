// The button's Caption through its dispatch interface, and what a host gets for calls the
// button does not take.
#include "support/button_host.h"

#include <gtest/gtest.h>

using namespace testing_support;
using fk::com::Variant;

namespace {

class Caption : public ::testing::Test {
protected:
    void SetUp() override
    {
        useButtonManifest();
        host = std::make_unique<ButtonHost>();
        host->showAt(100, 100);
    }

    bool showsHoverWhenPointedAt()
    {
        moveCursor(host->first.widget()->mapToGlobal(QPoint(50, 16)));
        return waitUntil([&] { return pixel(screenOf(host->first), 0, 0) == kFrame; }, 300);
    }

    std::unique_ptr<ButtonHost> host;
    RecordedErrors errors;
};

TEST_F(Caption, IsEmptyBeforeTheFirstAssignmentAndReadsBackAsText)
{
    EXPECT_EQ(host->first.get(QStringLiteral("Caption")), Variant(QString()));
    host->first.set(QStringLiteral("Caption"), "Benchmark");
    EXPECT_EQ(host->first.get(QStringLiteral("Caption")), Variant(QStringLiteral("Benchmark")));
    host->first.set(QStringLiteral("caption"), "names are not case-sensitive");
    EXPECT_EQ(host->first.get(QStringLiteral("Caption")).toText(), QStringLiteral("names are not case-sensitive"));
}

TEST_F(Caption, NumbersAreStoredAsTheirTextForm)
{
    host->first.set(QStringLiteral("Caption"), Variant(std::int16_t{5}));
    EXPECT_EQ(host->first.get(QStringLiteral("Caption")), Variant(QStringLiteral("5")));
    host->first.set(QStringLiteral("Caption"), Variant(65536.83f));
    EXPECT_EQ(host->first.get(QStringLiteral("Caption")), Variant(QStringLiteral("65536.83")));
    host->first.set(QStringLiteral("Caption"), Variant(fk::com::Bool16::True));
    EXPECT_EQ(host->first.get(QStringLiteral("Caption")), Variant(QStringLiteral("True")));
}

TEST_F(Caption, TheFirstAssignmentStartsThePolling)
{
    EXPECT_FALSE(showsHoverWhenPointedAt()) << "no caption, no timer";
    host->first.set(QStringLiteral("Caption"), Variant(QString()));
    EXPECT_TRUE(showsHoverWhenPointedAt()) << "even an empty caption starts it";
}

int captionInk(const fk::com::HostedControl& button)
{
    const QImage face = screenOf(button);
    int ink = 0;
    for (int y = 0; y < face.height(); ++y)
        for (int x = 0; x < face.width(); ++x)
            ink += pixel(face, x, y) == 0x00509F; // the idle caption's colour, 0x9F5000
    return ink;
}

TEST_F(Caption, EveryAssignmentShowsAtTheNextTickWithNoInputAtAll)
{
    // What a host that counts down on its button, or updates it from the network, has.
    RestingPointer pointer({5, 5});
    host->first.set(QStringLiteral("Caption"), "Hi");
    ASSERT_TRUE(waitUntil([&] { return captionInk(host->first) > 0; }, 500)) << "the first assignment";
    const int hi = captionInk(host->first);
    host->first.set(QStringLiteral("Caption"), "Counting down: 10");
    EXPECT_TRUE(waitUntil([&] { return captionInk(host->first) > 3 * hi; }, 500)) << "a later one";
    const int longer = captionInk(host->first);
    host->first.set(QStringLiteral("Caption"), "Hi");
    EXPECT_TRUE(waitUntil([&] { return captionInk(host->first) == hi; }, 500)) << "and back, ink for ink: " << longer;
}

TEST_F(Caption, ANullIsAConversionErrorThatChangesNothing)
{
    try {
        host->first.set(QStringLiteral("Caption"), Variant(fk::com::Null{}));
        FAIL() << "a null has no text form";
    } catch (const fk::RuntimeError& e) {
        EXPECT_EQ(e.number(), 94);
        EXPECT_EQ(e.description(), QStringLiteral("Invalid use of Null"));
    }
    EXPECT_EQ(host->first.get(QStringLiteral("Caption")), Variant(QString()));
    EXPECT_FALSE(showsHoverWhenPointedAt()) << "the timer stays as it was: off";

    host->first.set(QStringLiteral("Caption"), "Kept");
    EXPECT_THROW(host->first.set(QStringLiteral("Caption"), Variant(fk::com::Null{})), fk::RuntimeError);
    EXPECT_EQ(host->first.get(QStringLiteral("Caption")), Variant(QStringLiteral("Kept")));
}

TEST_F(Caption, CallsTheButtonDoesNotTakeAreClearErrors)
{
    try {
        host->first.set(QStringLiteral("BackColor"), Variant(std::int32_t{0}));
        FAIL();
    } catch (const fk::RuntimeError& e) {
        EXPECT_EQ(e.number(), 438);
        EXPECT_TRUE(e.description().contains(QStringLiteral("BackColor")));
    }
    const Variant two[] = {Variant("a"), Variant("b")};
    EXPECT_THROW(host->first.call(QStringLiteral("IsMouseOverControl"), two), fk::RuntimeError);
    EXPECT_THROW(host->first.on(QStringLiteral("DoubleClick"), [] {}), fk::RuntimeError);
    // Dispatch ids are the published ones.
    fk::com::DISPID id = 0;
    ASSERT_EQ(host->first.dispatch()->GetIDOfName(QStringLiteral("Caption"), &id), fk::com::S_OK);
    EXPECT_EQ(id, kDispIdCaption);
    ASSERT_EQ(host->first.dispatch()->GetIDOfName(QStringLiteral("IsMouseOverControl"), &id), fk::com::S_OK);
    EXPECT_EQ(id, kDispIdIsMouseOverControl);
    fk::com::Variant result;
    EXPECT_EQ(host->first.dispatch()->Invoke(kNotMembers[3], fk::com::InvokeKind::Method, {}, &result, nullptr),
              fk::com::DISP_E_MEMBERNOTFOUND);
}

} // namespace
