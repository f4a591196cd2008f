#include "mainwindow/Form1.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    veskard::Form1 window;
    window.show();
    return application.exec();
}
