// Shows the highlight button as Qt Designer makes it, through the Designer plugin, in a
// window of its own at a given place, above a strip of the window's own ground, and prints
// each click on a line of its own. Without a control to host it says so and ends.
//
//   widget_host PLUGIN X Y CAPTION
#include "lumakey_button.h"

#include <QApplication>
#include <QPluginLoader>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>
#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc != 5) {
        std::fprintf(stderr, "usage: widget_host PLUGIN X Y CAPTION\n");
        return 2;
    }
    QPluginLoader loader(QString::fromLocal8Bit(argv[1]));
    auto* plugin = qobject_cast<QDesignerCustomWidgetInterface*>(loader.instance());
    if (!plugin) {
        std::fprintf(stderr, "widget_host: %s\n", qPrintable(loader.errorString()));
        return 1;
    }
    QWidget window(nullptr, Qt::FramelessWindowHint);
    auto* button = qobject_cast<LumakeyButton*>(plugin->createWidget(&window));
    if (!button || !button->hasControl()) {
        std::printf("no control\n");
        return 0;
    }
    button->setCaption(QString::fromLocal8Bit(argv[4]));
    button->resize(button->sizeHint());
    window.resize(button->sizeHint() + QSize(0, 20));
    window.move(QString::fromLocal8Bit(argv[2]).toInt(), QString::fromLocal8Bit(argv[3]).toInt());
    int clicks = 0;
    QObject::connect(button, &LumakeyButton::clicked, [&] {
        std::printf("clicked %d\n", ++clicks);
        std::fflush(stdout);
    });
    window.show();
    std::printf("shown\n");
    std::fflush(stdout);
    return QApplication::exec();
}
