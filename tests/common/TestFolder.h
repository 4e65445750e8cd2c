#pragma once
// A temporary folder for one test that the program's folders, settings store and temp folder point at.
#include <QTemporaryDir>
#include <string>

class TestFolder {
public:
    TestFolder();
    ~TestFolder();
    // The folder path ending in a separator.
    std::string path() const;
    // Writes a file of the folder byte for byte.
    void Write(const std::string &name, const std::string &bytes) const;
    std::string Read(const std::string &name) const;

private:
    QTemporaryDir dir_;
};
