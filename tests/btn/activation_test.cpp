// Finding and creating the button through the component model, and the errors a host
// gets when that cannot be done.
#include "support/button_host.h"

#include "com/dispatch.h"
#include "com/events.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace testing_support;

namespace {


TEST(Activation, ByProgIdAndByClassIdentity)
{
    useButtonManifest();
    auto byName = fk::com::createObject(kButtonProgId);
    auto byId = fk::com::createObject(QString(kButtonClass));
    ASSERT_TRUE(byName);
    ASSERT_TRUE(byId);
    EXPECT_NE(byName.get(), byId.get()) << "each creation is a new instance";
    EXPECT_TRUE(byName.as<fk::com::IDispatch>());
    EXPECT_TRUE(byName.as<fk::com::IEventSource>());
    // The dual interface _btn answers by its own identity too.
    void* btnInterface = nullptr;
    EXPECT_EQ(byName->QueryInterface(*fk::com::parseGuid(QStringLiteral("{6F5550D2-7096-4A9C-AA54-F2BB84D0A99B}")),
                                     &btnInterface),
              fk::com::S_OK);
    static_cast<fk::com::IUnknown*>(btnInterface)->Release();
    fk::com::Guid events;
    byName.as<fk::com::IEventSource>()->GetEventInterface(&events);
    EXPECT_EQ(events.toString(), QStringLiteral("{F26C7975-6F91-4C53-BD8F-A230F902D283}"));
}

TEST(Activation, UnknownProgIdIsAClearError)
{
    useButtonManifest();
    const QString reason = reasonCreating(QStringLiteral("Lumakey.nothing"));
    EXPECT_TRUE(reason.contains(QStringLiteral("Lumakey.nothing"))) << reason.toStdString();
    EXPECT_TRUE(reason.contains(QStringLiteral("not registered"))) << reason.toStdString();
}

TEST(Activation, MissingLibraryFileIsAClearError)
{
    QTemporaryDir empty;
    fk::com::setProgramManifest(buttonManifest(), empty.path());
    const QString reason = reasonCreating(kButtonProgId);
    EXPECT_TRUE(reason.contains(kButtonProgId)) << reason.toStdString();
    EXPECT_TRUE(reason.contains(QStringLiteral("does not exist"))) << reason.toStdString();
}

TEST(Activation, ManifestMayNotLeadOutsideTheProgramsFolder)
{
    fk::com::setProgramManifest(buttonManifest(QStringLiteral("../Lumakey.ocx")), QStringLiteral(CORVANE_BUILD_BIN));
    EXPECT_TRUE(reasonCreating(kButtonProgId).contains(QStringLiteral("outside the program's folder")));
}

TEST(Activation, ADamagedManifestIsAClearError)
{
    fk::com::setProgramManifest("<manifest><library file=", QStringLiteral(CORVANE_BUILD_BIN));
    EXPECT_TRUE(reasonCreating(kButtonProgId).contains(QStringLiteral("manifest is damaged")));
}

TEST(Activation, AHostWindowThatCannotCreateItsButtonReportsInsteadOfCrashing)
{
    QTemporaryDir empty;
    fk::com::setProgramManifest(buttonManifest(), empty.path());
    EXPECT_THROW(ButtonHost host, fk::RuntimeError);
}

} // namespace
