#include "common/ScriptedDialogs.h"

#include <gtest/gtest.h>

ScriptedDialogs::ScriptedDialogs() {
    previous_ = VB::SetDialogResponder(this);
}

ScriptedDialogs::~ScriptedDialogs() {
    VB::SetDialogResponder(previous_);
    EXPECT_TRUE(script_.empty()) << script_.size() << " scripted box(es) never shown";
}

ScriptedDialogs &ScriptedDialogs::Expect(int answer, const std::string &promptContains) {
    script_.push_back({Kind::Message, answer, promptContains, std::nullopt, std::nullopt});
    return *this;
}

ScriptedDialogs &ScriptedDialogs::ExpectInput(std::optional<std::string> typed) {
    script_.push_back({Kind::Input, VB::vbOK, "", std::move(typed), std::nullopt});
    return *this;
}

ScriptedDialogs &ScriptedDialogs::ExpectFile(std::optional<std::string> chosen) {
    script_.push_back({Kind::File, VB::vbOK, "", std::move(chosen), std::nullopt});
    return *this;
}

ScriptedDialogs &ScriptedDialogs::ExpectPrintSetup(std::optional<VB::PrinterChoice> chosen) {
    script_.push_back({Kind::PrintSetup, VB::vbOK, "", std::nullopt, std::move(chosen)});
    return *this;
}

std::vector<std::string> ScriptedDialogs::Prompts() const {
    std::vector<std::string> out;
    for (const auto &b : shown_)
        out.push_back(b.prompt);
    return out;
}

int ScriptedDialogs::Message(const VB::MessageRequest &r) {
    shown_.push_back({r.prompt, r.title, r.buttonSet(), r.icon(), r.defaultButton()});
    if (script_.empty() || script_.front().kind != Kind::Message) {
        ADD_FAILURE() << "unexpected message box: \"" << r.prompt << "\" (" << r.title << ")";
        return r.buttonSet() == VB::vbOKOnly ? VB::vbOK : VB::vbCancel;
    }
    Step step = script_.front();
    script_.pop_front();
    if (!step.contains.empty()) {
        EXPECT_NE(r.prompt.find(step.contains), std::string::npos)
            << "box \"" << r.prompt << "\" should contain \"" << step.contains << "\"";
    }
    return step.answer;
}

std::optional<std::string> ScriptedDialogs::Input(const VB::InputRequest &r) {
    shown_.push_back({r.prompt, r.title, -1, 0});
    if (script_.empty() || script_.front().kind != Kind::Input) {
        ADD_FAILURE() << "unexpected input box: \"" << r.prompt << "\"";
        return std::nullopt;
    }
    Step step = script_.front();
    script_.pop_front();
    return step.typed;
}

std::optional<std::string> ScriptedDialogs::File(const VB::FileRequest &r) {
    files_.push_back(r);
    if (script_.empty() || script_.front().kind != Kind::File) {
        ADD_FAILURE() << "unexpected file dialog: \"" << r.title << "\" filter " << r.filter;
        return std::nullopt;
    }
    Step step = script_.front();
    script_.pop_front();
    return step.typed;
}

std::optional<VB::PrinterChoice> ScriptedDialogs::PrintSetup(const VB::PrintSetupRequest &) {
    if (script_.empty() || script_.front().kind != Kind::PrintSetup) {
        ADD_FAILURE() << "unexpected print set-up dialog";
        return std::nullopt;
    }
    Step step = script_.front();
    script_.pop_front();
    return step.printer;
}
