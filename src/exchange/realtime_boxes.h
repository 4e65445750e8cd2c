#pragma once
// Text and number boxes of the realtime dialogs: what they give the model, and the one refusal of a box
// whose number does not read.
#include <optional>
#include <string>

class QLineEdit;

// The text of a box as the model keeps it; TAB, CR and LF become blanks so that no line of the station
// settings file can break.
std::string BoxText(const QLineEdit *box);
// The number in a box ("." or "," as the decimal mark, blanks around allowed); nullopt when it does not
// read as a single-precision number.
std::optional<float> BoxNumber(const QLineEdit *box);
// Says "Not a valid number" and puts the focus in the box, so the user can mend it; returns false.
bool RefuseNumber(QLineEdit *box);
