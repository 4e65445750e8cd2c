#include "boxes.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

namespace RemoteBoxes {
namespace {

const QString Title = QStringLiteral("Remote Data Creator");

void windowedMessage(const QString &text) {
    QMessageBox::information(QApplication::activeWindow(), Title, text, QMessageBox::Ok);
}

QString windowedInput(const QString &prompt) {
    bool ok = false;
    const QString answer =
        QInputDialog::getText(QApplication::activeWindow(), Title, prompt, QLineEdit::Normal, QString(), &ok);
    return ok ? answer : QString();
}

MessageFunction message = windowedMessage;
InputFunction input = windowedInput;

} // namespace

void Message(const QString &text) {
    message(text);
}

QString Input(const QString &prompt) {
    return input(prompt);
}

void SetBoxes(MessageFunction newMessage, InputFunction newInput) {
    message = newMessage ? std::move(newMessage) : MessageFunction(windowedMessage);
    input = newInput ? std::move(newInput) : InputFunction(windowedInput);
}

} // namespace RemoteBoxes
