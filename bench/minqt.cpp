// The floor of any Qt Widgets client: one hidden window, events processed once.

#include <QApplication>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.hide();
    QApplication::processEvents();
    return 0;
}
