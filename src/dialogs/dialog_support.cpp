#include "dialogs/dialog_support.h"

#include "model/Gustrom1.h"
#include "model/text_files.h"
#include "model/units.h"
#include "model/value_rules.h"
#include "platform/Dialogs.h"
#include "platform/Printer.h"
#include "platform/Text1252.h"
#include "platform/VBControls.h"
#include "platform/VBMath.h"

#include <QApplication>
#include <QLineEdit>
#include <cmath>

std::string FanEntryText(int fan) {
    std::string number = std::to_string(fan);
    if (number.size() < 3)
        number.insert(0, 3 - number.size(), ' ');
    return number + ": " + FanName(fan);
}

int FanEntryNumber(const std::string &entry) {
    return VB::ClampToInt<int>(VB::Fix(VB::Val(entry)));
}

void FillFanList(VBComboBox &list) {
    list.clear();
    list.addItem("None");
    for (int f = 1; f <= MaxFans && FanName.InBounds(f); ++f)
        if (!FanName(f).empty())
            list.addItem(ToQt(FanEntryText(f)));
}

int FindFanEntry(const VBComboBox &list, int fan) {
    for (int i = 0; i < list.count(); ++i)
        if (FanEntryNumber(FromQt(list.itemText(i))) == fan)
            return i;
    return -1;
}

std::string BoxText(const QLineEdit &box) {
    return FromQt(box.text());
}

void ShowDataEntryError() {
    VB::MsgBox("An error has occurred - probably in data entry");
}

void ShowDataEntryError(const VBError &error) {
    if (dynamic_cast<const ValueRefused *>(&error) == nullptr)
        ShowDataEntryError();
    else
        VB::MsgBox(std::string("An error has occurred - probably in data entry\r\n") + error.what());
}

bool AnotherProgramWindowActive(const QWidget &window) {
    const QWidget *now = QApplication::activeWindow();
    if (now == nullptr)
        return false;
    for (const QWidget *w = now; w != nullptr; w = w->parentWidget())
        if (w == &window)
            return false;
    return true;
}

void PrintDialogImage(QWidget &dialog) {
    VB::PrintWindowImage(dialog, CurrentLine);
}
