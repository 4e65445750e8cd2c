#pragma once
// "Network File Note": the memo kept with the network, in a window kept on top beside the main window.
#include <QTextEdit>
#include <QWidget>

#include <string>

class frmFileNote : public QWidget {
    Q_OBJECT
public:
    explicit frmFileNote(QWidget *parent = nullptr);
    QTextEdit *MessageBox;

    // Puts FileNote into the box.
    void Form_Load();
    // Keeps the text in FileNote and the window's place and size for the next opening.
    void Form_Unload();

    // The box's text as the model keeps it (Windows-1252, CR LF line breaks), and back.
    std::string Text() const;
    void SetText(const std::string &text);
    // The box holds text that FileNote does not have yet.
    bool Changed() const;

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
};
