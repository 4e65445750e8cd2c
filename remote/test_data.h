#pragma once
// The station readings file the program keeps rewriting: a header, a separator and twenty stations of
// made-up readings.
#include <QByteArray>
#include <QLocale>
#include <QString>
#include <cstdint>

inline constexpr const char *TestDataFileName = "Testdata.rem";
inline constexpr int TestDataStations = 20;

// Uniform single-precision numbers in [0, 1) from a fixed seed, so every start of the program writes the
// same readings: a 24-bit linear congruential generator, whose values a float holds exactly.
class ReadingGenerator {
public:
    float Next();

private:
    uint32_t state_ = 0x50000;
};

// The whole file: lines ended by CR LF, station fields joined by TAB. Date and time are taken anew for
// each station line: the date in the locale's short form, the time as hh:mm:ss (24-hour) whatever the
// locale, so that a reader under any locale takes it as it stands.
QByteArray TestDataText(ReadingGenerator &generator, const QLocale &locale = QLocale::system());

// Replaces the file at path with a fresh set of readings. A reader polling the file at any moment sees the
// old file or the new one, never a part. False when the file could not be written.
bool WriteTestData(const QString &path, ReadingGenerator &generator);
