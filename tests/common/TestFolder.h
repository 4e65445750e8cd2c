#pragma once
// A temporary folder for one test that the program's folders, settings store, temp and private folders
// point at.
// Folders nest: when an inner one goes, the program's folders point at the outer one again, so nothing is
// ever written beside the program or into the current folder.
#include <QTemporaryDir>
#include <string>

class TestFolder {
public:
    TestFolder();
    ~TestFolder();
    TestFolder(const TestFolder &) = delete;
    TestFolder &operator=(const TestFolder &) = delete;
    // The folder path ending in a separator.
    std::string path() const;
    // Writes a file of the folder byte for byte.
    void Write(const std::string &name, const std::string &bytes) const;
    std::string Read(const std::string &name) const;

private:
    QTemporaryDir dir_;
    const TestFolder *outer_;
    std::string outerAppFolder_;
};
