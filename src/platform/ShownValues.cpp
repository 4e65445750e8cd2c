#include "platform/ShownValues.h"

#include <QLineEdit>

void ShownValues::Show(QLineEdit &box, const QString &text, double value) {
    box.setText(text);
    shown_[&box] = {box.text(), value};
}

void ShownValues::Keep(const QLineEdit &box) {
    shown_[&box] = {box.text(), std::nullopt};
}

bool ShownValues::Edited(const QLineEdit &box) const {
    const auto it = shown_.find(&box);
    return it == shown_.end() || it->second.text != box.text();
}

std::optional<double> ShownValues::Unedited(const QLineEdit &box) const {
    if (Edited(box))
        return std::nullopt;
    return shown_.at(&box).value;
}

void ShownValues::Clear() {
    shown_.clear();
}
