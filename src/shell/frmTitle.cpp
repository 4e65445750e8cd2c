#include "shell/frmTitle.h"

#include "graphics/editor_input.h"
#include "graphics/graphics_state.h"
#include "model/Gustrom1.h"
#include "platform/System.h"
#include "platform/VBControls.h"
#include "platform/WindowPlacement.h"
#include "shell/MainForm.h"
#include "shell/shell_state.h"

#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace {

// Labels pass clicks on to the title window.
class ClickLabel : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void mousePressEvent(QMouseEvent *event) override { event->ignore(); }
};

} // namespace

QImage frmTitle::TitlePicture() {
    QImage image(480, 240, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // Sky above, rock below the surface line.
    QLinearGradient sky(0, 0, 0, 70);
    sky.setColorAt(0, QColor(120, 170, 220));
    sky.setColorAt(1, QColor(200, 225, 245));
    p.fillRect(0, 0, 480, 70, sky);
    QLinearGradient rock(0, 70, 0, 240);
    rock.setColorAt(0, QColor(120, 95, 70));
    rock.setColorAt(1, QColor(55, 45, 40));
    p.fillRect(0, 70, 480, 170, rock);
    p.setPen(QPen(QColor(60, 120, 50), 4));
    p.drawLine(0, 70, 480, 70);
    // Headframes over the two shafts.
    p.setPen(QPen(QColor(40, 40, 40), 3));
    for (int x : {90, 390}) {
        p.drawLine(x - 12, 70, x, 40);
        p.drawLine(x + 12, 70, x, 40);
        p.drawEllipse(QPointF(x, 40), 5, 5);
    }
    // Shafts and levels of the mine.
    const QColor fresh(90, 200, 255), exhaust(255, 120, 80);
    auto way = [&p](QPointF a, QPointF b, const QColor &c) {
        p.setPen(QPen(c, 5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(a, b);
    };
    way({90, 72}, {90, 200}, fresh);
    way({390, 72}, {390, 200}, exhaust);
    way({90, 130}, {390, 130}, fresh);
    way({90, 200}, {390, 200}, fresh);
    way({240, 130}, {240, 200}, exhaust);
    way({160, 130}, {200, 165}, fresh);
    way({200, 165}, {240, 200}, fresh);
    // Flow arrows along the levels.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255));
    for (double x : {150.0, 310.0}) {
        for (double y : {130.0, 200.0}) {
            QPolygonF head;
            head << QPointF(x + 8, y) << QPointF(x - 4, y - 6) << QPointF(x - 4, y + 6);
            p.drawPolygon(head);
        }
    }
    // The main fan at the top of the upcast shaft.
    p.setBrush(QColor(230, 230, 230));
    p.setPen(QPen(QColor(30, 30, 30), 2));
    p.drawEllipse(QPointF(390, 95), 13, 13);
    p.setBrush(QColor(40, 110, 200));
    for (int k = 0; k < 3; ++k) {
        p.save();
        p.translate(390, 95);
        p.rotate(120.0 * k + 15);
        p.drawEllipse(QPointF(0, -6), 3, 6);
        p.restore();
    }
    // Junctions.
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    for (QPointF n : {QPointF(90, 130), QPointF(90, 200), QPointF(390, 130), QPointF(390, 200),
                      QPointF(240, 130), QPointF(240, 200), QPointF(200, 165)})
        p.drawEllipse(n, 4, 4);
    return image;
}

frmTitle::frmTitle(const std::string &commandLine) {
    // 1, 2.
    AppFolder = VB::ProgramFolder();
    SetNewNetworkAxes();
    setWindowTitle("Gustrom");
    // 3. The picture and the lines under it, centred.
    TitlePic = new ClickLabel(this);
    TitlePic->setPixmap(QPixmap::fromImage(TitlePicture()));
    TitlePic->adjustSize();
    LblWin = new ClickLabel("Mine ventilation network analysis", this);
    Lbl1 = new ClickLabel("GUSTROM", this);
    Lbl3 = new ClickLabel("GUSTROM", this);
    Lbl2 =
        new ClickLabel("Airflow simulation, fans and contaminants in 3-D - click the title to start", this);
    LblCopy = new ClickLabel("Desktop edition", this);
    QFont big("Serif", 30);
    big.setBold(true);
    Lbl1->setFont(big);
    Lbl3->setFont(big);
    Lbl1->setStyleSheet("color: rgb(20, 60, 140);");
    Lbl3->setStyleSheet("color: rgb(170, 170, 170);");
    const int width = TitlePic->width() + 34;
    const int height = 387; // 5800 twips at 15 twips per pixel
    setFixedSize(width, height);
    auto centre = [width](QLabel *l) {
        l->adjustSize();
        l->move((width - l->width()) / 2, l->y());
    };
    TitlePic->move((width - TitlePic->width()) / 2, 10);
    LblWin->move(0, TitlePic->y() + TitlePic->height());
    centre(LblWin);
    Lbl1->move(0, LblWin->y() + LblWin->height() * 3 / 2);
    centre(Lbl1);
    Lbl3->adjustSize();
    Lbl3->move(Lbl1->x() - 3, Lbl1->y() - 3);
    Lbl3->lower();
    Lbl2->move(0, Lbl1->y() + Lbl1->height() * 11 / 10);
    centre(Lbl2);
    LblCopy->move(0, Lbl2->y() + Lbl2->height() * 11 / 10);
    centre(LblCopy);
    // 4. A network on the command line starts the program by itself after a moment.
    TakeCommandLine(commandLine);
    TimerStart.setSingleShot(true);
    connect(&TimerStart, &QTimer::timeout, this, &frmTitle::Start);
    if (OpenAtStart)
        TimerStart.start(1500);
    // 5. In the middle of the screen: the main window is not there yet.
    VB::CentreOnMainWindow(*this);
    show();
    VB::DoEvents();
    VB_NAME_CONTROLS(TitlePic, LblWin, Lbl1, Lbl3, Lbl2, LblCopy);
}

void frmTitle::mousePressEvent(QMouseEvent *) {
    Start();
}

void frmTitle::Start() {
    if (main_ != nullptr)
        return;
    TimerStart.stop();
    VB::SetScreenPointer(VB::vbHourglass);
    CalibratePause();
    DataGroup = 1;
    GridOn = false;
    hide();
    main_ = new MainForm();
    main_->setAttribute(Qt::WA_DeleteOnClose);
    main_->show();
    main_->MDIForm_Load();
    VB::SetScreenPointer(VB::vbDefault);
    VB::DoEvents();
}
