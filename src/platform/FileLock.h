#pragma once
// Files that tell whether the program that made them still runs, in a folder of the user's own.
#include <string>

namespace VB {

// An exclusive lock on a file, held while the object lives. The system lets go of it when the program
// ends, however it ends (crash, kill, power loss), so a lock that can be taken tells that no running
// program holds it. Two locks on one file exclude each other also within one program.
class FileLock {
public:
    // create true: makes the file (owner-only), which must not exist yet, and locks it. create false: locks
    // the existing file. Held() tells whether the lock was taken.
    FileLock(const std::string &path, bool create);
    ~FileLock(); // lets go; the file stays
    FileLock(const FileLock &) = delete;
    FileLock &operator=(const FileLock &) = delete;

    bool Held() const { return fd_ >= 0; }
    const std::string &Path() const { return path_; }
    // The file's bytes, read and replaced through the lock's own handle (the lock stays held).
    std::string Read() const;
    bool Rewrite(const std::string &bytes);
    // Deletes the file, then lets go.
    void Remove();

private:
    std::string path_;
    int fd_ = -1;
};

// A folder of the user's own for the program's working files, ending in a separator: made owner-only
// (0700) when missing and set so when it is the user's; empty when it cannot be made private. It lies
// among the user's data, which outlives a restart of the machine. Tests point it at a folder of their own.
std::string PrivateFolder();
// Where that folder lies, whether or not it exists yet; nothing is made.
std::string PrivateFolderName();
void SetPrivateFolderOverride(const std::string &folder); // empty restores the user's own

} // namespace VB
