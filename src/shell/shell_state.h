#pragma once
// State of the main window's own controls and start-up.
#include <array>
#include <cstdint>
#include <string>

class frmWindow;

extern std::array<frmWindow *, 5> Windows; // the graphics windows 0..4, null when closed
extern std::string CommandLineFile;        // the network file named on the command line
extern bool OpenAtStart;                   // it is to be loaded at start-up
// Item last chosen in each data group 1..5 (a value below 2 counts as the group's first item).
extern std::array<int, 6> DataItemOfGroup;
extern bool LevelSyncBusy;       // the level combo is being moved to follow the scroll bar
extern float CursorElevation;    // Z of the cursor read-out, m
extern int AutosaveTicks;        // autosave ticks since the last recovery save
extern int MessageTime;          // ms the message window stays up
extern bool RotateBusy;          // a rotation tick is running
extern float RotatorX, RotatorY; // the pointer on the rotation pad, pad units (0..50)
// One step of the rotation pad: turns the active view by the pad position and the rotation speeds and
// draws its airway lines.
void RotationTick();

// The network file named by a command line: surrounding quotes are removed. Sets CommandLineFile and
// OpenAtStart (a name ending in .SIM or .SMM in any case).
void TakeCommandLine(const std::string &commandLine);
// Screen pixels to twips (1440 per inch) at the screen's resolution; vertical picks the vertical one.
int PixelsToTwips(int pixels, int vertical);
int TwipsToPixels(int twips, int vertical);
// The memo window's last place and size in this run, twips; left and top both 0 = not opened yet.
extern int32_t MemoLeft, MemoTop;
extern float MemoWidth, MemoHeight;
// Last file name chosen for a window bitmap.
extern std::string BitmapFileName;
