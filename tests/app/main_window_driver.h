#pragma once

// Driving the main window the way a user does: clicks go to the top-level window at a
// point, so the window system's rules apply (a modal window blocks them, and whatever lies
// in front at that point takes them).
#include "support/test_support.h"

#include "frmMain.h"

#include <QTest>
#include <QWidget>
#include <QWindow>
#include <cstdint>

namespace main_window {

// A left click at the centre of the widget, delivered to its top-level window.
inline void clickAt(const QWidget* target)
{
    QWidget* top = target->window();
    QTest::mouseClick(top->windowHandle(), Qt::LeftButton, {}, target->mapTo(top, target->rect().center()));
}

inline void click(const fk::com::HostedControl& button) { clickAt(testing_support::faceOf(button)); }
inline void click(const fk::Control& control) { clickAt(control.widget()); }

inline QString captionOf(const fk::com::HostedControl& button) { return button.get(QStringLiteral("Caption")).toText(); }

// The rectangle of the panel area, pctTest(0)'s, in window pixels.
inline const QRect kPanelArea(225, 87, 346, 291);

// Which panel the user sees at a point of the window: the element of pctTest that holds
// the widget found there, or -1.
inline int panelAt(const corvane::frmMain& window, QPoint point)
{
    for (QWidget* w = window.clientWidget()->childAt(point); w; w = w->parentWidget())
        for (int i = 0; i <= window.pctTest.ubound(); ++i)
            if (window.pctTest(static_cast<std::int16_t>(i)).widget() == w)
                return i;
    return -1;
}

// The children of a widget from back to front.
inline QList<QWidget*> stacking(const QWidget* parent)
{
    QList<QWidget*> widgets;
    for (QObject* child : parent->children())
        if (child->isWidgetType())
            widgets.push_back(static_cast<QWidget*>(child));
    return widgets;
}

// Whether the control is the frontmost of its container's children.
inline bool inFront(const fk::Control& control)
{
    const QList<QWidget*> order = stacking(control.widget()->parentWidget());
    return !order.isEmpty() && order.back() == control.widget();
}

// What the user sees of the window now.
inline QImage screenOf(const fk::Form& form) { return form.clientWidget()->grab().toImage(); }

} // namespace main_window
