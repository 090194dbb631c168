#pragma once

#include "forms/control.h"
#include "forms/picture.h"

namespace fk {

struct ImageProps {
    TwipsRect rect;
    Picture picture;
    bool stretch = false;  // stretched to the control's size, or shown at its own size
};

// An image control: shows a picture object, which it may share with other controls.
class Image : public Control {
public:
    Image(Container& container, const ImageProps& props);

    const Picture& picture() const { return picture_; }
    void setPicture(Picture picture);

private:
    friend class ImageWidget;
    Picture picture_;
    bool stretch_;
};

} // namespace fk
