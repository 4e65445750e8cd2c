#include "Form1.h"

#include "boxes.h"
#include "interval.h"

#include <QDir>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

Form1::Form1(QWidget *parent) : QWidget(parent) {
    setWindowTitle(QStringLiteral("Remote Data Creator"));
    Command1 = new QPushButton(QStringLiteral("Change Interval"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Command1);
    setMinimumSize(260, 90);
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);

    // The first file appears one interval after the start.
    Timer1 = new QTimer(this);
    Timer1->setInterval(5000);
    connect(Timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);
    Timer1->start();
}

void Form1::Timer1_Timer() {
    if (WriteTestData(QDir::current().filePath(QString::fromLatin1(TestDataFileName)), generator_))
        return;
    // No ticks pile up behind the open box; the next tick tries again.
    Timer1->stop();
    RemoteBoxes::Message(QStringLiteral("Error - Conflict in timer"));
    Timer1->start();
}

void Form1::Command1_Click() {
    if (const std::optional<int> ms =
            IntervalFromAnswer(RemoteBoxes::Input(QStringLiteral("Enter new interval (seconds)"))))
        Timer1->setInterval(*ms);
}
