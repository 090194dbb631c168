#include "forms/image.h"

#include <QPainter>

namespace fk {

class ImageWidget : public QWidget {
public:
    explicit ImageWidget(Image& owner) : owner_(owner) { setAttribute(Qt::WA_TransparentForMouseEvents); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        if (!owner_.picture_)
            return;
        QPainter painter(this);
        if (owner_.stretch_)
            painter.drawImage(rect(), *owner_.picture_);
        else
            painter.drawImage(0, 0, *owner_.picture_);
    }

private:
    Image& owner_;
};

Image::Image(Container& container, const ImageProps& props)
    : Control(container, new ImageWidget(*this), props.rect), picture_(props.picture), stretch_(props.stretch)
{
}

void Image::setPicture(Picture picture)
{
    picture_ = std::move(picture);
    widget()->update();
}

} // namespace fk
