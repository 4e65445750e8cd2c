#pragma once
// Controls with the event habits the program's windows rely on: setting a combo's list index from code runs
// its Click handler, even when the index does not change; setting a check box's value from code runs it
// when the value changes; a user's choice runs it too.
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QListWidget>
#include <QRadioButton>
#include <functional>
#include <string>

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
    void SetValue(bool checked); // runs Click only when the value changes
    int Value() const { return isChecked() ? 1 : 0; }
signals:
    void Click();
};

// The option buttons of one parent exclude each other. Selecting one from code runs its Click handler, as a
// user's choice does; clearing it from code leaves the group with none selected and runs nothing.
class VBOptionButton : public QRadioButton {
    Q_OBJECT
public:
    explicit VBOptionButton(const QString &text = QString(), QWidget *parent = nullptr);
    void SetValue(bool selected);
    bool Value() const { return isChecked(); }
signals:
    void Click();

private:
    bool settingFromCode_ = false;
};

// A list box whose Click runs when the user picks an entry and when code sets the list index.
class VBListBox : public QListWidget {
    Q_OBJECT
public:
    explicit VBListBox(QWidget *parent = nullptr);
    void SetListIndex(int index); // -1 clears the selection
    int ListIndex() const { return currentRow(); }
    void AddItem(const std::string &text);
    std::string List(int index) const;
    // Replaces an entry's text without running Click.
    void SetList(int index, const std::string &text);
    int ListCount() const { return count(); }
signals:
    void Click();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool settingFromCode_ = false;
    bool mouseDown_ = false;
};

namespace VB {
// The typing rules of a text box, one filter per box. In a number box a typed "." becomes the locale's
// decimal mark (LocaleDecimalSeparator, which the main window keeps in DecimalSeparator), so that a
// number typed on any keyboard reads back in the user's number format; a typed "," passes, as numbers
// read either mark. In a name box (NameBox) no comma gets in and "." stays ".". Other keys pass unchanged.
class DecimalKeyFilter : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // Makes a number box of a line edit, a grid, a grid's edit box or a combo's edit field.
    static void Install(QWidget *edit);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    friend void NameBox(QWidget *, std::function<bool()>);
    static DecimalKeyFilter &of(QWidget *edit);
    bool numbers_ = false;
    std::function<bool()> isName_; // empty: never a name box
};

// Names are stored in comma-separated lists: a comma typed into a name box is dropped before any handler
// sees it, and text pasted or dropped in loses its commas. With `isName` the box is a name box only while
// it returns true (a grid and its edit box over a name column), and a number box otherwise when
// DecimalKeyFilter is installed on it too. Works on a line edit, a grid or an editable combo.
void NameBox(QWidget *box, std::function<bool()> isName = {});

// An editable combo whose typed text is never completed from its list and never added to it.
void MakeEditable(QComboBox *combo);

// Disconnects every child's signals from the window: called as a window is destroyed, so that the focus
// leaving its boxes runs no handler of a half-destroyed window.
void DetachChildSignals(QObject &window);

// Shows a dialog modally and returns its result (QDialog::Accepted or Rejected). A test installs a
// driver that works the shown dialog (clicks, keys) and closes it, instead of a user.
int ShowModal(QDialog &dialog);
using ModalDriver = std::function<void(QDialog &)>;
void SetModalDriver(ModalDriver driver); // empty restores the real modal loop
} // namespace VB
