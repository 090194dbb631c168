#include "host_window.h"

#include "core/runtime_error.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QThread>
#include <QWindow>
#include <algorithm>
#include <cstdio>

using namespace fk::com;
using namespace formats;

namespace {

// The interactive window's extra room below the control, and its least width, in pixels.
constexpr int kMargin = 6;
constexpr int kLineHeight = 26;
constexpr int kLogHeight = 140;
constexpr int kInteractiveWidth = 360;

fk::FormProps propsFor(const HostOptions& options)
{
    const int width = options.interactive ? std::max(options.size.width(), kInteractiveWidth) : options.size.width();
    const int height =
        options.size.height() + (options.interactive ? 3 * kMargin + kLineHeight + kLogHeight : 0);
    return {.caption = QStringLiteral("ctlhost: ") + options.name,
            .clientWidth = fk::pixelsToTwips(width),
            .clientHeight = fk::pixelsToTwips(height),
            .borderStyle = fk::BorderStyle::FixedDialog,
            .centered = !options.at};
}

QString refusalOf(const fk::RuntimeError& error)
{
    return QStringLiteral("error %1: %2").arg(error.number()).arg(error.description());
}

} // namespace

HostWindow::HostWindow(const RegisteredClass& registered, const HostOptions& options)
    : Form(propsFor(options)),
      registered_(registered),
      className_(options.name),
      control_(*this, {.rect = {0, 0, fk::pixelsToTwips(options.size.width()), fk::pixelsToTwips(options.size.height())},
                       .progId = options.name})
{
    connectEvents();
    if (!options.interactive)
        return;
    const int width = clientWidget()->width() - 2 * kMargin;
    int y = options.size.height() + kMargin;
    propertyLine_ = new QLineEdit(clientWidget());
    propertyLine_->setPlaceholderText(QStringLiteral("Caption = Hello, or a method's name"));
    propertyLine_->setGeometry(kMargin, y, width, kLineHeight);
    QObject::connect(propertyLine_, &QLineEdit::returnPressed, propertyLine_, [this] {
        runLine(propertyLine_->text());
        propertyLine_->clear();
    });
    y += kLineHeight + kMargin;
    log_ = new QPlainTextEdit(clientWidget());
    log_->setReadOnly(true);
    log_->setGeometry(kMargin, y, width, kLogHeight);
}

void HostWindow::connectEvents()
{
    const TypeLibrary::Interface* events = registered_.eventInterface();
    if (!events)
        return;
    for (const TypeLibrary::Member& event : events->members)
        control_.on(event.name, [this, name = event.name] { report(QStringLiteral("%1 %2").arg(name).arg(++eventCount_)); });
}

QString HostWindow::put(const QString& name, const QString& value)
{
    const TypeLibrary::Member* member = registered_.member(name, InvokeKind::PropertyPut);
    if (!member)
        return QStringLiteral("%1 has no property '%2' to set (its properties: %3)")
            .arg(className_, name, registered_.memberNames(InvokeKind::PropertyPut));
    try {
        control_.set(member->name, Variant(value));
    } catch (const fk::RuntimeError& error) {
        return QStringLiteral("%1 refused %2 = '%3': %4").arg(className_, member->name, value, refusalOf(error));
    }
    report(QStringLiteral("%1 = %2").arg(member->name, value));
    return {};
}

QString HostWindow::call(const QString& name)
{
    const TypeLibrary::Member* member = registered_.member(name, InvokeKind::Method);
    if (!member)
        return QStringLiteral("%1 has no method '%2' (its methods: %3)")
            .arg(className_, name, registered_.memberNames(InvokeKind::Method));
    if (member->argumentCount != 0)
        return QStringLiteral("%1.%2 takes %3 argument(s), and the container calls methods without arguments")
            .arg(className_, member->name)
            .arg(member->argumentCount);
    try {
        const Variant result = control_.call(member->name);
        report(result.isEmpty() ? member->name + QStringLiteral("()")
                                : QStringLiteral("%1() = %2").arg(member->name, result.toText()));
    } catch (const fk::RuntimeError& error) {
        return QStringLiteral("%1.%2 failed: %3").arg(className_, member->name, refusalOf(error));
    }
    return {};
}

void HostWindow::placeClientAt(const QPoint& position)
{
    QWidget* window = windowWidget();
    window->winId(); // the native window, whose position leaves the frame out
    window->windowHandle()->setPosition(position);
}

void HostWindow::showAndWait()
{
    show();
    QWindow* window = windowWidget()->windowHandle();
    QElapsedTimer waited;
    waited.start();
    while (!(window && window->isExposed()) && waited.elapsed() < 5000) {
        QCoreApplication::processEvents();
        QThread::msleep(5);
        window = windowWidget()->windowHandle();
    }
}

void HostWindow::runLine(const QString& text)
{
    const QString line = text.trimmed();
    if (line.isEmpty())
        return;
    const qsizetype equals = line.indexOf(QLatin1Char('='));
    const QString error = equals < 0 ? call(line) : put(line.left(equals).trimmed(), line.mid(equals + 1).trimmed());
    if (!error.isEmpty())
        report(QStringLiteral("error: ") + error);
}

void HostWindow::report(const QString& line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
    if (log_)
        log_->appendPlainText(line);
}
