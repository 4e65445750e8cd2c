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
    int defaultButton = 1;
};

class ScriptedDialogs : public VB::DialogResponder {
public:
    ScriptedDialogs();
    ~ScriptedDialogs() override;

    // Next expected message box: its answer, and optionally a text the prompt must contain.
    ScriptedDialogs &Expect(int answer, const std::string &promptContains = "");
    // Next expected input box and the text typed (nullopt = Cancel).
    ScriptedDialogs &ExpectInput(std::optional<std::string> typed);
    // Next expected file dialog and the path chosen (nullopt = Cancel).
    ScriptedDialogs &ExpectFile(std::optional<std::string> chosen);
    // Next expected print set-up dialog and the choice made (nullopt = Cancel).
    ScriptedDialogs &ExpectPrintSetup(std::optional<VB::PrinterChoice> chosen);
    // Settings of every file dialog shown, in order.
    const std::vector<VB::FileRequest> &FileDialogs() const { return files_; }

    const std::vector<ShownBox> &Shown() const { return shown_; }
    // Prompts of every box shown, in order.
    std::vector<std::string> Prompts() const;
    // True when every scripted answer has been used.
    bool Done() const { return script_.empty(); }

    int Message(const VB::MessageRequest &request) override;
    std::optional<std::string> Input(const VB::InputRequest &request) override;
    std::optional<std::string> File(const VB::FileRequest &request) override;
    std::optional<VB::PrinterChoice> PrintSetup(const VB::PrintSetupRequest &request) override;

private:
    enum class Kind { Message, Input, File, PrintSetup };
    struct Step {
        Kind kind = Kind::Message;
        int answer = VB::vbOK;
        std::string contains;
        std::optional<std::string> typed;
        std::optional<VB::PrinterChoice> printer;
    };
    std::deque<Step> script_;
    std::vector<ShownBox> shown_;
    std::vector<VB::FileRequest> files_;
    VB::DialogResponder *previous_ = nullptr;
};
