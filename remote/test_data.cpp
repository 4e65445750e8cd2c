#include "test_data.h"

#include <QDate>
#include <QLocale>
#include <QSaveFile>
#include <QTime>
#include <cmath>

float ReadingGenerator::Next() {
    state_ = (state_ * 0x43FD43FDu + 0xC39EC3u) & 0xFFFFFFu;
    return static_cast<float>(state_) / 16777216.0f;
}

namespace {

// The five channels in file order (velocity, oxygen, methane, carbon monoxide, carbon dioxide): a
// reading is Int(r × span) + base.
constexpr struct {
    int span;
    int base;
} Channels[] = {{300, 500}, {100, 350}, {200, 600}, {100, 200}, {200, 150}};

} // namespace

QByteArray TestDataText(ReadingGenerator &generator) {
    const QByteArray lineEnd = "\r\n";
    QByteArray text = "Station, Date, Time, Vel, O2, CH4, CO, CO2" + lineEnd;
    text += QByteArray(45, '-') + lineEnd;
    const QLocale locale = QLocale::system();
    for (int i = 1; i <= TestDataStations; ++i) {
        QByteArray line = QByteArray::number(i);
        line += '\t' + locale.toString(QDate::currentDate(), QLocale::ShortFormat).toLatin1();
        line += '\t' + locale.toString(QTime::currentTime(), QLocale::LongFormat).toLatin1();
        for (const auto &channel : Channels) {
            const double r = generator.Next();
            line += '\t' + QByteArray::number(static_cast<int>(std::floor(r * channel.span)) + channel.base);
        }
        text += line + lineEnd;
    }
    return text;
}

bool WriteTestData(const QString &path, ReadingGenerator &generator) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray text = TestDataText(generator);
    if (file.write(text) != text.size())
        return false;
    return file.commit();
}
