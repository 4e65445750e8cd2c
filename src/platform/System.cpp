#include "platform/System.h"

#include "platform/Text1252.h"

#include <QApplication>
#include <QProcess>

#include <QCoreApplication>
#include <QCursor>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QSettings>
#include <map>
#include <memory>
#include <optional>
#include <tuple>

namespace VB {
namespace {

int screenPointer = vbDefault;
std::string tempOverride;
std::string programOverride;
char separatorOverride = 0;
std::string settingsFolder;
std::optional<DateTime> fixedClock;
int beeps = 0;

std::string withSeparator(QString folder) {
    folder = QDir::toNativeSeparators(folder);
    if (!folder.endsWith(QDir::separator()))
        folder += QDir::separator();
    return FromQt(folder);
}

std::unique_ptr<QSettings> openStore(const std::string &app) {
    if (!settingsFolder.empty())
        return std::make_unique<QSettings>(ToQt(settingsFolder + app + ".ini"), QSettings::IniFormat);
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, ToQt(app), ToQt(app));
}

QString keyOf(const std::string &section, const std::string &key) {
    return ToQt(section) + "/" + ToQt(key);
}

} // namespace

void DoEvents() {
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}

void SetScreenPointer(int pointer) {
    const bool wasBusy = screenPointer == vbHourglass;
    screenPointer = pointer;
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return;
    const bool busy = pointer == vbHourglass;
    if (busy && !wasBusy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    if (!busy && wasBusy)
        QApplication::restoreOverrideCursor();
}

int ScreenPointer() {
    return screenPointer;
}

std::string TempDir() {
    return tempOverride.empty() ? withSeparator(QDir::tempPath()) : tempOverride;
}
void SetTempDirOverride(const std::string &folder) {
    tempOverride = folder.empty() ? folder : withSeparator(ToQt(folder));
}

std::string ProgramFolder() {
    if (!programOverride.empty())
        return programOverride;
    if (QCoreApplication::instance())
        return withSeparator(QCoreApplication::applicationDirPath());
    return withSeparator(QDir::currentPath());
}
void SetProgramFolderOverride(const std::string &folder) {
    programOverride = folder.empty() ? folder : withSeparator(ToQt(folder));
}

std::string WholeFilePath(const std::string &path) {
    if (path.empty())
        return path;
    const QFileInfo file(ToQt(path));
    const QString canonical = file.canonicalFilePath();
    return FromQt(canonical.isEmpty() ? QDir::cleanPath(file.absoluteFilePath()) : canonical);
}

char LocaleDecimalSeparator() {
    if (separatorOverride)
        return separatorOverride;
    const QString point = QLocale::system().decimalPoint();
    return point == "," ? ',' : '.';
}
void SetLocaleDecimalSeparatorOverride(char separator) {
    separatorOverride = separator;
}

HeldDecimalSeparator::HeldDecimalSeparator() : previous_(separatorOverride) {
    separatorOverride = LocaleDecimalSeparator();
}
HeldDecimalSeparator::~HeldDecimalSeparator() {
    separatorOverride = previous_;
}

std::string GetSetting(const std::string &app, const std::string &section, const std::string &key,
                       const std::string &defaultValue) {
    auto store = openStore(app);
    const QVariant v = store->value(keyOf(section, key));
    return v.isValid() ? FromQt(v.toString()) : defaultValue;
}

void SaveSetting(const std::string &app, const std::string &section, const std::string &key,
                 const std::string &value) {
    auto store = openStore(app);
    store->setValue(keyOf(section, key), ToQt(value));
}

void DeleteSetting(const std::string &app, const std::string &section, const std::string &key) {
    auto store = openStore(app);
    store->remove(keyOf(section, key));
}

void SetSettingsFolderOverride(const std::string &folder) {
    settingsFolder = folder.empty() ? folder : withSeparator(ToQt(folder));
}

DateTime Now() {
    if (fixedClock)
        return *fixedClock;
    const QDateTime now = QDateTime::currentDateTime();
    const QDate d = now.date();
    const QTime t = now.time();
    return {d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second()};
}

double Timer() {
    if (fixedClock)
        return fixedClock->hour * 3600.0 + fixedClock->minute * 60.0 + fixedClock->second;
    return QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
}

void SetClockOverride(const DateTime *fixed) {
    if (fixed)
        fixedClock = *fixed;
    else
        fixedClock.reset();
}

namespace {

std::map<std::tuple<int64_t, std::string, std::string>, ConfigValue> &configValues() {
    static std::map<std::tuple<int64_t, std::string, std::string>, ConfigValue> values;
    return values;
}

std::function<bool(const std::string &)> programStarter;

} // namespace

std::optional<ConfigValue> QueryConfigValue(int64_t root, const std::string &key, const std::string &name) {
    const auto it = configValues().find({root, key, name});
    if (it == configValues().end())
        return std::nullopt;
    return it->second;
}

void SetConfigValue(int64_t root, const std::string &key, const std::string &name, ConfigValue value) {
    configValues()[{root, key, name}] = std::move(value);
}

void ClearConfigValues() {
    configValues().clear();
}

bool StartProgram(const std::string &path) {
    if (programStarter)
        return programStarter(path);
    return QProcess::startDetached(ToQt(path), {});
}

void SetProgramStarter(std::function<bool(const std::string &)> starter) {
    programStarter = std::move(starter);
}

void Beep() {
    ++beeps;
    if (qobject_cast<QApplication *>(QCoreApplication::instance()))
        QApplication::beep();
}

int BeepCount() {
    return beeps;
}

} // namespace VB
