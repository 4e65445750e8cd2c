#include "dialogs/frmCoords.h"

#include "graphics/graphics_state.h"
#include "graphics/tool_state.h"
#include "model/Gustrom1.h"
#include "model/levels_views.h"
#include "model/text_files.h"
#include "model/units.h"
#include "model/value_rules.h"
#include "platform/Dialogs.h"
#include "platform/Text1252.h"
#include "platform/VBControls.h"
#include "platform/VBError.h"
#include "platform/WindowPlacement.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <array>
#include <cmath>

namespace {

// A box's text as a length in display units, in metres; a text that is not a number is a VBError.
double typedMetres(const QLineEdit *box) {
    float value = StrictSingle(StrictValue(FromQt(box->text())));
    return FromDisplayUnits(value, Quantity::Length);
}

} // namespace

frmCoords::frmCoords(QWidget *parent) : CancelOnClose(parent) {
    setWindowTitle("Coordinate Entry");
    // A labelled column of three boxes, one per axis.
    auto axes = [](QGroupBox *frame, const std::array<const char *, 3> &names, QLineEdit *&x, QLineEdit *&y,
                   QLineEdit *&z) {
        auto *grid = new QGridLayout(frame);
        QLineEdit **boxes[] = {&x, &y, &z};
        for (int i = 0; i < 3; ++i) {
            *boxes[i] = new QLineEdit(frame);
            grid->addWidget(new QLabel(names[i], frame), i, 0);
            grid->addWidget(*boxes[i], i, 1);
        }
        return grid;
    };
    Frame1 = new QGroupBox("Coordinates", this);
    auto *absolute = axes(Frame1, {"X", "Y", "RL"}, TxtX, TxtY, TxtZ);
    CmbRL = new VBComboBox(Frame1);
    absolute->addWidget(new QLabel("Level", Frame1), 3, 0);
    absolute->addWidget(CmbRL, 3, 1);
    Frame2 = new QGroupBox("Relative Move", this);
    axes(Frame2, {"dX", "dY", "dRL"}, TxtdX, TxtdY, TxtdZ);
    ChkCopy = new VBCheckBox("Make a copy", this);
    ChkCopy->hide();
    OK = new QPushButton("OK", this);
    Cancel = new QPushButton("Cancel", this);
    for (QPushButton *b : {OK, Cancel})
        b->setAutoDefault(false);
    auto *frames = new QHBoxLayout;
    frames->addWidget(Frame1);
    frames->addWidget(Frame2);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(ChkCopy);
    buttons->addStretch();
    buttons->addWidget(OK);
    buttons->addWidget(Cancel);
    auto *whole = new QVBoxLayout(this);
    whole->addLayout(frames);
    whole->addLayout(buttons);

    for (QLineEdit *box : {TxtX, TxtY, TxtZ, TxtdX, TxtdY, TxtdZ}) {
        box->installEventFilter(this);
        VB::DecimalKeyFilter::Install(box);
    }
    connect(CmbRL, &VBComboBox::Click, this, [this] { CmbRL_Click(); });
    connect(ChkCopy, &VBCheckBox::Click, this, [this] { MakeCopy = ChkCopy->isChecked() ? -1 : 0; });
    connect(OK, &QPushButton::clicked, this, [this] { OK_Click(); });
    connect(Cancel, &QPushButton::clicked, this, [this] { Cancel_Click(); });
    Form_Load();
    VB_NAME_CONTROLS(Frame1, Frame2, TxtX, TxtY, TxtZ, TxtdX, TxtdY, TxtdZ, CmbRL, ChkCopy, OK, Cancel);
}

