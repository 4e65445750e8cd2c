#pragma once
// The program's message and input boxes. Both go through replaceable functions, so tests answer them
// without a display; the program itself uses the windowed boxes.
#include <QString>
#include <functional>

namespace RemoteBoxes {

using MessageFunction = std::function<void(const QString &text)>;
// The typed answer; an empty text when the box is cancelled.
using InputFunction = std::function<QString(const QString &prompt)>;

// Shows a message with an OK button only.
void Message(const QString &text);
// Asks for a line of text with no default answer.
QString Input(const QString &prompt);

// Replaces the boxes; empty functions restore the windowed ones.
void SetBoxes(MessageFunction message, InputFunction input);

} // namespace RemoteBoxes
