#include "platform/VBControls.h"

#include "platform/Dialogs.h"
#include "platform/System.h"
#include "platform/Text1252.h"

#include <QCoreApplication>
#include <QKeyEvent>

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
    if (isChecked() == checked)
        return;
    setChecked(checked);
    emit Click();
}

VBOptionButton::VBOptionButton(const QString &text, QWidget *parent) : QRadioButton(text, parent) {
    // A user's choice (click or arrow key) selects the button; a click on the selected one changes nothing.
    connect(this, &QRadioButton::toggled, this, [this](bool on) {
        if (on && !settingFromCode_)
            emit Click();
    });
}

void VBOptionButton::SetValue(bool selected) {
    settingFromCode_ = true;
    if (selected) {
        setChecked(true);
    } else {
        // An exclusive button refuses to be cleared directly.
        setAutoExclusive(false);
        setChecked(false);
        setAutoExclusive(true);
    }
    settingFromCode_ = false;
    if (selected)
        emit Click();
}

VBListBox::VBListBox(QWidget *parent) : QListWidget(parent) {
    // Keys that move the choice pick the new entry; a mouse click picks its entry, also the one chosen.
    connect(this, &QListWidget::currentRowChanged, this, [this](int) {
        if (!settingFromCode_ && !mouseDown_)
            emit Click();
    });
    connect(this, &QListWidget::itemClicked, this, [this](QListWidgetItem *) { emit Click(); });
}

void VBListBox::mousePressEvent(QMouseEvent *event) {
    mouseDown_ = true;
    QListWidget::mousePressEvent(event);
}

void VBListBox::mouseReleaseEvent(QMouseEvent *event) {
    QListWidget::mouseReleaseEvent(event);
    mouseDown_ = false;
}

void VBListBox::SetListIndex(int index) {
    settingFromCode_ = true;
    setCurrentRow(index);
    settingFromCode_ = false;
    emit Click();
}

void VBListBox::AddItem(const std::string &text) {
    addItem(ToQt(text));
}

std::string VBListBox::List(int index) const {
    const QListWidgetItem *it = item(index);
    return it ? FromQt(it->text()) : std::string();
}

void VBListBox::SetList(int index, const std::string &text) {
    if (QListWidgetItem *it = item(index))
        it->setText(ToQt(text));
}

namespace VB {

void DecimalKeyFilter::Install(QWidget *edit) {
    edit->installEventFilter(new DecimalKeyFilter(edit));
}

bool DecimalKeyFilter::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() != QEvent::KeyPress)
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    const QString typed = key->text();
    if (typed != "." && typed != ",")
        return false;
    const QChar mark = QChar::fromLatin1(LocaleDecimalSeparator());
    if (typed == mark)
        return false;
    // The replacement goes through the widget's filters again; this one lets it pass.
    QKeyEvent replacement(QEvent::KeyPress, mark == ',' ? Qt::Key_Comma : Qt::Key_Period, key->modifiers(),
                          QString(mark), key->isAutoRepeat(), static_cast<quint16>(key->count()));
    QCoreApplication::sendEvent(watched, &replacement);
    return true;
}

void DetachChildSignals(QObject &window) {
    for (QObject *child : window.findChildren<QObject *>())
        QObject::disconnect(child, nullptr, &window, nullptr);
}

namespace {
ModalDriver modalDriver;
}

int ShowModal(QDialog &dialog) {
    NoteModalDialogShown();
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
