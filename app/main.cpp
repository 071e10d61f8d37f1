#include <QApplication>

#include "form1.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    vantrelo::Form1 form1;
    form1.showMaximized();
    return QApplication::exec();
}
