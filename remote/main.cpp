// remote: keeps rewriting "Testdata.rem" in the working folder with made-up station readings, so that
// gustrom's realtime input can be tried without monitoring hardware.
#include "Form1.h"

#include <QApplication>

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("remote"));
    Form1 form;
    form.show();
    return QApplication::exec();
}
