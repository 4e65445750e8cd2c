#include "dialogs/frmAirInfo.h"

#include "dialogs/dialog_state.h"
#include "dialogs/dialog_support.h"
#include "graphics/drawing.h"
#include "graphics/editor_windows.h"
#include "model/Gustrom1.h"
#include "model/fan_efficiency.h"
#include "model/geometry.h"
#include "model/units.h"
#include "platform/System.h"
#include "platform/Text1252.h"
#include "platform/VBControls.h"
#include "platform/WindowPlacement.h"
#include "solver/fan_curves.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTimer>

#include <algorithm>
#include <cmath>

// ---- Picture view ----

PictureView::PictureView(PictureBox &picture, QWidget *parent) : QWidget(parent), picture_(picture) {
    setMouseTracking(true);
    picture_.Changed = [this] { update(); };
}

void PictureView::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.drawImage(0, 0, picture_.Image());
}

void PictureView::mouseMoveEvent(QMouseEvent *event) {
    if (MouseMove)
        MouseMove(picture_.FromPixelX(event->position().x()), picture_.FromPixelY(event->position().y()));
}

// ---- Building ----

namespace {

constexpr int NarrowTwips = 4700, WideTwips = 9000, HeightTwips = 5955;
constexpr int ChartLeftTwips = 4830; // the chart column's controls start here
constexpr std::array<int, 16> nameTops{570,  840,  1110, 1380, 1650, 1890, 2160, 2430,
                                       2700, 2970, 3240, 3510, 3750, 4020, 4290, 4560};
constexpr std::array<int, 16> dataTops{540,  810,  1080, 1350, 1620, 1890, 2130, 2400,
                                       2670, 2940, 3210, 3480, 3750, 3990, 4260, 4530};
constexpr float UnsetRL = 99999;
constexpr float Stalled = -9999, Overloaded = 9999;
constexpr int32_t Black = 0, DarkBlue = 0x800000, DarkRed = 0x000080; // VB colours, red in the low byte
constexpr double MaxCurrency = 922337203685477.0;

QFont fontOf(const char *family, double points, bool bold = false, bool italic = false) {
    QFont f(family);
    f.setPointSizeF(points);
    f.setBold(bold);
    f.setItalic(italic);
    return f;
}

bool validFan(int f) {
    return f >= 1 && f <= MaxFans && FanCurveFlow.InBounds(11, f);
}

// A value with its unit, or "n/a" when it could not be computed.
std::string valueText(double value, int quantity) {
    if (!std::isfinite(value) || std::fabs(value) > 3.0e38)
        return "n/a";
    return FormatValue(static_cast<float>(value), quantity, 1, 0);
}

// The width at which a box shows its whole text without scrolling.
int wholeTextWidth(const QLineEdit &box) {
    QStyleOptionFrame option;
    option.initFrom(&box);
    option.lineWidth =
        box.hasFrame() ? box.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &box) : 0;
    option.state |= QStyle::State_Sunken;
    const QMargins text = box.textMargins(), contents = box.contentsMargins();
    // The box keeps 2 pixels beside the text on each side and 1 for the cursor after it.
    const int inner = box.fontMetrics().horizontalAdvance(box.text()) + 2 * 2 + 1 + text.left() +
                      text.right() + contents.left() + contents.right();
    return box.style()
        ->sizeFromContents(QStyle::CT_LineEdit, &option, QSize(inner, box.height()), &box)
        .width();
}

std::string nameOrUnnamed(const std::string &name) {
    const std::string shown = Trim(name);
    return shown.empty() ? "unnamed" : shown;
}

} // namespace

