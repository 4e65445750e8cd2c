#pragma once
// Damaged copies of good files for the readers' robustness tests, and a responder that answers every box
// they raise.
#include "platform/Dialogs.h"

#include <random>
#include <string>
#include <vector>

// Answers every box at random (Yes or No for questions) and counts them.
class RandomAnswers : public VB::DialogResponder {
public:
    explicit RandomAnswers(std::mt19937 &random) : random_(random) {
        previous_ = VB::SetDialogResponder(this);
    }
    ~RandomAnswers() override { VB::SetDialogResponder(previous_); }
    int Message(const VB::MessageRequest &request) override {
        ++boxes;
        if (request.buttonSet() == VB::vbYesNo || request.buttonSet() == VB::vbYesNoCancel)
            return random_() % 2 == 0 ? VB::vbYes : VB::vbNo;
        return VB::vbOK;
    }
    std::optional<std::string> Input(const VB::InputRequest &) override { return std::nullopt; }
    std::optional<std::string> File(const VB::FileRequest &) override { return std::nullopt; }
    int boxes = 0;

private:
    std::mt19937 &random_;
    VB::DialogResponder *previous_ = nullptr;
};

// One to four random edits of a text file: a flipped byte, a dropped, repeated or cut line, or a field
// replaced by an awkward value (empty, out of range, not a number, a separator, a section marker).
std::string Mutate(std::string text, std::mt19937 &random);

// The text with each CR LF line end replaced by the next of `ends` in turn: {"\n"} gives the file a Unix
// tool or a checkout leaves, {"\n", "\r", "\r\n"} a mix of all three.
std::string WithLineEnds(const std::string &crlfText, const std::vector<std::string> &ends);
