#pragma once
// Pictures of the small dialog buttons, drawn by code: print, show all and hide all.
#include <QIcon>

class QPushButton;
class QWidget;

QIcon ShowAllPicture();
QIcon HideAllPicture();
// The small button with the printer picture that prints a window's image.
QPushButton *NewPrintButton(QWidget *parent);
