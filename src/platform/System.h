#pragma once
// Services of the operating system that the model, solver and graphics use, with test overrides.
#include <string>

namespace VB {

// Lets pending window events run (the stop buttons of long operations depend on it).
void DoEvents();

// The screen mouse pointer: 0 default, 11 hourglass. The realtime timers skip their work while it is 11.
constexpr int vbDefault = 0;
constexpr int vbHourglass = 11;
void SetScreenPointer(int pointer);
int ScreenPointer();

// The temporary folder, ending in a separator. Tests point it at a folder of their own.
std::string TempDir();
void SetTempDirOverride(const std::string &folder); // empty restores the system's

// The program folder, ending in a separator.
std::string ProgramFolder();
void SetProgramFolderOverride(const std::string &folder);

// The decimal separator of the user's locale ('.' or ',').
char LocaleDecimalSeparator();
void SetLocaleDecimalSeparatorOverride(char separator); // 0 restores the locale's

// Per-user settings store (application, section, key), like the registry's.
std::string GetSetting(const std::string &app, const std::string &section, const std::string &key,
                       const std::string &defaultValue = "");
void SaveSetting(const std::string &app, const std::string &section, const std::string &key,
                 const std::string &value);
void DeleteSetting(const std::string &app, const std::string &section, const std::string &key);
// Keeps the store in an INI file of this folder instead of the user's own store.
void SetSettingsFolderOverride(const std::string &folder);

// The clock.
struct DateTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};
DateTime Now();
double Timer();                               // seconds since midnight
void SetClockOverride(const DateTime *fixed); // nullptr restores the real clock

// The system beep.
void Beep();
int BeepCount(); // beeps sounded so far, for tests

} // namespace VB
