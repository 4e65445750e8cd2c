#include "platform/VBControls.h"

VBComboBox::VBComboBox(QWidget *parent) : QComboBox(parent) {
    connect(this, &QComboBox::activated, this, [this](int) { emit Click(); });
}

void VBComboBox::SetListIndex(int index) {
    setCurrentIndex(index);
    emit Click();
}

VBCheckBox::VBCheckBox(const QString &text, QWidget *parent) : QCheckBox(text, parent) {
    connect(this, &QCheckBox::clicked, this, [this](bool) { emit Click(); });
}

void VBCheckBox::SetValue(bool checked) {
    setChecked(checked);
    emit Click();
}

namespace VB {
namespace {
ModalDriver modalDriver;
}

int ShowModal(QDialog &dialog) {
    if (!modalDriver)
        return dialog.exec();
    dialog.setModal(true);
    dialog.show();
    modalDriver(dialog);
    if (dialog.isVisible())
        dialog.reject(); // a driver that forgot to close it cancels
    return dialog.result();
}

void SetModalDriver(ModalDriver driver) {
    modalDriver = std::move(driver);
}
} // namespace VB
