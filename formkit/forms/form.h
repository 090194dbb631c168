#pragma once

#include "core/color.h"
#include "forms/container.h"
#include "forms/picture.h"

#include <QString>
#include <QPoint>
#include <memory>
#include <optional>
#include <typeindex>
#include <vector>

class QEventLoop;

namespace fk {

class Control;
class FormWindow;
template <class F> bool isFormLoaded();

enum class BorderStyle {
    None,              // no frame at all
    FixedNoTitle,      // fixed size, no title bar: the form draws its own dialog frame
    FixedDialog,       // fixed size, title bar with a close box only
};

enum class WindowState { Normal = 0, Minimized = 1 };
enum class ShowMode { Modeless = 0, Modal = 1 };

struct FormProps {
    QString caption;
    double clientWidth = 0;   // twips
    double clientHeight = 0;  // twips
    BorderStyle borderStyle = BorderStyle::FixedDialog;
    Color backColor = kDefaultBackColor;
    ScaleMode scaleMode = ScaleMode::Twips;
    bool centered = true;
    bool showInTaskbar = true;
    Picture icon;
};

// A top-level window. A form class has its controls as members, laid out by their
// constructors' arguments, and its behaviour as handlers. Each form class has one default
// instance (see formInstance): it is loaded on first use and destroyed by unload(); the
// next use loads it again.
class Form : public Container {
public:
    explicit Form(const FormProps& props);
    ~Form() override;

    QWidget* clientWidget() const override;
    // The top-level window, frame included; clientWidget is the area inside the frame.
    QWidget* windowWidget() const;
    Form* ownerForm() override { return this; }

    // Shows the window. Modeless returns at once; modal returns when the form is unloaded,
    // and meanwhile the other windows take no input.
    void show(ShowMode mode = ShowMode::Modeless);

    // Hides the window, stops its timers and destroys the form once the handler that asked
    // for it has returned. The default instance is gone at once: the next use loads anew.
    void unload();

    // The window's place on the screen, in twips: where its outer edge lies, frame
    // included. A new place reads back at once; the window moves there once, when events
    // are next processed, however many times it was set meanwhile.
    float left() const;
    float top() const;
    void setLeft(double twips);
    void setTop(double twips);
    void move(double left, double top);

    WindowState windowState() const;
    void setWindowState(WindowState state);

    QString caption() const;
    void setCaption(const QString& caption);

    // Controls tell their form about themselves, for the tab order.
    void adopt(Control* control);
    void release(Control* control);

protected:
    // The load handler, run once each time the form is loaded.
    virtual void Form_Load() {}

private:
    template <class F> friend F& formInstance();
    template <class F> friend bool isFormLoaded();

    static void registerLoaded(std::type_index type, Form* form);
    static Form* findLoaded(std::type_index type);
    void load();
    void applyTabOrder();
    void centreOnScreen();
    QPoint position() const;
    void applyMove();

    std::unique_ptr<FormWindow> window_;
    FormProps props_;
    std::vector<Control*> controls_;
    QEventLoop* modalLoop_ = nullptr;
    std::optional<QPoint> pendingMove_; // pixels
    bool loaded_ = true;
    bool positioned_ = false;
    std::type_index type_ = typeid(Form);
};

// The default instance of a form class, loaded (constructed, then Form_Load) on first use.
template <class F> F& formInstance()
{
    if (Form* loaded = Form::findLoaded(typeid(F)))
        return static_cast<F&>(*loaded);
    auto form = std::make_unique<F>();
    F& ref = *form;
    Form::registerLoaded(typeid(F), form.release());
    ref.load();
    return ref;
}

// Destroys every form still loaded or waiting to be destroyed, without running any of its
// handlers. The runtime calls it once the program's event loop has ended, before the
// toolkit goes away.
void destroyAllForms();

// Whether the default instance of a form class is loaded now.
template <class F> bool isFormLoaded() { return Form::findLoaded(typeid(F)) != nullptr; }

} // namespace fk
