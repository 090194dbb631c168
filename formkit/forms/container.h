#pragma once

#include "core/twips.h"

class QWidget;

namespace fk {

class Control;
class Form;

// Anything that holds controls: a form, a picture box, a frame, a user control. Children's
// positions and the container's own drawing are measured in its scale unit.
class Container {
public:
    virtual ~Container() = default;

    virtual QWidget* clientWidget() const = 0;
    // The form the container belongs to (a form is its own).
    virtual Form* ownerForm() = 0;

    ScaleMode scaleMode() const { return scaleMode_; }
    virtual void setScaleMode(ScaleMode mode) { scaleMode_ = mode; }

    double toTwips(double units) const { return scaleMode_ == ScaleMode::Pixels ? pixelsToTwips(units) : units; }
    double fromTwips(double twips) const { return scaleMode_ == ScaleMode::Pixels ? twips / kTwipsPerPixel : twips; }
    double toPixels(double units) const { return scaleMode_ == ScaleMode::Pixels ? units : units / kTwipsPerPixel; }
    double fromPixels(double pixels) const { return scaleMode_ == ScaleMode::Pixels ? pixels : pixelsToTwips(pixels); }

    // The inner size, in the scale unit.
    float scaleWidth() const;
    float scaleHeight() const;

private:
    ScaleMode scaleMode_ = ScaleMode::Twips;
};

} // namespace fk
