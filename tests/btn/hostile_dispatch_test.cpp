// What a careless or hostile host can hand the button through its dispatch interface:
// ids it does not publish, the wrong number of arguments, values without a text form,
// huge and unusual text. The button answers each with a clear error or takes the text as
// it is, keeps what it had, and goes on painting and clicking as before.
#include "support/button_host.h"

#include "com/events.h"
#include "com/embedded_control.h"
#include "com/result.h"

#include <QTest>
#include <gtest/gtest.h>

using namespace testing_support;
using fk::com::DISPID;
using fk::com::ExcepInfo;
using fk::com::InvokeKind;
using fk::com::Variant;

namespace {

constexpr QRgb kWhite = 0xFFFFFF;

class HostileDispatch : public ::testing::Test {
protected:
    void SetUp() override
    {
        useButtonManifest();
        host = std::make_unique<ButtonHost>();
        host->first.set(QStringLiteral("Caption"), "Kept");
        host->first.on(QStringLiteral("Click"), [this] { ++clicks; });
        host->showAt(100, 100);
        moveCursor({5, 5});
    }

    fk::com::IDispatch& raw() { return *host->first.dispatch(); }

    Variant caption() { return host->first.get(QStringLiteral("Caption")); }

    // The button still follows the pointer, paints its caption in white on hover, goes
    // back to idle when the pointer leaves, and a click still reaches the host once.
    void stillWorks()
    {
        auto& button = host->first;
        moveCursor(button.widget()->mapToGlobal(QPoint(50, 16)));
        ASSERT_TRUE(looksLike(button, kFrame, kHoverFace)) << "the hover look after the hostile calls";
        const int before = clicks;
        QTest::mouseClick(faceOf(button), Qt::LeftButton, {}, {50, 16});
        EXPECT_EQ(clicks, before + 1) << "one click, one event";
        moveCursor({5, 5});
        EXPECT_TRUE(looksLike(button, kIdleFace, kIdleFace)) << "back to idle";
    }

    static bool hasWhiteInk(const QImage& face)
    {
        for (int y = 1; y < face.height() - 1; ++y)
            for (int x = 1; x < face.width() - 1; ++x)
                if (pixel(face, x, y) == kWhite)
                    return true;
        return false;
    }

