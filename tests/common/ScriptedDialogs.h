#pragma once
// Answers message and input boxes from a script and records every box shown. A box that nobody
// scripted fails the running test.
#include "platform/Dialogs.h"

#include <deque>
#include <string>
#include <vector>

struct ShownBox {
    std::string prompt;
    std::string title;
    int buttonSet = 0;
    int icon = 0;
};

class ScriptedDialogs : public VB::DialogResponder {
public:
    ScriptedDialogs();
    ~ScriptedDialogs() override;

    // Next expected message box: its answer, and optionally a text the prompt must contain.
    ScriptedDialogs& Expect(int answer, const std::string& promptContains = "");
    // Next expected input box and the text typed (nullopt = Cancel).
    ScriptedDialogs& ExpectInput(std::optional<std::string> typed);

    const std::vector<ShownBox>& Shown() const { return shown_; }
    // Prompts of every box shown, in order.
    std::vector<std::string> Prompts() const;
    // True when every scripted answer has been used.
    bool Done() const { return script_.empty(); }

    int Message(const VB::MessageRequest& request) override;
    std::optional<std::string> Input(const VB::InputRequest& request) override;

private:
    struct Step {
        bool input = false;
        int answer = VB::vbOK;
        std::string contains;
        std::optional<std::string> typed;
    };
    std::deque<Step> script_;
    std::vector<ShownBox> shown_;
    VB::DialogResponder* previous_ = nullptr;
};
