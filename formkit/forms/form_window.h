#pragma once

#include <QWidget>

namespace fk {

class Form;

// The window system's side of a form: it paints the background and turns the close box
// into an unload.
class FormWindow : public QWidget {
public:
    FormWindow(Form& form, Qt::WindowFlags flags);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    Form& form_;
};

} // namespace fk
