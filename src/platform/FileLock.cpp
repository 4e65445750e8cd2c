#include "platform/FileLock.h"

#include "platform/Text1252.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace VB {
namespace {

std::string privateOverride;

// Model text is Windows-1252; the system takes names in its own encoding.
QByteArray systemName(const std::string &path) {
    return QFile::encodeName(ToQt(path));
}

// flock, not fcntl locks: those end when any handle of the file closes, even another one of this program.
bool lockExclusively(int fd) {
    int result = 0;
    do
        result = ::flock(fd, LOCK_EX | LOCK_NB);
    while (result != 0 && errno == EINTR);
    return result == 0;
}

// Makes the folder owner-only; false when it is not a folder of this user.
bool makePrivate(const std::string &folder) {
    const QByteArray name = systemName(folder.substr(0, folder.size() - 1));
    const char *path = name.constData();
    if (::mkdir(path, 0700) != 0 && errno != EEXIST)
        return false;
    struct stat info = {};
    if (::lstat(path, &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::getuid())
        return false;
    return (info.st_mode & 0777) == 0700 || ::chmod(path, 0700) == 0;
}

} // namespace

FileLock::FileLock(const std::string &path, bool create) : path_(path) {
    const int flags = O_RDWR | O_CLOEXEC | (create ? O_CREAT | O_EXCL : 0);
    const int fd = ::open(systemName(path).constData(), flags, 0600);
    if (fd < 0)
        return;
    // A lock counts only on the file that still lies at the path: another program may have deleted it
    // between the open and the lock.
    struct stat opened = {};
    struct stat atPath = {};
    if (!lockExclusively(fd) || ::fstat(fd, &opened) != 0 ||
        ::stat(systemName(path).constData(), &atPath) != 0 || opened.st_ino != atPath.st_ino ||
        opened.st_dev != atPath.st_dev) {
        ::close(fd);
        return;
    }
    fd_ = fd;
}

FileLock::~FileLock() {
    if (fd_ >= 0)
        ::close(fd_);
}

std::string FileLock::Read() const {
    std::string bytes;
    if (fd_ < 0)
        return bytes;
    char buffer[4096];
    for (off_t at = 0;;) {
        const ssize_t n = ::pread(fd_, buffer, sizeof buffer, at);
        if (n <= 0)
            break;
        bytes.append(buffer, static_cast<size_t>(n));
        at += n;
    }
    return bytes;
}

bool FileLock::Rewrite(const std::string &bytes) {
    if (fd_ < 0 || ::ftruncate(fd_, 0) != 0)
        return false;
    for (size_t done = 0; done < bytes.size();) {
        const ssize_t n = ::pwrite(fd_, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

void FileLock::Remove() {
    if (fd_ < 0)
        return;
    // Deleted while still held, so no other program can take the lock of a file on its way out.
    ::unlink(systemName(path_).constData());
    ::close(fd_);
    fd_ = -1;
}

std::string PrivateFolderName() {
    if (!privateOverride.empty())
        return privateOverride;
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return data.isEmpty() ? std::string() : FromQt(QDir(data).absolutePath()) + "/Gustrom/";
}

std::string PrivateFolder() {
    const std::string folder = PrivateFolderName();
    // The folders above it are the user's usual ones; only the last is made private.
    if (folder.empty() || !QDir().mkpath(QFileInfo(ToQt(folder.substr(0, folder.size() - 1))).absolutePath()))
        return {};
    return makePrivate(folder) ? folder : std::string();
}

void SetPrivateFolderOverride(const std::string &folder) {
    privateOverride = folder;
    if (!privateOverride.empty() && privateOverride.back() != '/')
        privateOverride += '/';
}

} // namespace VB
