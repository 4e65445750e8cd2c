// Gustrom: mine ventilation network program.
#include "platform/Guard.h"
#include "platform/Text1252.h"
#include "shell/frmTitle.h"

#include <QApplication>
#include <string>

int main(int argc, char *argv[]) {
    VB::GuardedApplication app(argc, argv);
    QApplication::setApplicationName("Gustrom");
    // The network file argument, as the title window takes it.
    std::string commandLine;
    QStringList words;
    for (int i = 1; i < argc; ++i)
        words << QString::fromLocal8Bit(argv[i]);
    commandLine = FromQt(words.join(' '));
    frmTitle title(commandLine);
    return QApplication::exec();
}