frmAirInfo::frmAirInfo(QWidget *parent) : QWidget(parent, Qt::Dialog), Chart(1, 1) {
    setWindowTitle("Airway Info");
    setFont(fontOf("MS Sans Serif", 8.25, true));
    auto place = [this](QWidget *w, int left, int top, int width, int height) {
        w->setGeometry(twips(left), twips(top), twips(width), twips(height));
    };
    LblAirName = new QLabel(this);
    LblAirName->setFont(fontOf("Times New Roman", 12, true, true));
    place(LblAirName, 45, 90, 4410, 375);
    for (size_t i = 0; i < 16; ++i) {
        LblDName[i] = new QLabel("Data Name", this);
        LblDName[i]->setFont(fontOf("MS Sans Serif", 8.25));
        place(LblDName[i], i == 15 ? 150 : 135, nameTops[i], 1320, 225);
        LblData[i] = new QLineEdit(this);
        LblData[i]->setReadOnly(true);
        LblData[i]->setFont(fontOf("MS Sans Serif", 8.25));
        place(LblData[i], 1620, dataTops[i], 2800, 285);
    }
    LblCoord = new QLabel("coords", this);
    LblCoord2 = new QLabel("coords", this);
    for (QLabel *l : {LblCoord, LblCoord2})
        l->setFont(fontOf("MS Serif", 6.75));
    place(LblCoord, 285, 4980, 2010, 255);
    place(LblCoord2, 2430, 4980, 1935, 255);
    Prnter = new QPushButton("Print", this);
    Command2 = new QPushButton("Edit", this);
    Command1 = new QPushButton("Close", this);
    place(Prnter, 150, 5310, 555, 495);
    place(Command2, 2100, 5370, 1000, 350);
    place(Command1, 3300, 5370, 1000, 350);

    Chart.Resize(twips(3795), twips(4335));
    PicFan2 = new PictureView(Chart, this);
    place(PicFan2, ChartLeftTwips, 600, 3795, 4335);
    PicFan2->MouseMove = [this](double x, double y) { PicFan2_MouseMove(x, y); };
    LblFanName = new QLabel(this);
    LblFanName->setFont(fontOf("Times New Roman", 9.75, true, true));
    LblFanName->setWordWrap(true);
    place(LblFanName, ChartLeftTwips, 90, 3795, 555);
    place(new QLabel("Duty Point", this), 5310, 5040, 1035, 255);
    place(new QLabel("Cursor", this), 5610, 5280, 735, 315);
    LblDutyP = new QLabel("P=", this);
    LblDutyQ = new QLabel("Q=", this);
    LblP = new QLabel("P=", this);
    LblQ = new QLabel("Q=", this);
    for (QLabel *l : {LblDutyP, LblDutyQ, LblP, LblQ})
        l->setFont(fontOf("MS Serif", 6.75, true));
    place(LblDutyP, 6330, 5040, 1095, 255);
    place(LblDutyQ, 7470, 5040, 1155, 255);
    place(LblP, 6330, 5280, 1155, 315);
    place(LblQ, 7470, 5280, 1155, 315);

    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(Prnter, &QPushButton::clicked, this, [this] { Prnter_Click(); });

    // Loading.
    SubDialogOpen = true;
    const int a = CurrentAirway;
    widthTwips_ = AirwayFan(a) < 1 ? NarrowTwips : WideTwips;
    setFixedSize(twips(widthTwips_), twips(HeightTwips));
    VB::CentreOnMainWindow(*this);
    FanEfficiency(a);
    ShowAirwayData();
    auto coords = [](const VBArray<int32_t, 2> &end, int airway) {
        std::string text;
        for (int axis = 1; axis <= 3; ++axis) {
            if (axis > 1)
                text += ",";
            text += FormatValue(static_cast<float>(end(axis, airway)), Quantity::Coordinates, 0, 0);
        }
        return ToQt(text);
    };
    LblCoord->setText(coords(AirwayStart, a));
    LblCoord2->setText(coords(AirwayEnd, a));
    fitValues();
    VB_NAME_CONTROLS(LblAirName, LblCoord, LblCoord2, Prnter, Command2, Command1, PicFan2, LblFanName,
                     LblDutyP, LblDutyQ, LblP, LblQ);
    VB::NameControlArray(LblDName, "LblDName");
    VB::NameControlArray(LblData, "LblData");
}

