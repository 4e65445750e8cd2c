#pragma once
// The offscreen platform says, for every window shown, that it cannot pass on size hints or raise a
// window. Hundreds of those lines would bury a failing test's own output, so the test programs drop them;
// every other message goes on to the handler installed before.
#include <QString>
#include <QtGlobal>

#include <cstdio>

namespace QuietPluginNotices {

// The handler the quiet one passes messages on to (null: Qt's own output).
inline QtMessageHandler &Next() {
    static QtMessageHandler next = nullptr;
    return next;
}

inline bool IsNotice(const QString &message) {
    return message == QLatin1String("This plugin does not support propagateSizeHints()") ||
           message == QLatin1String("This plugin does not support raise()");
}

inline void Handler(QtMsgType type, const QMessageLogContext &context, const QString &message) {
    if (IsNotice(message))
        return;
    if (Next() != nullptr)
        Next()(type, context, message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

// Called once by a test program's main, before the application object is made.
inline void Install() {
    Next() = qInstallMessageHandler(Handler);
}

} // namespace QuietPluginNotices
