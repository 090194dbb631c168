#include "forms/user_control.h"

#include "forms/error_reporting.h"
#include "forms/font.h"
#include "forms/polling_group.h"

#include <QEvent>
#include <QShowEvent>
#include <QFontMetrics>

namespace fk {

class UserControlWidget : public QWidget {
public:
    explicit UserControlWidget(UserControl& owner) : owner_(owner) {}

    // Follows the site's size; a site moved in its container moves the control on the screen.
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == parent() && event->type() == QEvent::Resize)
            resize(parentWidget()->size());
        else if (watched == parent() && event->type() == QEvent::Move)
            owner_.changed();
        return false;
    }

protected:
    void resizeEvent(QResizeEvent*) override
    {
        owner_.changed();
        if (owner_.onResize)
            runHandler(owner_.onResize);
    }

    void showEvent(QShowEvent* event) override
    {
        if (event->spontaneous())
            return;
        owner_.changed();
        if (owner_.onShow)
            runHandler(owner_.onShow);
    }

private:
    UserControl& owner_;
};

UserControl::UserControl() : widget_(new UserControlWidget(*this))
{
    widget_->setFont(toQFont(defaultFont()));
}

UserControl::~UserControl() { delete widget_.data(); }

QWidget* UserControl::clientWidget() const { return widget_.data(); }

void UserControl::placeIn(QWidget* site)
{
    widget_->setParent(site);
    site->installEventFilter(widget_.data());
    widget_->resize(site->size());
    widget_->show();
}

void UserControl::changed() { PollingGroup::touch(widget_.data()); }

float UserControl::textWidth(const QString& text) const
{
    return static_cast<float>(fromPixels(measure_.width(widget_->font(), text)));
}

float UserControl::textHeight(const QString&) const
{
    return static_cast<float>(fromPixels(measure_.height(widget_->font())));
}

} // namespace fk
