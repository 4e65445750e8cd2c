#pragma once
// The rule for a new writing interval typed by the user.
#include <QString>
#include <optional>

// The timer interval in milliseconds for an answer in seconds, or nullopt when the answer leaves the
// interval as it is: not a number, empty, or not strictly between 0 and 65 seconds. "." and "," both
// read as the decimal mark.
std::optional<int> IntervalFromAnswer(const QString &answer);
