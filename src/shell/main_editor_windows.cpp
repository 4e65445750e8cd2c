#include "shell/main_editor_windows.h"

#include "dialogs/airway_dialogs.h"
#include "model/Gustrom1.h"
#include "platform/Text1252.h"
#include "shell/frmWindow.h"
#include "shell/shell_state.h"
#include "shell/small_windows.h"

#include <QCursor>

namespace {

TwipsRect toTwips(const QRect &r) {
    return {PixelsToTwips(r.left(), 0), PixelsToTwips(r.top(), 1), PixelsToTwips(r.width(), 0),
            PixelsToTwips(r.height(), 1)};
}

} // namespace

void MainEditorWindows::ShowCoordinateEntry() {
    AirwayDialogs::ShowCoordinateEntry();
}

void MainEditorWindows::ShowAirwayInformation() {
    AirwayDialogs::ShowAirwayInformation();
}

void MainEditorWindows::ShowAirwayEdit() {
    AirwayDialogs::ShowAirwayEdit();
}

void MainEditorWindows::ShowFanEdit() {
    AirwayDialogs::ShowFanEdit();
}

namespace {

// Shows one of the two smoke windows at the lower right and closes the other.
void placeSmokeWindow(QWidget *shown, QWidget *closed) {
    if (closed != nullptr)
        closed->close();
    if (shown != nullptr)
        PlaceLowerRight(*shown);
}

} // namespace

void MainEditorWindows::PlaceTraceWindow() {
    placeSmokeWindow(SmokeTrace, SmokeLegend);
}

void MainEditorWindows::PlaceLegendWindow() {
    placeSmokeWindow(SmokeLegend, SmokeTrace);
}

TwipsRect MainEditorWindows::PopupRect() const {
    return toTwips(PopData().frameGeometry());
}

void MainEditorWindows::ShowPopup(int32_t left, int32_t top, const std::string &text) {
    frmPopData &popup = PopData();
    popup.move(TwipsToPixels(left, 0), TwipsToPixels(top, 1));
    QString shown = ToQt(text);
    shown.remove('\r');
    popup.Text->setPlainText(shown);
    popup.show();
    popup.raise();
}

void MainEditorWindows::HidePopup() {
    PopData().hide();
}

void MainEditorWindows::CursorScreenPosition(int32_t &x, int32_t &y) const {
    const QPoint p = QCursor::pos();
    x = p.x();
    y = p.y();
}

int32_t MainEditorWindows::PixelsToTwips(int32_t pixels, bool vertical) const {
    return ::PixelsToTwips(pixels, vertical ? 1 : 0);
}

TwipsRect MainEditorWindows::GraphicsWindowRect(int w) const {
    if (w < 0 || w > 4 || Windows[static_cast<size_t>(w)] == nullptr)
        return {};
    const frmWindow *window = Windows[static_cast<size_t>(w)];
    return toTwips(QRect(window->mapToGlobal(QPoint(0, 0)), window->size()));
}
