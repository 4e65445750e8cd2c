#pragma once
// Services of the operating system that the model, solver and graphics use, with test overrides.
#include <cstdint>
#include <functional>
#include <optional>
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

// A file's one whole name: absolute, with links and "." and ".." resolved (as far as the file exists), so
// that every name of one file (relative, through links) gives the same text. Empty stays empty.
std::string WholeFilePath(const std::string &path);

// The decimal separator of the user's locale ('.' or ',').
char LocaleDecimalSeparator();
void SetLocaleDecimalSeparatorOverride(char separator); // 0 restores the locale's
// While one lives, the separator is read from the locale once (a fit formats a label for every airway).
class HeldDecimalSeparator {
public:
    HeldDecimalSeparator();
    ~HeldDecimalSeparator();
    HeldDecimalSeparator(const HeldDecimalSeparator &) = delete;
    HeldDecimalSeparator &operator=(const HeldDecimalSeparator &) = delete;

private:
    char previous_;
};

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

// The system's configuration values, in place of a registry: a value found by root, key and name holds its
// type and its bytes as stored. The program configures none on this platform; tests fill them.
constexpr int64_t HKEY_LOCAL_MACHINE = 0x80000002;
constexpr int REG_SZ = 1;
constexpr int REG_DWORD = 4;
struct ConfigValue {
    int type = 0;
    std::string bytes;
};
std::optional<ConfigValue> QueryConfigValue(int64_t root, const std::string &key, const std::string &name);
void SetConfigValue(int64_t root, const std::string &key, const std::string &name, ConfigValue value);
void ClearConfigValues();

// Starts a program in a normal window with the focus; false when it cannot be started. Tests install a
// starter that records the path instead (an empty function restores the system's).
bool StartProgram(const std::string &path);
void SetProgramStarter(std::function<bool(const std::string &)> starter);

// The system beep.
void Beep();
int BeepCount(); // beeps sounded so far, for tests

} // namespace VB
