#include "common/TestFolder.h"

#include "model/Gustrom1.h"
#include "platform/System.h"

#include <fstream>
#include <sstream>

TestFolder::TestFolder() {
    VB::SetTempDirOverride(path());
    VB::SetProgramFolderOverride(path());
    VB::SetSettingsFolderOverride(path());
    AppFolder = path();
}

TestFolder::~TestFolder() {
    VB::SetTempDirOverride("");
    VB::SetProgramFolderOverride("");
    VB::SetSettingsFolderOverride("");
}

std::string TestFolder::path() const {
    return dir_.path().toStdString() + "/";
}

void TestFolder::Write(const std::string &name, const std::string &bytes) const {
    std::ofstream out(path() + name, std::ios::binary);
    out << bytes;
}

std::string TestFolder::Read(const std::string &name) const {
    std::ifstream in(path() + name, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}
