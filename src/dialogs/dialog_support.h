#pragma once
// Habits the airway dialogs share: the fan list entries, reading typed numbers, and the data-entry error
// that lets a procedure go on with its next statement.
#include "platform/VBError.h"

#include <QString>
#include <string>

class QLineEdit;
class QWidget;
class VBComboBox;

// The fan list's entry for fan f: the number right-aligned in three places, ": " and the name.
std::string FanEntryText(int fan);
// The fan number of an entry: its whole leading number ("None" gives 0).
int FanEntryNumber(const std::string &entry);
// Clears the list and fills it with "None" and one entry per named fan slot 1..MaxFans.
void FillFanList(VBComboBox &list);
// The position of the first entry whose fan number is `fan`, or -1.
int FindFanEntry(const VBComboBox &list, int fan);

// Text of a box as the model holds it (Windows-1252, blanks kept).
std::string BoxText(const QLineEdit &box);

// Runs one statement; a VBError in it shows "An error has occurred - probably in data entry" and is
// otherwise ignored, so the caller goes on with its next statement. True when the statement succeeded.
template <typename Statement> bool DataEntryStatement(Statement &&statement);
void ShowDataEntryError();
// The same for an error of a statement: a value its rule refuses is named with its range.
void ShowDataEntryError(const VBError &error);

// Prints an image of the dialog on the current printer (the print buttons of the dialogs); printer
// errors end it silently.
void PrintDialogImage(QWidget &dialog);

// True when another window of this program is now the active one: neither another application, nor the
// window itself or a box or window it opened.
bool AnotherProgramWindowActive(const QWidget &window);

template <typename Statement> bool DataEntryStatement(Statement &&statement) {
    try {
        statement();
        return true;
    } catch (const VBError &e) {
        ShowDataEntryError(e);
        return false;
    }
}
