#pragma once
// A modal dialog whose close box and Esc key run its own Cancel handler, as every airway dialog expects;
// its handlers close it through Unload.
#include <QDialog>

class CancelOnClose : public QDialog {
public:
    using QDialog::QDialog;

protected:
    // The handler the close box runs (Cancel, or the dialog's closing procedure).
    virtual void CloseBoxHandler() = 0;
    // Closes the dialog from one of its handlers with this result.
    void Unload(int result);
    bool Unloading() const { return unloading_; }
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    bool unloading_ = false;
};
