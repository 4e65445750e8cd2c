#pragma once
// The file note: free text kept with the network, edited in the note window and stamped at every save.
#include <string>

namespace VB {
struct DateTime;
}

// While the note window is shown, FileNote takes its text.
void GetFileNote();
// While the note window is shown, its text becomes FileNote and the caret goes to the end.
void ShowFileNote();
// While the note window is shown, empties its text and FileNote; otherwise changes nothing.
void ClearFileNote();
// The note as it stands: the shown note window's text, else FileNote. Changes nothing.
std::string CurrentFileNote();
// Appends the save stamp (CR "*** File Saved hh:mm:ss   ddd, d mmm yyyy ***" CR) to the note and to the
// shown note window, then takes the window's text back.
void StampFileNote();
// The stamp text without the surrounding CRs, for the current time.
std::string FileSavedStamp();
// A time as the stamp shows it: "hh:mm:ss   ddd, d mmm yyyy".
std::string TimeAndDateText(const VB::DateTime &t);
