#pragma once
// What a dialog's boxes were given to show. A number is often shown rounded; while a box still holds the
// text it was given, it is unedited and stands for the exact value it was shown from, so a dialog confirmed
// without an edit stores no rounded text over a stored value.
#include <QString>

#include <map>
#include <optional>

class QLineEdit;

class ShownValues {
public:
    // Shows the text of a value in the box.
    void Show(QLineEdit &box, const QString &text, double value);
    // The box's present text counts as shown (a setting the box leaves alone while it is unedited).
    void Keep(const QLineEdit &box);
    // Whether the box's text differs from what it was given; a box never shown counts as edited.
    bool Edited(const QLineEdit &box) const;
    // The value the box was shown from, while its text is unedited.
    std::optional<double> Unedited(const QLineEdit &box) const;
    void Clear();

private:
    struct Shown {
        QString text;
        std::optional<double> value;
    };
    std::map<const QLineEdit *, Shown> shown_;
};
