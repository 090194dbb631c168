#pragma once

#include "com/variant.h"
#include "forms/picturebox.h"
#include "forms/timer.h"
#include "forms/user_control.h"
#include "forms/cursor.h"

#include <QString>
#include <functional>
#include <optional>

namespace lumakey {

// The highlight button: a flat, owner-painted push button. Once it has a caption it polls
// the cursor every 10 ms and repaints its face in the idle, hover or pressed look; a click
// on the face is raised to the host as Click.
class btn {
public:
    // raiseClick delivers Click to the host before it returns.
    explicit btn(std::function<void()> raiseClick);

    // The public surface.
    bool IsMouseOverControl();
    QString Caption() const { return strCaption; }
    void setCaption(const fk::com::Variant& vNewValue);

    void placeIn(QWidget* site) { UserControl.placeIn(site); }
    // The host put a property: the face shows it from the next tick on.
    void propertyPut() { UserControl.changed(); }

private:
    void UserControl_Initialize();
    void UserControl_Show();
    void UserControl_Resize();
    void tmrUpdate_Timer();
    void pctBack_MouseDown(short button, short shift, float x, float y);
    void pctBack_MouseUp(short button, short shift, float x, float y);
    void pctBack_Click();
    void drawFrame();

    std::function<void()> raiseClick_;

    // What the face was last painted from. Painting the same look on an untouched face
    // gives the same pixels, so a tick that would do so leaves the face as it is.
    struct Painted {
        fk::Color face;
        fk::Color caption;
        QString text;
        float width;
        float height;
        quint64 drawCount;
        bool operator==(const Painted&) const = default;
    };
    std::optional<Painted> painted_;

    fk::UserControl UserControl;
    fk::PictureBox pctBack{UserControl, {.rect = {240, 120, 2895, 1455}, .tabIndex = 0}};
    fk::Timer tmrUpdate{UserControl, {.interval = 10, .enabled = true, .pollsInput = true}};

    fk::POINT ptCursor;
    fk::RECT rcWindow;
    QString strCaption;
    fk::com::Bool16 blnPressed = fk::com::Bool16::False;
    fk::Color lngFaceColor = 0;
};

} // namespace lumakey
