#include "shell/frmFileNote.h"

#include "graphics/drawing.h"
#include "model/Gustrom1.h"
#include "platform/Text1252.h"
#include "platform/VBControls.h"
#include "shell/shell_state.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QVBoxLayout>

namespace {

// Every line break of the model's text (CR LF, CR or LF) as the box's line feed.
QString boxText(const std::string &text) {
    QString shown = ToQt(text);
    shown.replace("\r\n", "\n");
    shown.replace('\r', '\n');
    return shown;
}

} // namespace

frmFileNote::frmFileNote(QWidget *parent) : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint) {
    setWindowTitle("Network File Note");
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    MessageBox = new QTextEdit(this);
    MessageBox->setAcceptRichText(false);
    MessageBox->setFont(QFont("Arial"));
    layout->addWidget(MessageBox);
    MessageBox->installEventFilter(this);
    VB_NAME_CONTROLS(MessageBox);
}

void frmFileNote::Form_Load() {
    SetText(FileNote);
}

std::string frmFileNote::Text() const {
    QString text = MessageBox->toPlainText();
    text.replace("\n", "\r\n");
    return FromQt(text);
}

void frmFileNote::SetText(const std::string &text) {
    MessageBox->setPlainText(boxText(text));
}

bool frmFileNote::Changed() const {
    return boxText(FileNote) != MessageBox->toPlainText();
}

void frmFileNote::Form_Unload() {
    // Only a real change of the text counts as a change of the network.
    if (Changed()) {
        FileNote = Text();
        NetworkSaved = 0;
    }
    const QRect frame = frameGeometry();
    MemoLeft = PixelsToTwips(frame.x(), 0);
    MemoTop = PixelsToTwips(frame.y(), 1);
    MemoWidth = static_cast<float>(PixelsToTwips(frame.width(), 0));
    MemoHeight = static_cast<float>(PixelsToTwips(frame.height(), 1));
    if (!ScreenBuffer)
        Redraw();
}

void frmFileNote::closeEvent(QCloseEvent *event) {
    Form_Unload();
    event->accept();
}

void frmFileNote::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Escape)
        close();
    else
        QWidget::keyPressEvent(event);
}

bool frmFileNote::eventFilter(QObject *watched, QEvent *event) {
    if (watched == MessageBox && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        close();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