    std::unique_ptr<ButtonHost> host;
    RecordedErrors errors;
    int clicks = 0;
};

TEST_F(HostileDispatch, UnknownIdsAndKindsAreRefusedAndChangeNothing)
{
    const Variant one[] = {Variant("Taken over")};
    Variant result(QStringLiteral("untouched"));
    ExcepInfo error;
    for (DISPID id : kNotMembers) {
        SCOPED_TRACE(id);
        for (InvokeKind kind : {InvokeKind::Method, InvokeKind::PropertyGet, InvokeKind::PropertyPut}) {
            const std::span<const Variant> args = kind == InvokeKind::PropertyPut ? std::span<const Variant>(one)
                                                                                   : std::span<const Variant>();
            EXPECT_EQ(raw().Invoke(id, kind, args, &result, &error), fk::com::DISP_E_MEMBERNOTFOUND);
        }
    }
    // Published ids, but not as the kind of member they are.
    EXPECT_EQ(raw().Invoke(kDispIdCaption, InvokeKind::Method, {}, &result, &error), fk::com::DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(raw().Invoke(kDispIdIsMouseOverControl, InvokeKind::PropertyPut, one, &result, &error),
              fk::com::DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(result, Variant(QStringLiteral("untouched"))) << "a refused call leaves the result alone";

    // Names: unknown, empty and absurdly long ones, and a host that gives no place for the id.
    DISPID id = 77;
    EXPECT_EQ(raw().GetIDOfName(QString(), &id), fk::com::DISP_E_UNKNOWNNAME);
    EXPECT_EQ(raw().GetIDOfName(QString(5000, QLatin1Char('C')), &id), fk::com::DISP_E_UNKNOWNNAME);
    EXPECT_EQ(raw().GetIDOfName(QStringLiteral("Caption\n"), &id), fk::com::DISP_E_UNKNOWNNAME);
    EXPECT_EQ(id, 77);
    EXPECT_EQ(raw().GetIDOfName(QStringLiteral("Caption"), nullptr), fk::com::E_POINTER);

    // The host's own calls turn the refusals into the runtime's error 438, naming the member.
    for (const QString& member : {QStringLiteral("Captions"), QStringLiteral(""), QStringLiteral("IsMouseOverControl")}) {
        SCOPED_TRACE(member.toStdString());
        try {
            host->first.set(member, "Taken over");
            FAIL() << "no such property to set";
        } catch (const fk::RuntimeError& e) {
            EXPECT_EQ(e.number(), 438);
            EXPECT_TRUE(e.description().contains(member)) << e.description().toStdString();
        }
    }
    try {
        host->first.call(QStringLiteral("Caption"));
        FAIL() << "Caption is a property, not a method";
    } catch (const fk::RuntimeError& e) {
        EXPECT_EQ(e.number(), 438);
        EXPECT_TRUE(e.description().contains(QStringLiteral("Caption"))) << e.description().toStdString();
    }
    EXPECT_EQ(caption(), Variant(QStringLiteral("Kept")));
    EXPECT_TRUE(errors.empty()) << "errors go to the caller, not to the untrapped-error report";
    stillWorks();
}

TEST_F(HostileDispatch, TheWrongNumberOfArgumentsIsRefusedAndChangesNothing)
{
    const Variant two[] = {Variant("first"), Variant("second")};
    const Variant many[] = {Variant("a"), Variant("b"), Variant("c"), Variant("d"), Variant("e")};
    Variant result;
    ExcepInfo error;
    EXPECT_EQ(raw().Invoke(kDispIdCaption, InvokeKind::PropertyPut, {}, &result, &error), fk::com::DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(raw().Invoke(kDispIdCaption, InvokeKind::PropertyPut, two, &result, &error), fk::com::DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(raw().Invoke(kDispIdCaption, InvokeKind::PropertyPut, many, &result, &error), fk::com::DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(raw().Invoke(kDispIdCaption, InvokeKind::PropertyGet, two, &result, &error), fk::com::DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(raw().Invoke(kDispIdIsMouseOverControl, InvokeKind::Method, two, &result, &error),
              fk::com::DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(caption(), Variant(QStringLiteral("Kept")));

    try {
        host->first.call(QStringLiteral("IsMouseOverControl"), many);
        FAIL() << "IsMouseOverControl takes no arguments";
    } catch (const fk::RuntimeError& e) {
        EXPECT_EQ(e.number(), 450);
        EXPECT_FALSE(e.description().isEmpty());
    }
    // The right call still answers, and the pointer is outside.
    EXPECT_EQ(host->first.call(QStringLiteral("IsMouseOverControl")), Variant(fk::com::Bool16::False));
    stillWorks();
}

TEST_F(HostileDispatch, ValuesWithoutATextFormAreConversionErrorsThatKeepTheCaption)
{
    // An object of the host's: the other button. Passing it must neither keep nor drop a
    // reference to it.
    fk::com::IUnknown* object = host->second.dispatch();
    object->AddRef();
    const auto referencesBefore = object->Release();

    const struct {
        Variant value;
        int number;
        const char* description;
    } cases[] = {
        {Variant(fk::com::Null{}), 94, "Invalid use of Null"},
        {Variant(fk::com::ObjectRef{object}), 13, "Type mismatch"},
        {Variant(fk::com::ObjectRef{nullptr}), 13, "Type mismatch"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.description);
        // Straight through the interface: the error comes back filled in.
        ExcepInfo error;
        Variant result(QStringLiteral("untouched"));
        EXPECT_EQ(raw().Invoke(kDispIdCaption, InvokeKind::PropertyPut, std::span<const Variant>(&c.value, 1), &result, &error),
                  fk::com::DISP_E_EXCEPTION);
        EXPECT_EQ(error.number, c.number);
        EXPECT_EQ(error.description, QLatin1String(c.description));
        EXPECT_EQ(result, Variant(QStringLiteral("untouched")));
        // A caller that gives no place for the error or the result gets the failure code all the same.
        EXPECT_EQ(raw().Invoke(kDispIdCaption, InvokeKind::PropertyPut, std::span<const Variant>(&c.value, 1), nullptr, nullptr),
                  fk::com::DISP_E_EXCEPTION);
        // Through the host: the runtime's error, number and text.
        try {
            host->first.set(QStringLiteral("Caption"), c.value);
            FAIL() << "no text form";
        } catch (const fk::RuntimeError& e) {
            EXPECT_EQ(e.number(), c.number);
            EXPECT_EQ(e.description(), QLatin1String(c.description));
        }
        EXPECT_EQ(caption(), Variant(QStringLiteral("Kept")));
    }
    object->AddRef();
    EXPECT_EQ(object->Release(), referencesBefore) << "the object passed is neither kept nor released";
    EXPECT_EQ(host->second.get(QStringLiteral("Caption")), Variant(QString())) << "and nothing was done to it";
    stillWorks();
}

TEST_F(HostileDispatch, AHundredThousandCharacterCaptionIsKeptWholeAndPainted)
{
    QString longText;
    longText.reserve(100000);
    for (int i = 0; i < 100000; ++i)
        longText.append(QChar(u'A' + i % 26));
    host->first.set(QStringLiteral("Caption"), longText);
    const Variant back = caption();
    ASSERT_TRUE(back.holds<QString>());
    EXPECT_EQ(back.get<QString>().size(), 100000);
    EXPECT_EQ(back, Variant(longText));

    // Far wider than the face: the middle of it shows, clipped to the button; the frame and
    // the corners are the button's own.
    moveCursor(host->first.widget()->mapToGlobal(QPoint(50, 16)));
    ASSERT_TRUE(looksLike(host->first, kFrame, kHoverFace));
    const QImage face = screenOf(host->first);
    EXPECT_EQ(face.size(), QSize(100, 33)) << "the caption does not grow the button";
    EXPECT_TRUE(hasWhiteInk(face)) << "the caption is painted";
    EXPECT_EQ(pixel(face, 99, 32), kFrame);
    EXPECT_EQ(pixel(face, 97, 30), kHoverFace);
    EXPECT_EQ(pixel(screenOf(host->second), 2, 2), kIdleFace) << "nothing spills over into the next button";
    moveCursor({5, 5});
    ASSERT_TRUE(looksLike(host->first, kIdleFace, kIdleFace));

    // Replacing it with a short one leaves none of the long one behind.
    host->first.set(QStringLiteral("Caption"), "x");
    EXPECT_EQ(caption(), Variant(QStringLiteral("x")));
    stillWorks();
}

TEST_F(HostileDispatch, ControlCharactersAndNonLatinTextReadBackExactly)
{
    const QString texts[] = {
        QStringLiteral("tab\there, new line\nhere, return\rhere"),
        QString::fromUtf16(u"nul \u0000 inside"),
        QString::fromUtf16(u"\u0001\u0007\u0008\u001b[31m\u007f\u0085\u00a0"),
        QString::fromUtf16(u"\u039a\u03b1\u03bb\u03b7\u03bc\u03ad\u03c1\u03b1"),         // Greek
        QString::fromUtf16(u"\u65e5\u672c\u8a9e\u306e\u30dc\u30bf\u30f3"),               // Japanese
        QString::fromUtf16(u"\u0645\u0631\u062d\u0628\u0627 mixed \u05e9\u05dc\u05d5\u05dd"), // right to left
        QString::fromUtf16(u"\u202eright-to-left override\u202c"),
        QString::fromUtf16(u"e\u0301\u0301\u0301\u0301\u0301 combining"),
        QString::fromUtf16(u"\U0001F525 fire \U0001F9EA"),                                  // outside the BMP
        QString::fromUtf16(u"\ufeff\u200b\u200d\ufffd"),
    };
    for (const QString& text : texts) {
        SCOPED_TRACE(text.toStdString());
        host->first.set(QStringLiteral("Caption"), text);
        const Variant back = caption();
        ASSERT_TRUE(back.holds<QString>());
        EXPECT_EQ(back.get<QString>(), text) << "exactly as given, code unit for code unit";
        EXPECT_EQ(back.get<QString>().size(), text.size());
        // Each one still paints: frame and face on hover.
        moveCursor(host->first.widget()->mapToGlobal(QPoint(50, 16)));
        EXPECT_TRUE(looksLike(host->first, kFrame, kHoverFace));
        moveCursor({5, 5});
        EXPECT_TRUE(looksLike(host->first, kIdleFace, kIdleFace));
    }

    // Broken UTF-16 (a lone surrogate) is not valid text, but must not bring the button down.
    const QChar lone[] = {QChar(u'a'), QChar(0xD800), QChar(u'b'), QChar(0xDC00)};
    host->first.set(QStringLiteral("Caption"), QString(lone, 4));
    EXPECT_EQ(caption().toText().size(), 4);

    host->first.set(QStringLiteral("Caption"), "Plain again");
    moveCursor(host->first.widget()->mapToGlobal(QPoint(50, 16)));
    ASSERT_TRUE(looksLike(host->first, kFrame, kHoverFace));
    EXPECT_TRUE(hasWhiteInk(screenOf(host->first)));
    moveCursor({5, 5});
    stillWorks();
}

TEST_F(HostileDispatch, EventAndPlacementCallsWithNothingToWorkOnAreRefused)
{
    const fk::com::ComPtr<fk::com::IDispatch> button(host->first.dispatch());
    const auto source = button.as<fk::com::IEventSource>();
    ASSERT_TRUE(source);
    std::uint32_t cookie = 0;
    EXPECT_EQ(source->Advise(nullptr, &cookie), fk::com::E_POINTER);
    EXPECT_EQ(source->Advise(host->second.dispatch(), nullptr), fk::com::E_POINTER);
    EXPECT_EQ(source->Unadvise(0xDEADBEEF), fk::com::CONNECT_E_NOCONNECTION);
    EXPECT_EQ(source->GetEventInterface(nullptr), fk::com::E_POINTER);
    EXPECT_EQ(source->GetEventID(QStringLiteral("Click"), nullptr), fk::com::E_POINTER);
    DISPID id = 0;
    EXPECT_EQ(source->GetEventID(QStringLiteral("DblClick"), &id), fk::com::DISP_E_UNKNOWNNAME);

    const auto embedded = button.as<fk::com::IEmbeddedControl>();
    ASSERT_TRUE(embedded);
    EXPECT_EQ(embedded->PlaceIn(nullptr), fk::com::E_POINTER);

    // The host's own connection survived all of it: one click, one event.
    stillWorks();
}

} // namespace
