#include "model/recovery_copy.h"

#include "model/text_files.h"
#include "platform/System.h"
#include "platform/Text1252.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

constexpr const char *Prefix = "recovery-";
constexpr const char *NotesHeading = "Gustrom recovery copy";

std::unique_ptr<VB::FileLock> ownLock;
std::string ownCopy;
// What this program's lock notes: the network its copy holds (file, title, when written), and the network
// file the program has open now, which differs from the copy's until the next autosave.
std::string copyFile, copyTitle, copyWritten, openFile;

std::string lockOf(const std::string &copy) {
    return copy.substr(0, copy.size() - 4) + ".lock";
}

bool exists(const std::string &path) {
    return QFileInfo::exists(ToQt(path));
}

// Each run takes a name of its own: its process number and start time, and a count should both repeat.
bool claimOwnCopy() {
    if (ownLock)
        return true;
    const std::string folder = VB::PrivateFolder();
    if (folder.empty())
        return false;
    const std::string run = std::to_string(QCoreApplication::applicationPid()) + "-" +
                            std::to_string(QDateTime::currentMSecsSinceEpoch());
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string base = folder + Prefix + run;
        if (attempt > 0)
            base.append(1, '-').append(std::to_string(attempt));
        if (exists(base + ".sim"))
            continue;
        auto lock = std::make_unique<VB::FileLock>(base + ".lock", true);
        if (!lock->Held())
            continue;
        ownLock = std::move(lock);
        ownCopy = base + ".sim";
        return true;
    }
    return false;
}

std::string noteLine(std::string text) {
    ReplaceControlCharacters(text);
    return text;
}

void rewriteOwnNotes() {
    if (!ownLock)
        return;
    std::string text = std::string(NotesHeading) + "\r\n";
    for (const std::string *line : {&copyFile, &copyTitle, &copyWritten, &openFile})
        text += noteLine(*line) + "\r\n";
    ownLock->Rewrite(text);
}

std::vector<std::string> notesLines(const std::string &text) {
    std::vector<std::string> lines;
    for (size_t at = 0; at < text.size();) {
        const size_t end = text.find("\r\n", at);
        lines.push_back(text.substr(at, end == std::string::npos ? std::string::npos : end - at));
        at = end == std::string::npos ? text.size() : end + 2;
    }
    return lines;
}

// A network file as the locks note it: one text for every name of the file (links, relative paths).
std::string openFileNote(const std::string &networkFile) {
    return networkFile.empty() ? std::string() : noteLine(VB::WholeFilePath(networkFile));
}

void readNotes(LeftRecoveryCopy &left) {
    const std::vector<std::string> lines = notesLines(left.claim->Read());
    left.described = lines.size() >= 4 && lines[0] == NotesHeading;
    if (left.described) {
        left.networkFile = lines[1];
        left.title = lines[2];
        left.written = lines[3];
    }
}

// The lock of a copy, taken when no running program holds it (made anew when it is missing).
std::unique_ptr<VB::FileLock> claimLock(const std::string &lockPath) {
    const bool missing = !exists(lockPath);
    auto lock = std::make_unique<VB::FileLock>(lockPath, missing);
    return lock->Held() ? std::move(lock) : nullptr;
}

QFileInfoList filesOf(const std::string &folder, const char *pattern) {
    return QDir(ToQt(folder)).entryInfoList({QString(Prefix) + pattern}, QDir::Files, QDir::Time);
}

} // namespace

std::string RecoveryCopyPath() {
    return claimOwnCopy() ? ownCopy : std::string();
}

bool IsRecoveryCopy(const std::string &path) {
    const std::string folder = VB::PrivateFolderName();
    if (folder.empty() || !path.starts_with(folder))
        return false;
    const std::string name = path.substr(folder.size());
    return name.starts_with(Prefix) && name.ends_with(".sim") && name.find('/') == std::string::npos;
}

void NoteRecoveryCopy(const std::string &networkFile, const std::string &title, const std::string &written) {
    copyFile = networkFile;
    copyTitle = title;
    copyWritten = written;
    rewriteOwnNotes();
}

void NoteOpenNetworkFile(const std::string &networkFile) {
    openFile = openFileNote(networkFile);
    // The lock is taken now, not at the first autosave: other programs look for the file from the start.
    if (!openFile.empty() || ownLock)
        claimOwnCopy();
    rewriteOwnNotes();
}

bool HeldByAnotherProgram(const std::string &networkFile) {
    const std::string folder = VB::PrivateFolderName();
    const std::string wanted = openFileNote(networkFile);
    if (folder.empty() || wanted.empty())
        return false;
    for (const QFileInfo &file : filesOf(folder, "*.lock")) {
        const std::string lock = FromQt(file.absoluteFilePath());
        if (ownLock && lock == ownLock->Path())
            continue;
        // A lock that can be taken belongs to no running program.
        if (VB::FileLock(lock, false).Held())
            continue;
        QFile notes(file.absoluteFilePath());
        if (!notes.open(QIODevice::ReadOnly))
            continue;
        const std::vector<std::string> lines = notesLines(notes.readAll().toStdString());
        if (lines.size() >= 5 && lines[0] == NotesHeading && lines[4] == wanted)
            return true;
    }
    return false;
}

void RemoveRecoveryCopy() {
    if (ownLock) {
        QFile::remove(ToQt(ownCopy));
        ownLock->Remove();
    }
    LetGoOfRecoveryCopy();
}

void LetGoOfRecoveryCopy() {
    ownLock.reset();
    ownCopy.clear();
    copyFile.clear();
    copyTitle.clear();
    copyWritten.clear();
    openFile.clear();
}

std::vector<LeftRecoveryCopy> ClaimLeftRecoveryCopies() {
    std::vector<LeftRecoveryCopy> left;
    const std::string folder = VB::PrivateFolderName();
    if (folder.empty())
        return left;
    for (const QFileInfo &file : filesOf(folder, "*.sim")) {
        LeftRecoveryCopy copy;
        copy.path = FromQt(file.absoluteFilePath());
        if (copy.path == ownCopy)
            continue;
        copy.claim = claimLock(lockOf(copy.path));
        if (!copy.claim)
            continue;
        readNotes(copy);
        left.push_back(std::move(copy));
    }
    // A lock without a copy is what a program leaves that ended before its first autosave.
    for (const QFileInfo &file : filesOf(folder, "*.lock")) {
        const std::string lock = FromQt(file.absoluteFilePath());
        if (exists(lock.substr(0, lock.size() - 5) + ".sim") || (ownLock && lock == ownLock->Path()))
            continue;
        if (auto claim = claimLock(lock))
            claim->Remove();
    }
    return left;
}

bool AdoptRecoveryCopy(LeftRecoveryCopy &left) {
    if (!left.claim || !claimOwnCopy())
        return false;
    QFile::remove(ToQt(ownCopy));
    if (!QFile::rename(ToQt(left.path), ToQt(ownCopy)))
        return false;
    QFile::setPermissions(ToQt(ownCopy), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    copyFile = left.networkFile;
    copyTitle = left.title;
    copyWritten = left.written;
    rewriteOwnNotes();
    left.claim->Remove();
    left.claim.reset();
    left.path = ownCopy;
    return true;
}
