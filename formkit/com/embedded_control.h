#pragma once

#include "com/unknown.h"

class QString;
class QWidget;

namespace fk::com {

// A control that a host places in a window of its own: the control puts its window into
// the host's site and keeps it sized to the site from then on. The host presents the site
// to assistive technology and asks the control what the site is called whenever that is
// wanted: the text its face shows, or nothing.
struct IEmbeddedControl : IUnknown {
    static constexpr Guid iid = guid("{4C7A1E00-3B6D-4F1A-9E52-0A1B2C3D4E05}");
    virtual HRESULT PlaceIn(QWidget* site) = 0;
    virtual HRESULT GetAccessibleName(QString* name) = 0;

protected:
    ~IEmbeddedControl() = default;
};

} // namespace fk::com
