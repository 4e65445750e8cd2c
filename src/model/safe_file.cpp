#include "model/safe_file.h"

#include "platform/Text1252.h"
#include "platform/VBError.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

void ReplaceFileContents(const std::string &path, const std::string &bytes, bool ownerOnly) {
    const QString name = ToQt(path);
    if (!QFileInfo(name).absoluteDir().exists())
        throw VBError(VBErr::PathNotFound, "path not found");
    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly) ||
        (ownerOnly && !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner))) {
        file.cancelWriting();
        throw VBError(75, "path/file access error");
    }
    if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size())) {
        file.cancelWriting();
        throw VBError(61, "disk full");
    }
    if (!file.commit())
        throw VBError(75, "path/file access error");
}
