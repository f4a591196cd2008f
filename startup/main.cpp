#include "mainwindow/Form1.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    application.setWindowIcon(QIcon(QStringLiteral(":/Veskard.ico")));
    veskard::Form1 window;
    window.createIconButtons();
    window.show();
    return application.exec();
}
