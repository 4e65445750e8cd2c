// End to end: the separate remote program writes its readings file and a poll of the main program reads
// every station of it.
#include "common/ModelFixture.h"
#include "exchange/realtime.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

namespace {

std::vector<std::string> Split(const std::string &text, const std::string &separator) {
    std::vector<std::string> parts;
    std::size_t at = 0;
    for (std::size_t end; (end = text.find(separator, at)) != std::string::npos; at = end + separator.size())
        parts.push_back(text.substr(at, end - at));
    parts.push_back(text.substr(at));
    return parts;
}

using RemoteProgramRun = ModelTest;

TEST_F(RemoteProgramRun, APollStoresTheReadingsAndTimesTheRemoteProgramWrites) {
    QProcess remote;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    remote.setProcessEnvironment(environment);
    remote.setWorkingDirectory(QString::fromStdString(folder.path()));
    remote.start(REMOTE_PROGRAM, {});
    ASSERT_TRUE(remote.waitForStarted(10000));
    const QString written = QString::fromStdString(folder.path() + "Testdata.rem");
    for (QDeadlineTimer deadline(30000); !QFileInfo::exists(written) && !deadline.hasExpired();)
        QThread::msleep(100);
    ASSERT_TRUE(QFileInfo::exists(written));

    RealtimeInputFile = written.toStdString();
    RealtimeInputOn = -1;
    ScriptedDialogs boxes; // no message
    // The file is replaced every few seconds: compare with a file that stood unchanged around the poll.
    std::string file;
    for (std::string after; file.empty() || file != after;) {
        file = folder.Read("Testdata.rem");
        RemoteRoutine();
        after = folder.Read("Testdata.rem");
    }
    RealtimeInputOn = 0;
    const std::vector<std::string> lines = Split(file, "\r\n");
    ASSERT_EQ(lines.size(), 23u); // 22 lines and the end of the last one
    for (int s = 1; s <= 20; ++s) {
        const std::vector<std::string> fields = Split(lines[static_cast<size_t>(s + 1)], "\t");
        ASSERT_EQ(fields.size(), 8u);
        EXPECT_EQ(StationFileText(s, 2), fields[2]) << s;
        for (int c = 1; c <= 5; ++c)
            EXPECT_EQ(StationReading(s, c), std::stoi(fields[static_cast<size_t>(c + 2)])) << s << " " << c;
    }
}

} // namespace
