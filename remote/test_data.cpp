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

// The locale's short date in characters every reader keeps: a locale whose date text does not fit
// Latin-1 (digits or names of another script) gives the date as yyyy-MM-dd.
QByteArray dateText(const QLocale &locale) {
    const QDate today = QDate::currentDate();
    const QString text = locale.toString(today, QLocale::ShortFormat);
    for (const QChar c : text)
        if (c.unicode() > 0xFF)
            return today.toString(Qt::ISODate).toLatin1();
    return text.toLatin1();
}

} // namespace

QByteArray TestDataText(ReadingGenerator &generator, const QLocale &locale) {
    const QByteArray lineEnd = "\r\n";
    QByteArray text = "Station, Date, Time, Vel, O2, CH4, CO, CO2" + lineEnd;
    text += QByteArray(45, '-') + lineEnd;
    for (int i = 1; i <= TestDataStations; ++i) {
        QByteArray line = QByteArray::number(i);
        line += '\t' + dateText(locale);
        line += '\t' + QTime::currentTime().toString(u"HH:mm:ss").toLatin1();
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
