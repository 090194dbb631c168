#pragma once

class QPalette;
class QStyle;

namespace fk {

// The look of the forms: the classic one their layouts were drawn for, the same on every
// desktop. A form's layout lists the colours it means; everything it does not list is the
// platform control's default, and that platform is formkit, not the user's desktop. So every
// form takes this palette and every control on it this style, whatever style, platform theme
// or colour scheme the desktop gives the application. A control's own colours are roles set
// over the palette and still win. Nothing here touches the application's own style or
// palette, which other widgets in the same program (a host of the highlight button) keep.

// The classic style: sunken white option circles with a black dot, etched frames, no hover.
// Made on first use and kept to the end of the process, as the widgets that use it may be.
// Null only from a toolkit built without it, which leaves a widget the application's style.
QStyle* formStyle();

// The classic palette, every role of every colour group set, so that nothing of the
// application's palette shows through; disabled text is grey.
const QPalette& formPalette();

} // namespace fk
