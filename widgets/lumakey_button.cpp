#include "lumakey_button.h"

#include "com/activation.h"
#include "com/module_file.h"
#include "core/twips.h"
#include "forms/accessibility.h"
#include "forms/error_reporting.h"
#include "hosting/control_site.h"
#include "program/program.h"

#include <QFileInfo>

namespace {

constexpr auto kProgId = "Lumakey.btn";
// The buttons of the program the control was made for: 1575 x 495 twips.
constexpr QSize kUsualSize{1575 / fk::kTwipsPerPixel, 495 / fk::kTwipsPerPixel};

// This library's manifest names the control library beside it. It joins activation once,
// before the first button is made, so that the control is found without registration
// where it is installed with this library, and through the registry elsewhere.
void joinComponentModel()
{
    static const bool joined = [] {
        fk::installAccessibility();
        QString error;
        static const char here = 0;
        if (const auto file = fk::com::moduleFileOf(&here, &error))
            fk::com::addLibraryManifest(fk::ownManifest(), QFileInfo(*file).absolutePath());
        else
            qWarning("LumakeyButton: %s", qPrintable(error));
        return true;
    }();
    (void)joined;
}

} // namespace

class LumakeyButton::Hosted {
public:
    explicit Hosted(QWidget* site) : control(site, QString::fromLatin1(kProgId)) {}
    fk::com::ControlSite control;
};

LumakeyButton::LumakeyButton(QWidget* parent) : QWidget(parent)
{
    joinComponentModel();
    fk::runHandler([this] {
        hosted_ = std::make_unique<Hosted>(this);
        hosted_->control.on(QStringLiteral("Click"), [this] { emit clicked(); });
    });
}

LumakeyButton::~LumakeyButton() = default;

bool LumakeyButton::hasControl() const { return hosted_ != nullptr; }

QString LumakeyButton::caption() const
{
    QString text;
    if (hosted_)
        fk::runHandler([&] { text = hosted_->control.get(QStringLiteral("Caption")).toText(); });
    return text;
}

void LumakeyButton::setCaption(const QString& caption)
{
    if (hosted_)
        fk::runHandler([&] { hosted_->control.set(QStringLiteral("Caption"), fk::com::Variant(caption)); });
}

bool LumakeyButton::isMouseOverControl() const
{
    bool over = false;
    if (hosted_)
        fk::runHandler([&] { 
            const fk::com::Variant answer = hosted_->control.call(QStringLiteral("IsMouseOverControl"));
            over = answer.holds<fk::com::Bool16>() && answer.get<fk::com::Bool16>() == fk::com::Bool16::True;
         });
    return over;
}

QString LumakeyButton::controlLibrary()
{
    joinComponentModel();
    try {
        return fk::com::locateClass(QString::fromLatin1(kProgId)).libraryPath;
    } catch (const fk::RuntimeError&) {
        return {};
    }
}

QSize LumakeyButton::sizeHint() const { return kUsualSize; }
