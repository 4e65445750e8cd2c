#include "interval.h"

#include <QLocale>
#include <cmath>

std::optional<int> IntervalFromAnswer(const QString &answer) {
    QString text = answer.trimmed();
    text.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double seconds = QLocale::c().toDouble(text, &ok);
    if (!ok || !(seconds > 0 && seconds < 65))
        return std::nullopt;
    // Whole milliseconds, halves to even; an interval that rounds to 0 would write without pause.
    const double ms = std::nearbyint(seconds * 1000.0);
    if (ms < 1)
        return std::nullopt;
    return static_cast<int>(ms);
}