void frmCoords::Form_Load() {
    CoordsCancelled = 3;
    makeCopyAtLoad_ = MakeCopy;
    // Only a move of the fence or the selection asks for a displacement, and only it can be a copy.
    relative_ = CoordsForSelection;
    ChkCopy->setVisible(CoordsForSelection);
    if (relative_) {
        for (QLineEdit *box : {TxtX, TxtY, TxtZ})
            box->hide();
    } else {
        TxtX->setText(ToQt(FormatValue(static_cast<float>(EntryPointX), Quantity::Coordinates, 0, 0)));
        TxtY->setText(ToQt(FormatValue(static_cast<float>(EntryPointY), Quantity::Coordinates, 0, 0)));
        TxtZ->setText(ToQt(FormatValue(static_cast<float>(EntryPointZ), Quantity::Coordinates, 0, 0)));
    }
    for (QLineEdit *box : {TxtdX, TxtdY, TxtdZ})
        box->setText("0");
    for (const std::string &name : LevelListNames())
        CmbRL->addItem(ToQt(name));
    if (LevelListEnd < 2) {
        LevelName(1) = "SURFACE";
        LevelListEnd = 2;
        CmbRL->addItem("SURFACE");
    }
    adjustSize();
    VB::CentreOnMainWindow(*this);
}

void frmCoords::CmbRL_Click() {
    const int level = CmbRL->ListIndex() + 1;
    if (level < 1 || !LevelRange.InBounds(level, 2))
        return;
    const double middle = (static_cast<double>(LevelRange(level, 1)) + LevelRange(level, 2)) / 2;
    TxtZ->setText(ToQt(NumberText(ToDisplayUnits(static_cast<float>(middle), Quantity::Coordinates))));
}

bool frmCoords::eventFilter(QObject *watched, QEvent *event) {
    auto *box = qobject_cast<QLineEdit *>(watched);
    if (box != nullptr && event->type() == QEvent::FocusIn)
        QTimer::singleShot(0, box, &QLineEdit::selectAll);
    if (box != nullptr && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            OK_Click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmCoords::OK_Click() {
    double point[3] = {0, 0, 0};
    int32_t rounded[3] = {0, 0, 0};
    QLineEdit *absolute[] = {TxtX, TxtY, TxtZ};
    QLineEdit *offsets[] = {TxtdX, TxtdY, TxtdZ};
    // Every box is read and the point checked before anything is stored: a refusal keeps the dialog
    // open with the box selected, and the drawing goes on from where it was.
    const auto refuse = [](QLineEdit *box, const char *message) {
        VB::MsgBox(message);
        box->setFocus(Qt::OtherFocusReason);
        box->selectAll();
    };
    QLineEdit *reading = nullptr;
    try {
        for (int i = 0; i < 3; ++i) {
            // Single precision metres, as the point is kept.
            reading = absolute[i];
            const double base = relative_ ? 0.0 : typedMetres(absolute[i]);
            reading = offsets[i];
            point[i] = static_cast<float>(base + typedMetres(offsets[i]));
            rounded[i] = StrictLong(point[i]);
        }
    } catch (const VBError &) {
        refuse(reading, "Error in coordinate entry - please check");
        return;
    }
    if (!relative_) {
        const bool inside[] = {InRange(Value::PlanCoordinate, rounded[0]),
                               InRange(Value::PlanCoordinate, rounded[1]),
                               InRange(Value::Elevation, rounded[2])};
        for (int i = 0; i < 3; ++i)
            if (!inside[i]) {
                refuse(absolute[i], "Coordinates exceed allowed values");
                return;
            }
    }
    EntryPointX = rounded[0];
    EntryPointY = rounded[1];
    EntryPointZ = rounded[2];
    if (!relative_) {
        PointTyped = true;
        (MouseDownActive ? WorkingElevation : StartElevation) = static_cast<float>(point[2]);
    }
    unload(QDialog::Accepted);
}

void frmCoords::Cancel_Click() {
    // A copy ticked and then abandoned must not turn the next move into a copy.
    MakeCopy = makeCopyAtLoad_;
    EntryPointX = 0;
    EntryPointY = 0;
    CoordsCancelled = -1;
    unload(QDialog::Rejected);
}

void frmCoords::unload(int result) {
    if (CoordsCancelled != -1)
        CoordsCancelled = 0;
    Unload(result);
}
