#pragma once
// Controls with the event habits the program's windows rely on: setting a combo's list index or a check
// box's value from code runs its Click handler, even when the value does not change; a user's choice
// runs it too.
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <functional>

class VBComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit VBComboBox(QWidget *parent = nullptr);
    void SetListIndex(int index); // -1 clears the selection
    int ListIndex() const { return currentIndex(); }
signals:
    void Click();
};

class VBCheckBox : public QCheckBox {
    Q_OBJECT
public:
    explicit VBCheckBox(const QString &text = QString(), QWidget *parent = nullptr);
    void SetValue(bool checked);
    int Value() const { return isChecked() ? 1 : 0; }
signals:
    void Click();
};

namespace VB {
// Shows a dialog modally and returns its result (QDialog::Accepted or Rejected). A test installs a
// driver that works the shown dialog (clicks, keys) and closes it, instead of a user.
int ShowModal(QDialog &dialog);
using ModalDriver = std::function<void(QDialog &)>;
void SetModalDriver(ModalDriver driver); // empty restores the real modal loop
} // namespace VB
