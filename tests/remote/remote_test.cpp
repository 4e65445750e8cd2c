#include "Form1.h"
#include "boxes.h"
#include "test_data.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QInputDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// hh:mm:ss and nothing else.
bool isClockTime(const QByteArray &field) {
    return QRegularExpression("^\\d\\d:\\d\\d:\\d\\d$").match(QString::fromLatin1(field)).hasMatch();
}

// Runs every test in a fresh working folder with scripted boxes.
class RemoteProgram : public ::testing::Test {
protected:
    QTemporaryDir folder;
    QString previousFolder = QDir::currentPath();
    QStringList messages;
    QStringList answers;

    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        QDir::setCurrent(folder.path());
        RemoteBoxes::SetBoxes(
            [this](const QString &text) { messages << text; },
            [this](const QString &) { return answers.isEmpty() ? QString() : answers.takeFirst(); });
    }
    void TearDown() override {
        RemoteBoxes::SetBoxes(nullptr, nullptr);
        QDir::setCurrent(previousFolder);
    }

    QList<QByteArray> writtenLines() const {
        QFile file(folder.filePath("Testdata.rem"));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        QList<QByteArray> lines = file.readAll().split('\n');
        EXPECT_EQ(lines.takeLast(), QByteArray()) << "the last line has its line end";
        for (QByteArray &line : lines) {
            EXPECT_TRUE(line.endsWith('\r')) << line.constData();
            line.chop(1);
        }
        return lines;
    }

    // The five readings of every station line, in file order.
    QList<QByteArray> readings() const {
        QList<QByteArray> out;
        const QList<QByteArray> lines = writtenLines();
        for (qsizetype i = 2; i < lines.size(); ++i)
            out << lines[i].split('\t').mid(3);
        return out;
    }
};

TEST_F(RemoteProgram, EachTickReplacesTheFileWithHeaderSeparatorAndTwentyStationsInRange) {
    Form1 form;
    const struct { int low, high; } ranges[] = {{500, 799}, {350, 449}, {600, 799}, {200, 299}, {150, 349}};
    QList<QByteArray> first;
    for (int tick = 1; tick <= 2; ++tick) {
        form.Timer1_Timer();
        const QList<QByteArray> lines = writtenLines();
        ASSERT_EQ(lines.size(), 22);
        EXPECT_EQ(lines[0], "Station, Date, Time, Vel, O2, CH4, CO, CO2");
        EXPECT_EQ(lines[1], QByteArray(45, '-'));
        for (int i = 1; i <= 20; ++i) {
            const QList<QByteArray> fields = lines[i + 1].split('\t');
            ASSERT_EQ(fields.size(), 8) << lines[i + 1].constData();
            EXPECT_EQ(fields[0], QByteArray::number(i));
            EXPECT_FALSE(fields[1].isEmpty());
            EXPECT_TRUE(isClockTime(fields[2])) << fields[2].constData();
            for (int c = 0; c < 5; ++c) {
                bool ok = false;
                const int reading = fields[c + 3].toInt(&ok);
                EXPECT_TRUE(ok && reading >= ranges[c].low && reading <= ranges[c].high)
                    << fields[c + 3].constData();
            }
        }
        if (tick == 1)
            first = readings();
    }
    EXPECT_NE(readings(), first) << "the second tick writes fresh readings";
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(RemoteProgram, DateAndTimeAreWrittenInCharactersEveryReaderKeepsUnderAnyLocale) {
    for (const char *name : {"ar_EG", "zh_CN", "fi_FI", "en_US"}) {
        ReadingGenerator generator;
        const QList<QByteArray> lines = TestDataText(generator, QLocale(name)).split('\n');
        const QList<QByteArray> fields = lines[2].split('\t');
        ASSERT_EQ(fields.size(), 8) << name;
        EXPECT_FALSE(fields[1].contains('?')) << name << " " << fields[1].constData();
        EXPECT_TRUE(isClockTime(fields[2])) << name << " " << fields[2].constData();
    }
}

TEST_F(RemoteProgram, EveryStartWritesTheSameReadings) {
    QList<QByteArray> runs[2];
    for (auto &run : runs) {
        Form1 form;
        form.Timer1_Timer();
        run = readings();
    }
    EXPECT_EQ(runs[0], runs[1]);
}

TEST_F(RemoteProgram, OnlyAnIntervalStrictlyBetweenZeroAndSixtyFiveSecondsIsTaken) {
    Form1 form;
    EXPECT_EQ(form.windowTitle(), "Remote Data Creator");
    EXPECT_EQ(form.Command1->text(), "Change Interval");
    EXPECT_TRUE(form.Timer1->isActive());
    EXPECT_EQ(form.Timer1->interval(), 5000);
    const struct {
        const char *answer;
        int interval;
    } cases[] = {{"2.5", 2500}, {"0", 2500},     {"65", 2500},      {"-1", 2500}, {"abc", 2500},
                 {"", 2500},    {"64,9", 64900}, {"0.0004", 64900}, {" 1 ", 1000}};
    for (const auto &c : cases) {
        answers = {c.answer};
        QTest::mouseClick(form.Command1, Qt::LeftButton);
        EXPECT_EQ(form.Timer1->interval(), c.interval) << c.answer;
        EXPECT_TRUE(form.Timer1->isActive()) << c.answer;
    }
}

TEST_F(RemoteProgram, CancelledIntervalBoxChangesNothing) {
    RemoteBoxes::SetBoxes(nullptr, nullptr); // the windowed input box
    Form1 form;
    QTimer::singleShot(0, [] {
        auto *box = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        box->setTextValue("3");
        box->reject();
    });
    form.Command1_Click();
    EXPECT_EQ(form.Timer1->interval(), 5000);
}

TEST_F(RemoteProgram, AFileThatCannotBeReplacedGivesTheConflictMessageAndTheTimerRunsOn) {
    ASSERT_TRUE(QDir(folder.path()).mkdir("Testdata.rem"));
    Form1 form;
    form.Timer1_Timer();
    EXPECT_EQ(messages, QStringList{"Error - Conflict in timer"});
    EXPECT_TRUE(form.Timer1->isActive());
    EXPECT_TRUE(QFileInfo(folder.filePath("Testdata.rem")).isDir());
}

} // namespace
