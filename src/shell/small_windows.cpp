#include "shell/small_windows.h"

#include "model/Gustrom1.h"
#include "platform/Text1252.h"
#include "platform/VBControls.h"
#include "platform/WindowPlacement.h"
#include "shell/MainForm.h"
#include "shell/shell_state.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

frmPopData::frmPopData(QWidget *parent) : QWidget(parent, Qt::ToolTip) {
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    Text = new QTextEdit(this);
    Text->setReadOnly(true);
    Text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    layout->addWidget(Text);
    // Room for the heading, a blank line and the ten data lines.
    const QFontMetrics metrics(Text->font());
    resize(30 * metrics.averageCharWidth() + 16, 13 * metrics.lineSpacing() + 16);
    VB_NAME_CONTROLS(Text);
}

frmMessage::frmMessage(QWidget *parent) : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint) {
    setWindowTitle("Gustrom Messenger");
    auto *layout = new QVBoxLayout(this);
    LblMessage = new QLabel(this);
    LblMessage->setAlignment(Qt::AlignCenter);
    LblMessage->setWordWrap(true);
    layout->addWidget(LblMessage);
    resize(300, 90);
    connect(&Timer1, &QTimer::timeout, this, &frmMessage::Timer1_Timer);
    VB_NAME_CONTROLS(LblMessage);
}

void frmMessage::Form_Load() {
    VB::CentreOnMainWindow(*this);
    LblMessage->setText(ToQt(CurrentLine));
    Timer1.setInterval(std::max(0, MessageTime));
}

void frmMessage::ShowMessage() {
    Form_Load();
    show();
    raise();
    // The text paints at once, before the caller goes on with its work.
    repaint();
    Timer1.start();
}

void frmMessage::Timer1_Timer() {
    Timer1.stop();
    hide();
}

void PlaceLowerRight(QWidget &window) {
    // Setting a window flag hides a shown window, so the flag goes on before it is shown.
    if (!window.windowFlags().testFlag(Qt::WindowStaysOnTopHint))
        window.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    // 40 twips above the bottom of the main window's work area, so that its status bar stays in view.
    if (const MainForm *main = MainForm::Instance())
        VB::PlaceInLowerRight(window, VB::WorkArea(*main).adjusted(0, 0, 0, -TwipsToPixels(40, 1)));
    window.show();
    window.raise();
}

// The two small windows are not destroyed at exit: one still shown then cannot be taken down after the
// application is gone.
frmPopData &PopData() {
    static QPointer<frmPopData> window;
    if (!window)
        window = new frmPopData();
    return *window;
}

frmMessage &MessageWindow() {
    static QPointer<frmMessage> window;
    if (!window)
        window = new frmMessage();
    return *window;
}