frmAirInfo::~frmAirInfo() = default;

int frmAirInfo::twips(int value) const {
    return static_cast<int>(std::lround(value * logicalDpiX() / 1440.0));
}

void frmAirInfo::fitValues() {
    // Every value is read whole, without scrolling: the value column widens to the longest, and the chart
    // column moves right with it.
    int extra = 0;
    for (const QLineEdit *box : LblData)
        if (!box->isHidden())
            extra = std::max(extra, wholeTextWidth(*box) - box->width());
    if (extra <= 0)
        return;
    for (QWidget *child : findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        if (child->x() >= twips(ChartLeftTwips))
            child->move(child->x() + extra, child->y());
    for (QLineEdit *box : LblData)
        box->resize(box->width() + extra, box->height());
    setFixedSize(width() + extra, height());
}

// ---- The report ----

void frmAirInfo::ShowAirwayData() {
    const int a = CurrentAirway;
    const double q = AirwayFlow(a), p = AirwayPressure(a);
    const double ps = AirwayStartPressure(a), pe = AirwayEndPressure(a);
    const int f = AirwayFan(a);
    const int32_t flags = AirwayFlags(a);
    const bool fixedFlow = (flags & AirwayFlag::FixedFlow) != 0;
    const bool fan = validFan(f);

    for (size_t i = 1; i < 16; ++i) {
        LblDName[i]->setText("");
        LblData[i]->setText("");
        LblData[i]->hide();
    }
    std::string title;
    const std::string number = std::to_string(AirwayNumber(a));
    if (fixedFlow)
        title = "Fixed Quantity Airway " + number;
    if (f >= 1)
        title = "Fan Airway " + number;
    if (f == -1)
        title = "Fixed Pressure Airway " + number;
    if (title.empty())
        title = "Passive Airway " + number;
    if (AirwayParallelCount(a) > 1)
        title = std::to_string(AirwayParallelCount(a)) + " x " + title;
    LblAirName->setText(ToQt(title));

    // Derived quantities.
    const double h = AirwaySize(1, a), w = AirwaySize(2, a);
    const bool round = (flags & AirwayFlag::Round) != 0, rectangular = (flags & AirwayFlag::Rectangular) != 0,
               irregular = (flags & AirwayFlag::Irregular) != 0;
    double area = 0;
    if (round)
        area = 3.1415927 * w * w / 4;
    if (rectangular)
        area = h * w;
    if (irregular)
        area = w;
    const bool shaped = round || rectangular || irregular;
    const double velocity = q / area / AirwayParallelCount(a);
    const double friction = CalcResistance(a) * q * q;
    const double dP = ps - pe;
    const double reference = SurfacePressureRL != UnsetRL ? SurfacePressureRL : AirwayStart(3, 1);
    auto barometric = [&](double pressure, double z) {
        return pressure / 1000 + SurfacePressure + (reference - z) * AirDensity * 9.81 / 1000;
    };
    const double outlet = fan ? 3.141592654 * FanDiameter(f) * FanDiameter(f) / 4 * AirwayFanCount(a) : 0;
    const double vp = outlet != 0 ? AirDensity * (q / outlet) * (q / outlet) / 2 : 0;
    const double total = p + (1 - AirwayCurvePercent(a) / 100.0) * vp;
    auto power = [&](double pressure, double efficiency) {
        const double kw = pressure * q / 1000 / efficiency;
        const double cost = pressure / 1000 * q * PowerCost * 24 * 365 / efficiency;
        const std::string costText = std::isfinite(cost) && std::fabs(cost) <= MaxCurrency
                                         ? FormatPattern(std::round(cost * 10000) / 10000, "$#,##0")
                                         : "n/a";
        return valueText(kw, Quantity::Power) + " @ " + costText + "/yr";
    };

    int row = 0;
    auto setRow = [&](const char *name, const std::string &value) {
        if (row > 15)
            return;
        const auto i = static_cast<size_t>(row++);
        LblDName[i]->setText(name);
        LblData[i]->setText(ToQt(value));
        // A value longer than its box shows from its start.
        LblData[i]->setCursorPosition(0);
        LblData[i]->show();
    };
    setRow("Branch name", nameOrUnnamed(AirwayName(a)));
    setRow("Node names", nameOrUnnamed(AirwayStartName(a)) + " to " + nameOrUnnamed(AirwayEndName(a)));
    std::string dimensions;
    if (irregular)
        dimensions = "Area " + valueText(area, Quantity::Area) + " Per " + valueText(h, Quantity::Length);
    else if (rectangular)
        dimensions = valueText(h, Quantity::Length) + " x " + valueText(w, Quantity::Length) + " : " +
                     valueText(area, Quantity::Area);
    else if (round)
        dimensions = "Diam " + valueText(w, Quantity::Length) + " : " + valueText(area, Quantity::Area);
    setRow("Dimensions", dimensions);
    setRow("Airflow",
           valueText(q, Quantity::Airflow) + " @ " + (shaped ? valueText(velocity, Quantity::Velocity) : ""));
    std::string resistance = valueText(AirwayResistance(a), Quantity::Resistance);
    const int type = AirwayResistanceType(a);
    if (type == TypedPreset)
        resistance = "Fixed " + resistance;
    else if (type != 0 && ResistanceTypeName.InBounds(type))
        resistance = ResistanceTypeName(type) + " " + resistance;
    setRow("Resistance", resistance);
    setRow("Length", valueText(AirwayLength(a), Quantity::Length));
    const int primary = AirwayPrimaryLayer(a), secondary = AirwaySecondaryLayer(a);
    setRow("Layer Names",
           (PrimaryLayerName.InBounds(primary) ? PrimaryLayerName(primary) : std::string()) + ";" +
               (SecondaryLayerName.InBounds(secondary) ? SecondaryLayerName(secondary) : std::string()));
    setRow("Node Rel Pres", valueText(ps, Quantity::Pressure) + " to " + valueText(pe, Quantity::Pressure));
    setRow("Node Abs Pres", valueText(ps / 1000 + SurfacePressure, Quantity::AbsolutePressure) + " to " +
                                valueText(pe / 1000 + SurfacePressure, Quantity::AbsolutePressure));
    setRow("Node Bar Pres", valueText(barometric(ps, AirwayStart(3, a)), Quantity::AbsolutePressure) +
                                " to " +
                                valueText(barometric(pe, AirwayEnd(3, a)), Quantity::AbsolutePressure));
    setRow("Friction Loss", valueText(friction, Quantity::Pressure));
    if (fan)
        DrawFanCurve();
    setRow("Total Press Loss", valueText(std::fabs(dP), Quantity::Pressure));
    const double load = std::fabs(dP - friction);
    setRow("Pressure Load",
           valueText(load, Quantity::Pressure) + "  @  " + valueText(load * area / 9.81, Quantity::Mass));

    if (f != 0 || fixedFlow) {
        const char *name = fixedFlow ? "Fixed Q Pres" : f >= 1 ? "Fan Pressures" : "Fix Pressure";
        std::string text = std::string(p >= 0 ? "+ " : "- ") + "Static " +
                           valueText(std::fabs(p), Quantity::Pressure) + "  Total " +
                           (f >= 1 && !fan ? "n/a" : valueText(std::fabs(total), Quantity::Pressure));
        if (f != 0) {
            LblDutyP->setText(ToQt(text));
            LblDutyQ->setText(ToQt(valueText(q, Quantity::Airflow)));
        }
        if (p == Stalled)
            text = "Stalled +" + (fan ? valueText(FanCurvePressure(1, 1, f), Quantity::Pressure) : "n/a");
        if (p == Overloaded)
            text = "Negated";
        if (fixedFlow)
            text = valueText(p, Quantity::Pressure);
        // A duty point off the measured curve leads the row, as the run's warning list says it.
        const std::string warning = f >= 1 ? FanDutyWarning(a) : "";
        if (!warning.empty())
            text = warning + ": " + text;
        setRow(name, text);
    }
    if (fixedFlow)
        setRow("Fixed Q Power", p > 0 ? power(p, AirPowerEfficiency) : "n/a");
    if (f == -1)
        setRow("Fixed P Power", p > 0 ? power(p, FanDutyEfficiency / 100) : "n/a");
    if (f >= 1) {
        FanEfficiency(a);
        setRow("Fan Power",
               !fan || p <= 0 || p == Overloaded ? "n/a" : power(total, FanDutyEfficiency / 100));
        setRow("Fan Efficiency", fan ? FormatPattern(FanDutyEfficiency, "0 %") : "n/a");
    }
    if (fixedFlow && p < 0)
        setRow("Required Res", q != 0 ? valueText(std::fabs(p / (q * q)), Quantity::Resistance) : "Infinite");
}

// ---- The fan chart ----

void frmAirInfo::DrawFanCurve() {
    const int a = CurrentAirway;
    const int n = AirwayFanCount(a);
    const bool series = (AirwayFlags(a) & AirwayFlag::FansInSeries) != 0;
    PictureBox &pic = Chart;
    pic.ScaleLeft = -100;
    pic.ScaleTop = -100;
    pic.ScaleWidth = 1200;
    pic.ScaleHeight = 1200;
    pic.Cls();
    PressureFactor = FlowFactor = 1;
    (series ? PressureFactor : FlowFactor) = static_cast<float>(n);
    CurrentFan = AirwayFan(a);
    const int f = CurrentFan;
    std::string title = std::to_string(n) + " x " + FanName(f);
    if (n > 1)
        title += series ? " in series" : " in parallel";
    LblFanName->setText(ToQt(title));
    FanEfficiency(a);

    std::array<double, 12> pressure{}, flow{};
    double highest = 0, widest = 0;
    for (int i = 1; i <= 11; ++i) {
        pressure[static_cast<size_t>(i)] = FanDataPressure(i, f, a) * PressureFactor;
        flow[static_cast<size_t>(i)] = FanCurveFlow(i, f) * FlowFactor;
        highest = std::max(highest, pressure[static_cast<size_t>(i)]);
        widest = std::max(widest, flow[static_cast<size_t>(i)]);
    }
    PressureScale = static_cast<float>(highest / 1000);
    FlowScale = static_cast<float>(widest / 1000);
    pic.DrawWidth = 1;
    pic.DrawMode = PictureBox::vbCopyPen;
    pic.DrawStyle = PictureBox::vbSolid;
    if (FlowScale == 0 || PressureScale == 0)
        return;
    pic.BeginDrawing();
    auto x = [&](int i) { return flow[static_cast<size_t>(i)] / FlowScale; };
    auto y = [&](int i) { return 1000 - pressure[static_cast<size_t>(i)] / PressureScale; };
    auto e = [&](int i) { return (100 - FanCurveEfficiency(i, f)) * 10.0; };
    for (int i = 1; i <= 9; ++i) {
        pic.Line(x(i), y(i), x(i + 1), y(i + 1), Black);
        pic.Line(x(i), e(i), x(i + 1), e(i + 1), DarkBlue);
        pic.Circle(x(i), y(i), 10, DarkRed);
    }
    const double dutyX = AirwayFlow(a) / FlowScale;
    double dutyY = 1000 - AirwayPressure(a) / PressureScale;
    if (AirwayPressure(a) == Overloaded)
        dutyY = 1000;
    if (AirwayPressure(a) == Stalled)
        dutyY = 0;
    const double dutyE = 1000 - FanDutyEfficiency * 10.0;
    pic.DrawStyle = PictureBox::vbDot;
    pic.Line(0, dutyY, dutyX, dutyY, Black);
    pic.Line(dutyX, 1000, dutyX, dutyY, Black);
    pic.Line(dutyX, dutyE, 1000, dutyE, DarkBlue);
    pic.Line(dutyX, dutyY, dutyX, dutyE, DarkBlue);
    pic.DrawStyle = PictureBox::vbSolid;
    pic.DrawWidth = 3;
    pic.Line(dutyX - 20, dutyY, dutyX + 20, dutyY, DarkRed);
    pic.Line(dutyX, dutyY - 20, dutyX, dutyY + 20, DarkRed);
    pic.DrawWidth = 1;

    pic.ForeColor = Black;
    pic.FontName = "MS Serif";
    pic.FontSize = 6;
    auto text = [&](double tx, double ty, const std::string &t) {
        pic.CurrentX = tx;
        pic.CurrentY = ty;
        pic.Print(t);
    };
    text(-50, -30, "P");
    text(950, 1000, "Q");
    text(-50, 1000, "0,0");
    text(
        0, -30,
        FormatValue(static_cast<float>(FanDataPressure(1, f, a) * PressureFactor), Quantity::Pressure, 0, 0));
    text(980, 1000, FormatValue(FanCurveFlow(11, f) * FlowFactor, Quantity::Airflow, 0, 0));
    text(1010, -30, "Eff");
    text(870, -30, "100%");
    pic.FontName = "MS Sans Serif";
    pic.FontSize = 6;

    pic.DrawWidth = 2;
    pic.Line(0, 0, 0, 1000, Black);
    pic.Line(0, 1000, 1000, 1000, Black);
    pic.Line(1000, 0, 1000, 1000, Black);
    pic.DrawWidth = 1;
    pic.EndDrawing();
}

void frmAirInfo::PicFan2_MouseMove(double x, double y) {
    LblP->setText(
        ToQt(FormatValue(static_cast<float>((1000 - y) * PressureScale), Quantity::Pressure, 1, 0)));
    LblQ->setText(ToQt(FormatValue(static_cast<float>(x * FlowScale), Quantity::Airflow, 1, 0)));
}

// ---- Closing ----

void frmAirInfo::unloadAndRedraw() {
    if (unloaded_)
        return;
    unloaded_ = true;
    close();
    VB::DoEvents();
    if (!ScreenBuffer)
        Redraw();
}

void frmAirInfo::Command1_Click() {
    unloadAndRedraw();
}

void frmAirInfo::Command2_Click() {
    unloaded_ = true;
    close();
    Editor().ShowAirwayEdit();
}

void frmAirInfo::Prnter_Click() {
    PrintDialogImage(*this);
}

void frmAirInfo::keyPressEvent(QKeyEvent *event) {
    // Esc closes the report wherever the focus is: no control of the window takes the key itself.
    if (event->key() == Qt::Key_Escape) {
        unloadAndRedraw();
        return;
    }
    QWidget::keyPressEvent(event);
}

void frmAirInfo::changeEvent(QEvent *event) {
    // Losing the focus is judged once the new window is active.
    if (event->type() == QEvent::ActivationChange && isVisible() && !isActiveWindow() && !unloaded_)
        QTimer::singleShot(0, this, [this] {
            if (!unloaded_ && AnotherProgramWindowActive(*this))
                unloadAndRedraw();
        });
    QWidget::changeEvent(event);
}

void frmAirInfo::closeEvent(QCloseEvent *event) {
    // Every way of closing unloads the window: the next opening builds it anew.
    unloaded_ = true;
    SubDialogOpen = false;
    PickedAirway = 0;
    QWidget::closeEvent(event);
    deleteLater();
}
