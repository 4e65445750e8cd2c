#include "shell/shell_state.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <cctype>
#include <cmath>

std::array<frmWindow *, 5> Windows{};
std::string CommandLineFile;
bool OpenAtStart = false;
std::array<int, 6> DataItemOfGroup{};
bool LevelSyncBusy = false;
float CursorElevation = 0;
int AutosaveTicks = 0;
int MessageTime = 0;
bool RotateBusy = false;
float RotatorX = 22, RotatorY = 28;

void TakeCommandLine(const std::string &commandLine) {
    CommandLineFile = commandLine;
    // Only quotes are stripped: an unquoted path must keep its first and last characters.
    if (CommandLineFile.size() > 3 && CommandLineFile.front() == '"' && CommandLineFile.back() == '"')
        CommandLineFile = CommandLineFile.substr(1, CommandLineFile.size() - 2);
    std::string tail = CommandLineFile.size() >= 4 ? CommandLineFile.substr(CommandLineFile.size() - 4) : "";
    std::transform(tail.begin(), tail.end(), tail.begin(), [](unsigned char c) { return std::toupper(c); });
    OpenAtStart = tail == ".SIM" || tail == ".SMM";
}

namespace {
double screenDpi(int vertical) {
    double dpi = 96;
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        dpi = vertical != 0 ? screen->logicalDotsPerInchY() : screen->logicalDotsPerInchX();
    return dpi > 0 ? dpi : 96;
}
} // namespace

int PixelsToTwips(int pixels, int vertical) {
    return static_cast<int>(std::lround(pixels / screenDpi(vertical) * 1440.0));
}

int TwipsToPixels(int twips, int vertical) {
    return static_cast<int>(std::lround(twips * screenDpi(vertical) / 1440.0));
}
int32_t MemoLeft = 0, MemoTop = 0;
float MemoWidth = 5000, MemoHeight = 5000;
std::string BitmapFileName;
