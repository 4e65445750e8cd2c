#include "model/file_note.h"

#include "model/Gustrom1.h"
#include "platform/ShellHooks.h"
#include "platform/System.h"

#include <cstdio>

namespace {

// Caret position past any note's end.
constexpr int NoteEnd = 10000000;

// Day of the week, 0 = Sunday (Zeller's congruence in the Gregorian calendar).
int weekDay(int year, int month, int day) {
    if (month < 3) {
        month += 12;
        --year;
    }
    const int k = year % 100, j = year / 100;
    const int h = (day + 13 * (month + 1) / 5 + k + k / 4 + j / 4 + 5 * j) % 7; // 0 = Saturday
    return (h + 6) % 7;
}

} // namespace

std::string TimeAndDateText(const VB::DateTime &t) {
    static const char *days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char *months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const int month = t.month >= 1 && t.month <= 12 ? t.month : 1;
    char text[80];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d   %s, %d %s %04d", t.hour, t.minute, t.second,
                  days[weekDay(t.year, month, t.day)], t.day, months[month - 1], t.year);
    return text;
}

std::string FileSavedStamp() {
    return "*** File Saved " + TimeAndDateText(VB::Now()) + " ***";
}

void GetFileNote() {
    if (Shell().FileNoteShown())
        FileNote = Shell().FileNoteText();
}

void ShowFileNote() {
    if (!Shell().FileNoteShown())
        return;
    Shell().SetFileNoteText(FileNote);
    Shell().SetFileNoteSelStart(NoteEnd);
}

void ClearFileNote() {
    if (!Shell().FileNoteShown())
        return;
    Shell().SetFileNoteText("");
    FileNote.clear();
}

std::string CurrentFileNote() {
    return Shell().FileNoteShown() ? Shell().FileNoteText() : FileNote;
}

void StampFileNote() {
    const std::string stamp = FileSavedStamp();
    if (!Shell().FileNoteShown()) {
        FileNote += "\r" + stamp + "\r";
        return;
    }
    // The window's text, stamp included, is what the file keeps.
    Shell().SetFileNoteText(Shell().FileNoteText() + stamp + "\r\r");
    Shell().SetFileNoteSelStart(NoteEnd);
    GetFileNote();
}
