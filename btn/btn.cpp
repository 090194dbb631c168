#include "btn.h"

#include "look.h"

namespace lumakey {

using fk::com::Bool16;

btn::btn(std::function<void()> raiseClick) : raiseClick_(std::move(raiseClick))
{
    UserControl.onResize = [this] { UserControl_Resize(); };
    UserControl.onShow = [this] { UserControl_Show(); };
    tmrUpdate.onTimer = [this] { tmrUpdate_Timer(); };
    pctBack.onMouseDown = [this](short b, short s, float x, float y) { pctBack_MouseDown(b, s, x, y); };
    pctBack.onMouseUp = [this](short b, short s, float x, float y) { pctBack_MouseUp(b, s, x, y); };
    pctBack.onClick = [this] { pctBack_Click(); };
    UserControl_Initialize();
}

void btn::UserControl_Initialize()
{
    UserControl.setScaleMode(fk::ScaleMode::Pixels);
    pctBack.setScaleMode(fk::ScaleMode::Pixels);
    tmrUpdate.setEnabled(false);
}

void btn::UserControl_Show() { pctBack.setBackColor(kFaceBackground); }

bool btn::IsMouseOverControl()
{
    fk::GetCursorPos(&ptCursor);
    fk::GetWindowRect(UserControl.hWnd(), &rcWindow);
    // Strict on all four sides: the leftmost column and the top row count as outside.
    return rcWindow.left < ptCursor.x && ptCursor.x < rcWindow.right && rcWindow.top < ptCursor.y
           && ptCursor.y < rcWindow.bottom;
}

void btn::setCaption(const fk::com::Variant& vNewValue)
{
    // The conversion comes first: a value without a text form changes nothing.
    strCaption = vNewValue.toText();
    tmrUpdate.setEnabled(true);
}

void btn::tmrUpdate_Timer()
{
    const LookColors look = colorsOf(chooseLook(IsMouseOverControl(), blnPressed == Bool16::True));
    lngFaceColor = look.face;
    pctBack.setForeColor(look.caption);
    const Painted now{lngFaceColor, look.caption, strCaption, UserControl.scaleWidth(), UserControl.scaleHeight(),
                      pctBack.drawCount()};
    if (painted_ == now)
        return;
    if (look.framed)
        drawFrame();
    UserControl_Resize();
    painted_ = Painted{lngFaceColor, look.caption, strCaption, UserControl.scaleWidth(), UserControl.scaleHeight(),
                       pctBack.drawCount()};
}

void btn::drawFrame()
{
    pctBack.line(0, 0, pctBack.scaleWidth(), 0, kFrameColor);
    pctBack.line(0, 0, 0, pctBack.scaleHeight(), kFrameColor);
    pctBack.line(pctBack.scaleWidth() - 1, 0, pctBack.scaleWidth() - 1, pctBack.scaleHeight() - 1, kFrameColor);
    pctBack.line(pctBack.scaleWidth() - 1, pctBack.scaleHeight() - 1, -1, pctBack.scaleHeight() - 1, kFrameColor);
}

void btn::UserControl_Resize()
{
    pctBack.move(UserControl.scaleLeft(), UserControl.scaleTop(), UserControl.scaleWidth(), UserControl.scaleHeight());
    const float w = UserControl.scaleWidth();
    const float h = UserControl.scaleHeight();
    if (lngFaceColor == kFaceBackground)
        pctBack.cls();
    else
        pctBack.filledBox(1, 1, w - 2, h - 2, lngFaceColor);
    pctBack.setCurrentX(w / 2 - UserControl.textWidth(strCaption) / 2);
    pctBack.setCurrentY(h / 2 - UserControl.textHeight(strCaption) / 2);
    pctBack.print(strCaption);
}

void btn::pctBack_MouseDown(short, short, float, float) { blnPressed = Bool16::True; }

void btn::pctBack_MouseUp(short, short, float, float)
{
    blnPressed = Bool16::False;
    tmrUpdate_Timer();
}

void btn::pctBack_Click() { raiseClick_(); }

} // namespace lumakey
