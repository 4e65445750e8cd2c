#pragma once
// The keyboard commands reach the graphic editor from wherever the main window's focus is: a graphics
// window, the toolbar, a display combo, the level scroll bar, the rotation pad or the window itself.
// Text boxes and the menu bar keep their editing and navigation keys; the function keys type nothing, so
// they are commands there too. Dialogs and the program's other windows keep every key.
#include <QObject>

class QWidget;

class MainWindowKeys : public QObject {
public:
    // Watches the keys of every control whose window is `window`, from now until destroyed.
    explicit MainWindowKeys(QWidget *window);
    ~MainWindowKeys() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *window_;
};
