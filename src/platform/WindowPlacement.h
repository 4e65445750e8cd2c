#pragma once
// Placing windows on the screen, one rule for every window: a window opens centred on the main window
// (or where its own placement puts it), wholly on the screen that holds the main window, and never over the
// main window's menu bar. The rule runs on each top-level window as it is shown, when its size is known:
// a window that no code placed is centred the first time it is shown; shown again, it keeps its place.
// The frame the window system puts round a window is counted in: before a window is first decorated its
// frame is taken as the last one seen, and the placement is made again once the real frame is known.
#include <QMargins>

#include <functional>
#include <string>

class QRect;
class QWidget;

namespace VB {
// The window whose screen, menu bar and work area the others are placed by; null when there is none (the
// primary screen serves, and windows are centred on it).
void SetMainWindow(QWidget *window);
// The area (screen pixels) windows may cover: the available area of the main window's screen, below the
// main window's menu bar while the main window is shown.
QRect WindowArea();
// The part of `main` (screen pixels) between its menu bar and its status bar; the whole frame of a window
// that has neither.
QRect WorkArea(const QWidget &main);
// Moves the window, frame included, wholly into WindowArea(), made smaller first where it is larger. A
// window too tall for that area may cover the menu bar rather than leave the screen.
void KeepOnScreen(QWidget &window);
// Puts the window, frame included, in the middle of the main window's work area: left = (area width -
// window width) \ 2, top the same way; in the middle of WindowArea() when no main window is shown.
void CentreOnMainWindow(QWidget &window);
// Puts the window's frame into the lower right corner of `area` (screen pixels), kept on the screen.
void PlaceInLowerRight(QWidget &window, const QRect &area);
// Gives the window, frame included, this outer place and size (screen pixels), kept on the screen.
void SetOuterGeometry(QWidget &window, const QRect &outer);
// For a dialog made anew at each opening: the first opening centres it as CentreOnMainWindow does, every
// later one puts it back where the dialog of that name stood when it last went (kept on the screen), so
// that a click aimed where a field was still hits it. Its size is fixed: what its contents asked for at the
// first opening, larger only where they no longer fit at all. Called again while it is open (its contents
// refilled), it stays put.
void KeepPlaceAndSize(QWidget &window, const std::string &name);
// Forgets every kept place and size and the frame learned, as a new run of the program starts without them.
void ForgetPlaces();
// The frame round a window as the window system reports it: its margins outside the window's inside
// (screen pixels). Tests replay what a window manager reports while it decorates a window; an empty
// function restores the window system's own reports.
using FrameReport = std::function<QMargins(const QWidget &)>;
void SetFrameReport(FrameReport report);
} // namespace VB
