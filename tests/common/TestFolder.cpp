#include "common/TestFolder.h"

#include "model/Gustrom1.h"
#include "platform/FileLock.h"
#include "platform/System.h"

#include <fstream>
#include <sstream>

namespace {

const TestFolder *innermost = nullptr;

void pointProgramFoldersAt(const std::string &folder) {
    VB::SetTempDirOverride(folder);
    VB::SetProgramFolderOverride(folder);
    VB::SetSettingsFolderOverride(folder);
    VB::SetPrivateFolderOverride(folder);
}

} // namespace

TestFolder::TestFolder() : outer_(innermost), outerAppFolder_(AppFolder) {
    innermost = this;
    pointProgramFoldersAt(path());
    AppFolder = path();
}

TestFolder::~TestFolder() {
    innermost = outer_;
    pointProgramFoldersAt(outer_ ? outer_->path() : "");
    AppFolder = outerAppFolder_;
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
