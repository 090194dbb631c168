// Counts the clicks on a highlight button laid out in Qt Designer.
#include "ui_counter_window.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    Ui::CounterWindow ui;
    ui.setupUi(&window);

    int clicks = 0;
    QObject::connect(ui.countButton, &LumakeyButton::clicked, [&] {
        ui.countLabel->setText(QStringLiteral("Clicked %1 times").arg(++clicks));
    });

    window.show();
    return app.exec();
}
