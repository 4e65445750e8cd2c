#pragma once
// Pictures of the small dialog buttons, drawn by code: print, show all and hide all.
#include <QIcon>

QIcon PrinterPicture();
QIcon ShowAllPicture();
QIcon HideAllPicture();
