#include "forms/form.h"

#include "forms/accessibility.h"
#include "forms/control.h"
#include "forms/form_window.h"
#include "forms/running_handlers.h"
#include "forms/timer.h"
#include "platform/window_hints.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QWindow>
#include <algorithm>
#include <map>
#include <set>

namespace fk {

namespace {

std::map<std::type_index, Form*>& loadedForms()
{
    static std::map<std::type_index, Form*> forms;
    return forms;
}

Qt::WindowFlags flagsFor(BorderStyle style)
{
    switch (style) {
    case BorderStyle::None:
    case BorderStyle::FixedNoTitle:
        return Qt::Window | Qt::FramelessWindowHint;
    case BorderStyle::FixedDialog:
        return Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
    }
    return Qt::Window;
}

// Destroys an unloaded form once control has gone back to the event loop and no handler is
// running any more: not only the handler that unloaded it must finish safely, but also one
// of the form's own that pumps events and has the form unloaded meanwhile (its window closed
// by the window manager during a benchmark run, say), which goes on to use the form when
// the pump returns. The toolkit's own deferred deletion would run in that pump.
class FormReaper;

std::set<FormReaper*>& pendingReapers()
{
    static std::set<FormReaper*> reapers;
    return reapers;
}

class FormReaper : public QObject {
public:
    explicit FormReaper(Form* form) : form_(form) { pendingReapers().insert(this); }
    ~FormReaper() override
    {
        pendingReapers().erase(this);
        delete form_;
    }

private:
    Form* form_;
};

} // namespace

Form::Form(const FormProps& props)
    : window_(std::make_unique<FormWindow>(*this, flagsFor(props.borderStyle),
                                           props.borderStyle == BorderStyle::FixedNoTitle)),
      props_(props)
{
    Container::setScaleMode(props.scaleMode);
    QWidget* client = window_->clientArea();
    client->setAutoFillBackground(true);
    QPalette palette = client->palette();
    palette.setColor(QPalette::Window, props.backColor.toQColor());
    client->setPalette(palette);
    window_->setWindowTitle(props.caption);
    presentAs(window_.get(), props.borderStyle == BorderStyle::FixedDialog ? QAccessible::Dialog : QAccessible::Window);
    window_->setClientSize({twipsToPixels(props.clientWidth), twipsToPixels(props.clientHeight)});
    if (props.icon)
        window_->setWindowIcon(QPixmap::fromImage(*props.icon));
    if (!props.showInTaskbar)
        platform::keepOutOfTaskbar(window_.get());
}

Form::~Form()
{
    // Controls are members of the derived class and are gone by now; the window goes last.
}

QWidget* Form::clientWidget() const { return window_->clientArea(); }

QWidget* Form::windowWidget() const { return window_.get(); }

void Form::registerLoaded(std::type_index type, Form* form)
{
    form->type_ = type;
    loadedForms()[type] = form;
}

Form* Form::findLoaded(std::type_index type)
{
    auto it = loadedForms().find(type);
    return it == loadedForms().end() ? nullptr : it->second;
}

void Form::load()
{
    applyTabOrder();
    Form_Load();
}

void destroyAllForms()
{
    while (!pendingReapers().empty())
        delete *pendingReapers().begin();
    while (!loadedForms().empty()) {
        Form* form = loadedForms().begin()->second;
        loadedForms().erase(loadedForms().begin());
        delete form;
    }
}

void Form::show(ShowMode mode)
{
    if (!loaded_)
        return;
    if (!positioned_) {
        positioned_ = true;
        if (props_.centered)
            centreOnScreen();
    }
    applyMove();
    if (mode == ShowMode::Modeless) {
        window_->show();
        return;
    }
    if (modalLoop_)
        return; // already shown modal: a second modal show of the same form would never end
    window_->setWindowModality(Qt::ApplicationModal);
    window_->show();
    window_->raise();
    window_->activateWindow();
    QEventLoop loop;
    modalLoop_ = &loop;
    loop.exec(QEventLoop::DialogExec);
    // The form may be destroyed by now: touch nothing of it.
}

void Form::unload()
{
    if (!loaded_)
        return;
    loaded_ = false;
    stopTimersOf(window_.get());
    window_->hide();
    auto& forms = loadedForms();
    if (auto it = forms.find(type_); it != forms.end() && it->second == this)
        forms.erase(it);
    if (modalLoop_) {
        modalLoop_->quit();
        modalLoop_ = nullptr;
    }
    RunningHandlers::whenAllReturned([reaper = QPointer<FormReaper>(new FormReaper(this))] {
        if (reaper)
            reaper->deleteLater();
    });
    // When the last form goes, the program has nothing left to show and ends normally.
    if (forms.empty())
        QCoreApplication::quit();
}

QPoint Form::position() const { return pendingMove_ ? *pendingMove_ : window_->place(); }
float Form::left() const { return static_cast<float>(pixelsToTwips(position().x())); }
float Form::top() const { return static_cast<float>(pixelsToTwips(position().y())); }
void Form::setLeft(double twips) { move(twips, top()); }
void Form::setTop(double twips) { move(left(), twips); }

void Form::move(double left, double top)
{
    positioned_ = true;
    if (!pendingMove_)
        QMetaObject::invokeMethod(window_.get(), [this] { applyMove(); }, Qt::QueuedConnection);
    pendingMove_ = QPoint(twipsToPixels(left), twipsToPixels(top));
}

// Each move of a window is a request to the window manager and a notice back: a window that
// follows the pointer moves once a pass, not once for Left and again for Top.
void Form::applyMove()
{
    if (pendingMove_)
        window_->moveTo(*std::exchange(pendingMove_, std::nullopt));
}

WindowState Form::windowState() const
{
    return window_->windowState().testFlag(Qt::WindowMinimized) ? WindowState::Minimized : WindowState::Normal;
}

void Form::setWindowState(WindowState state)
{
    if (state == WindowState::Minimized)
        window_->setWindowState(window_->windowState() | Qt::WindowMinimized);
    else
        window_->setWindowState(window_->windowState() & ~Qt::WindowMinimized);
}

QString Form::caption() const { return window_->windowTitle(); }
void Form::setCaption(const QString& caption) { window_->setWindowTitle(caption); }

void Form::adopt(Control* control) { controls_.push_back(control); }

void Form::release(Control* control) { std::erase(controls_, control); }

void Form::applyTabOrder()
{
    std::vector<Control*> ordered;
    std::copy_if(controls_.begin(), controls_.end(), std::back_inserter(ordered),
                 [](Control* c) { return c->tabIndex() >= 0; });
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](Control* a, Control* b) { return a->tabIndex() < b->tabIndex(); });
    for (std::size_t i = 1; i < ordered.size(); ++i)
        QWidget::setTabOrder(ordered[i - 1]->widget(), ordered[i]->widget());
}

void Form::centreOnScreen()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // A window that the window manager frames is centred with that frame, as a window that
    // draws its own frame is centred with its own; the window's own place is then inside it.
    const QMargins frame = props_.borderStyle == BorderStyle::FixedDialog ? platform::frameOf(window_.get()) : QMargins();
    const QSize whole = window_->size().grownBy(frame);
    const QRect area = screen->geometry();
    const QPoint corner(area.x() + (area.width() - whole.width()) / 2, area.y() + (area.height() - whole.height()) / 2);
    if (frame.isNull())
        window_->move(corner);
    else
        window_->windowHandle()->setPosition(corner + QPoint(frame.left(), frame.top()));
}

} // namespace fk
