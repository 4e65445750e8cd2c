#include "platform/VBControls.h"

#include "platform/Dialogs.h"
#include "platform/Guard.h"
#include "platform/System.h"
#include "platform/Text1252.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QValidator>

#include <algorithm>

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

namespace {

// Strips commas from text typed, pasted or dropped into a line edit while the box takes a name.
class CommaFreeValidator : public QValidator {
public:
    CommaFreeValidator(QObject *parent, std::function<bool()> isName)
        : QValidator(parent), isName_(std::move(isName)) {}
    State validate(QString &input, int &pos) const override {
        if (!isName_())
            return Acceptable;
        const auto comma = [](QChar c) { return c == u','; };
        pos -= static_cast<int>(std::count_if(input.cbegin(), input.cbegin() + pos, comma));
        input.removeIf(comma);
        return Acceptable;
    }

private:
    std::function<bool()> isName_;
};

} // namespace

DecimalKeyFilter &DecimalKeyFilter::of(QWidget *edit) {
    for (QObject *child : edit->children())
        if (auto *filter = dynamic_cast<DecimalKeyFilter *>(child))
            return *filter;
    auto *filter = new DecimalKeyFilter(edit);
    edit->installEventFilter(filter);
    return *filter;
}

void DecimalKeyFilter::Install(QWidget *edit) {
    of(edit).numbers_ = true;
}

bool DecimalKeyFilter::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() != QEvent::KeyPress)
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    const QString typed = key->text();
    if (isName_ && isName_())
        return typed == ",";
    if (!numbers_ || typed != ".")
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

void NameBox(QWidget *box, std::function<bool()> isName) {
    if (!isName)
        isName = [] { return true; };
    // An editable combo takes its keys itself and hands them to its edit field directly.
    auto *combo = qobject_cast<QComboBox *>(box);
    QLineEdit *edit = combo != nullptr ? combo->lineEdit() : qobject_cast<QLineEdit *>(box);
    DecimalKeyFilter::of(box).isName_ = isName;
    if (edit != nullptr) {
        if (edit != box)
            DecimalKeyFilter::of(edit).isName_ = isName;
        edit->setValidator(new CommaFreeValidator(edit, isName));
    }
}

void MakeEditable(QComboBox *combo) {
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setCompleter(nullptr);
}

void NameControls(const char *names, std::initializer_list<QObject *> controls) {
    const QStringList list = QString::fromLatin1(names).split(',');
    auto name = list.cbegin();
    for (QObject *control : controls) {
        if (control != nullptr && name != list.cend())
            control->setObjectName(name->trimmed());
        ++name;
    }
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
    // A failure inside the dialog ends the handler it happened in; the command that showed the dialog
    // goes on as after Cancel.
    int result = QDialog::Rejected;
    Guarded([&] {
        if (!modalDriver) {
            result = dialog.exec();
            return;
        }
        dialog.setModal(true);
        dialog.show();
        modalDriver(dialog);
    });
    if (!modalDriver)
        return result;
    if (dialog.isVisible())
        dialog.reject(); // a driver that forgot to close it, or that failed, cancels
    return dialog.result();
}

void SetModalDriver(ModalDriver driver) {
    modalDriver = std::move(driver);
}
} // namespace VB
