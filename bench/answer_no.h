#pragma once
// Answers every box with No (and every input or file box with nothing): the convergence question after
// the iteration limit ends the balancing, and no benchmark can wait for a user.
#include "platform/Dialogs.h"

#include <optional>
#include <string>

class AnswerNo : public VB::DialogResponder {
public:
    int Message(const VB::MessageRequest &) override { return VB::vbNo; }
    std::optional<std::string> Input(const VB::InputRequest &) override { return std::nullopt; }
    std::optional<std::string> File(const VB::FileRequest &) override { return std::nullopt; }
};
