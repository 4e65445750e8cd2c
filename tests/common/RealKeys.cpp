#include "common/RealKeys.h"

#include <QTest>

namespace RealKeys {

QString TextOf(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    switch (key) {
    case Qt::Key_Delete:
        return QStringLiteral("\x7f");
    case Qt::Key_Backspace:
        return QStringLiteral("\b");
    case Qt::Key_Escape:
        return QStringLiteral("\x1b");
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return QStringLiteral("\r");
    case Qt::Key_Tab:
        return QStringLiteral("\t");
    default:
        break;
    }
    if (key >= Qt::Key_A && key <= Qt::Key_Z) {
        if (modifiers & Qt::ControlModifier)
            return QString(QChar(static_cast<char16_t>(key - Qt::Key_A + 1)));
        const QChar letter(static_cast<char16_t>(key));
        return QString(modifiers & Qt::ShiftModifier ? letter : letter.toLower());
    }
    // Other printable keys are their own Latin-1 character; the rest type nothing.
    if (key >= Qt::Key_Space && key <= Qt::Key_ydiaeresis)
        return QString(QChar(static_cast<char16_t>(key)));
    return {};
}

void Click(QWidget *widget, Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QTest::sendKeyEvent(QTest::Click, widget, key, TextOf(key, modifiers), modifiers);
}

void Type(QWidget *widget, const QString &text) {
    for (const QChar ch : text) {
        Qt::Key key;
        switch (ch.unicode()) {
        case '\r':
        case '\n':
            key = Qt::Key_Return;
            break;
        case '\t':
            key = Qt::Key_Tab;
            break;
        case '\b':
            key = Qt::Key_Backspace;
            break;
        case 0x7f:
            key = Qt::Key_Delete;
            break;
        case 0x1b:
            key = Qt::Key_Escape;
            break;
        default:
            key = static_cast<Qt::Key>(ch.toUpper().unicode());
            break;
        }
        const Qt::KeyboardModifiers modifiers = ch.isUpper() ? Qt::ShiftModifier : Qt::NoModifier;
        QTest::sendKeyEvent(QTest::Click, widget, key, key == Qt::Key_Return ? TextOf(key) : QString(ch),
                            modifiers);
    }
}

} // namespace RealKeys
