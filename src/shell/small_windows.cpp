#include "shell/small_windows.h"

#include "model/Gustrom1.h"
#include "platform/Text1252.h"
#include "shell/MainForm.h"
#include "shell/shell_state.h"

#include <QFontMetrics>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <memory>

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
}

frmMessage::frmMessage(QWidget *parent) : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint) {
    auto *layout = new QVBoxLayout(this);
    text_ = new QTextEdit(this);
    text_->setReadOnly(true);
    layout->addWidget(text_);
    resize(260, 80);
    Timer.setSingleShot(true);
    connect(&Timer, &QTimer::timeout, this, &QWidget::hide);
}

void frmMessage::ShowMessage() {
    text_->setPlainText(ToQt(CurrentLine));
    show();
    raise();
    Timer.start(std::max(0, MessageTime));
}

void PlaceLowerRight(QWidget &window) {
    // Setting a window flag hides a shown window, so the flag goes on before it is shown; the frame is
    // measured once shown, when it has its decorations.
    if (!window.windowFlags().testFlag(Qt::WindowStaysOnTopHint))
        window.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    window.show();
    if (const MainForm *main = MainForm::Instance()) {
        const QRect frame = main->frameGeometry();
        const QRect own = window.frameGeometry();
        const int lift = static_cast<int>(std::lround(40.0 * 1000 / std::max(1, PixelsToTwips(1000, 1))));
        window.move(frame.x() + frame.width() - own.width(),
                    frame.y() + frame.height() - own.height() - lift);
    }
    window.raise();
}

frmPopData &PopData() {
    static std::unique_ptr<frmPopData> window;
    if (!window)
        window = std::make_unique<frmPopData>();
    return *window;
}

frmMessage &MessageWindow() {
    static std::unique_ptr<frmMessage> window;
    if (!window)
        window = std::make_unique<frmMessage>();
    return *window;
}
