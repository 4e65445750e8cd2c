#pragma once
// Message and input boxes with the button, icon and answer codes the program's procedures use.
// Every box goes through the current responder: the program installs one that shows Qt dialogs,
// tests install one that answers from a script.
#include <optional>
#include <string>
#include <vector>

namespace VB {

// Buttons (low bits) and icons.
constexpr int vbOKOnly = 0;
constexpr int vbOKCancel = 1;
constexpr int vbAbortRetryIgnore = 2;
constexpr int vbYesNoCancel = 3;
constexpr int vbYesNo = 4;
constexpr int vbRetryCancel = 5;
constexpr int vbCritical = 16;
constexpr int vbQuestion = 32;
constexpr int vbExclamation = 48;
constexpr int vbInformation = 64;
// The second button is the default (No, or Cancel): for questions whose first answer cannot be undone.
constexpr int vbDefaultButton2 = 256;
// Answers.
constexpr int vbOK = 1;
constexpr int vbCancel = 2;
constexpr int vbAbort = 3;
constexpr int vbRetry = 4;
constexpr int vbIgnore = 5;
constexpr int vbYes = 6;
constexpr int vbNo = 7;

// The title a box shows when the caller gives none.
inline constexpr const char *DefaultTitle = "Gustrom";

struct MessageRequest {
    std::string prompt; // Windows-1252 bytes, as the model holds text
    int buttons = vbOKOnly;
    std::string title;
    int buttonSet() const { return buttons & 7; }
    int icon() const { return buttons & 0x70; }
    int defaultButton() const { return (buttons & vbDefaultButton2) != 0 ? 2 : 1; }
};

struct InputRequest {
    std::string prompt;
    std::string title;
    std::string defaultText;
};

// The common file dialog's settings: filter in the "Text (*.ext)|*.ext|..." form, index from 1.
struct FileRequest {
    bool save = false;
    std::string title;
    std::string initialDir;
    std::string fileName;
    std::string filter;
    int filterIndex = 1;
    std::string defaultExt;        // added when the chosen name has no extension
    bool mustExist = false;        // open: the file and its path must exist
    bool confirmOverwrite = false; // save: ask before replacing a file
};

// The print set-up choice: a printer by its device name and one of its paper codes.
struct PrinterChoice {
    std::string deviceName;
    int paperCode = 0;
};
struct PrinterOffer {
    std::string deviceName;
    std::vector<int> paperCodes;
    std::vector<std::string> paperNames; // Windows-1252, beside the codes
};
struct PrintSetupRequest {
    std::vector<PrinterOffer> printers; // the installed printers in their order
    PrinterChoice current;
};

class DialogResponder {
public:
    virtual ~DialogResponder() = default;
    virtual int Message(const MessageRequest &request) = 0;
    // nullopt when the user cancels.
    virtual std::optional<std::string> Input(const InputRequest &request) = 0;
    // The chosen path, nullopt when the user cancels.
    virtual std::optional<std::string> File(const FileRequest &request) = 0;
    // The chosen printer and paper, nullopt when the user cancels.
    virtual std::optional<PrinterChoice> PrintSetup(const PrintSetupRequest &request);
};

// Shows a message box and returns the answer code.
int MsgBox(const std::string &prompt, int buttons = vbOKOnly, const std::string &title = "");
// Shows an input box; an empty text when cancelled (as the program's procedures expect).
std::string InputBox(const std::string &prompt, const std::string &title = "",
                     const std::string &defaultText = "");

// Shows an input box; nullopt when cancelled, so that Cancel differs from an empty answer.
std::optional<std::string> InputBoxOrCancel(const std::string &prompt, const std::string &title = "",
                                            const std::string &defaultText = "");

// Shows the print set-up dialog over the installed printers, the current one chosen; nullopt when
// cancelled. Nothing changes here: the caller applies the choice.
std::optional<PrinterChoice> PrintSetupDialog();

// Shows an open or save dialog; nullopt when cancelled.
std::optional<std::string> FileDialog(const FileRequest &request);
// A file filter of the form "Data Files (*.sim)|*.sim|All files|*.*" as the file dialog's name filters:
// each description with its patterns in brackets, written once ({"Data Files (*.sim)", "All files (*.*)"}).
std::vector<std::string> FileDialogFilters(const std::string &filter);

// How many boxes and modal dialogs have been shown so far. Input a window had queued before one of them
// opened is stale once it closes: a modal window takes the input meant for the windows under it.
int ModalDialogsShown();
// Counts a modal dialog shown other than through the calls above.
void NoteModalDialogShown();

// The answer that changes nothing (Cancel, No, Abort, OK), given when nobody can be asked.
int SafeAnswer(const MessageRequest &request);
// A responder for runs without a user: the safe answer to every box, input and file dialogs cancelled.
DialogResponder &UnattendedResponder();

// Installs a responder; nullptr restores the Qt one. Returns the previous responder.
DialogResponder *SetDialogResponder(DialogResponder *responder);

} // namespace VB
