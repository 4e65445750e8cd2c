#pragma once
// The program's one window: it rewrites the test readings file in the working folder on every tick of
// its timer, and lets the user change the interval.
#include "test_data.h"

#include <QWidget>

class QPushButton;
class QTimer;

class Form1 : public QWidget {
    Q_OBJECT
public:
    explicit Form1(QWidget *parent = nullptr);

    // One rewrite of the readings file; a failure says so and leaves the timer running.
    void Timer1_Timer();
    // Asks for a new interval in seconds.
    void Command1_Click();

    QPushButton *Command1 = nullptr;
    QTimer *Timer1 = nullptr;

private:
    ReadingGenerator generator_;
};
