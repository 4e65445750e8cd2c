#include "platform/Dialogs.h"

#include "platform/Printer.h"
#include "platform/Text1252.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QInputDialog>
#include <QMessageBox>

#include <algorithm>

namespace VB {
namespace {

class QtResponder : public DialogResponder {
public:
    int Message(const MessageRequest &r) override {
        if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
            return SafeAnswer(r);
        QMessageBox box(iconOf(r.icon()), ToQt(r.title), ToQt(r.prompt), QMessageBox::NoButton,
                        QApplication::activeWindow());
        // The buttons in their order; Enter answers with the default one.
        std::vector<QMessageBox::StandardButton> order;
        switch (r.buttonSet()) {
        case vbOKCancel:
            order = {QMessageBox::Ok, QMessageBox::Cancel};
            break;
        case vbYesNoCancel:
            order = {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel};
            break;
        case vbYesNo:
            order = {QMessageBox::Yes, QMessageBox::No};
            break;
        case vbAbortRetryIgnore:
            order = {QMessageBox::Abort, QMessageBox::Retry, QMessageBox::Ignore};
            break;
        case vbRetryCancel:
            order = {QMessageBox::Retry, QMessageBox::Cancel};
            break;
        default:
            order = {QMessageBox::Ok};
            break;
        }
        QMessageBox::StandardButtons buttons;
        for (const QMessageBox::StandardButton b : order)
            buttons |= b;
        box.setStandardButtons(buttons);
        box.setDefaultButton(
            order[std::min<size_t>(static_cast<size_t>(r.defaultButton()), order.size()) - 1]);
        switch (box.exec()) {
        case QMessageBox::Yes:
            return vbYes;
        case QMessageBox::No:
            return vbNo;
        case QMessageBox::Cancel:
            return vbCancel;
        case QMessageBox::Abort:
            return vbAbort;
        case QMessageBox::Retry:
            return vbRetry;
        case QMessageBox::Ignore:
            return vbIgnore;
        default:
            return vbOK;
        }
    }

    std::optional<std::string> Input(const InputRequest &r) override {
        if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
            return std::nullopt;
        bool ok = false;
        const QString text =
            QInputDialog::getText(QApplication::activeWindow(), ToQt(r.title), ToQt(r.prompt),
                                  QLineEdit::Normal, ToQt(r.defaultText), &ok);
        if (!ok)
            return std::nullopt;
        return FromQt(text);
    }

    std::optional<std::string> File(const FileRequest &r) override {
        if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
            return std::nullopt;
        QFileDialog dialog(QApplication::activeWindow(), ToQt(r.title), ToQt(r.initialDir));
        dialog.setAcceptMode(r.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog.setFileMode(r.save || !r.mustExist ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        if (!r.save || !r.confirmOverwrite)
            dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
        QStringList filters;
        for (const std::string &f : FileDialogFilters(r.filter))
            filters << ToQt(f);
        dialog.setNameFilters(filters);
        if (r.filterIndex >= 1 && r.filterIndex <= filters.size())
            dialog.selectNameFilter(filters[r.filterIndex - 1]);
        if (!r.defaultExt.empty())
            dialog.setDefaultSuffix(ToQt(r.defaultExt));
        if (!r.fileName.empty())
            dialog.selectFile(ToQt(r.fileName));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        return FromQt(dialog.selectedFiles().front());
    }

    std::optional<PrinterChoice> PrintSetup(const PrintSetupRequest &r) override {
        if (!qobject_cast<QApplication *>(QCoreApplication::instance()) || r.printers.empty())
            return std::nullopt;
        QDialog dialog(QApplication::activeWindow());
        dialog.setWindowTitle("Print Setup");
        auto *layout = new QFormLayout(&dialog);
        auto *printers = new QComboBox(&dialog);
        auto *papers = new QComboBox(&dialog);
        layout->addRow("Printer", printers);
        layout->addRow("Paper", papers);
        auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
        layout->addRow(buttons);
        QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
        QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
        for (const PrinterOffer &p : r.printers)
            printers->addItem(ToQt(p.deviceName));
        const auto fillPapers = [&](int index, int code) {
            papers->clear();
            const PrinterOffer &p = r.printers[static_cast<size_t>(std::max(0, index))];
            for (size_t k = 0; k < p.paperCodes.size(); ++k) {
                papers->addItem(ToQt(p.paperNames[k]), p.paperCodes[k]);
                if (p.paperCodes[k] == code)
                    papers->setCurrentIndex(static_cast<int>(k));
            }
        };
        QObject::connect(printers, &QComboBox::currentIndexChanged, &dialog,
                         [&](int index) { fillPapers(index, r.current.paperCode); });
        printers->setCurrentIndex(std::max(0, printers->findText(ToQt(r.current.deviceName))));
        fillPapers(printers->currentIndex(), r.current.paperCode);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return PrinterChoice{FromQt(printers->currentText()), papers->currentData().toInt()};
    }

private:
    static QMessageBox::Icon iconOf(int icon) {
        switch (icon) {
        case vbCritical:
            return QMessageBox::Critical;
        case vbQuestion:
            return QMessageBox::Question;
        case vbExclamation:
            return QMessageBox::Warning;
        case vbInformation:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
        }
    }
};

class UnattendedAnswers : public DialogResponder {
public:
    int Message(const MessageRequest &r) override { return SafeAnswer(r); }
    std::optional<std::string> Input(const InputRequest &) override { return std::nullopt; }
    std::optional<std::string> File(const FileRequest &) override { return std::nullopt; }
};

QtResponder qtResponder;
UnattendedAnswers unattended;
DialogResponder *current = &qtResponder;
int modalsShown = 0;

// The responder for one box or dialog about to be shown.
DialogResponder &responder() {
    ++modalsShown;
    return *current;
}

} // namespace

int ModalDialogsShown() {
    return modalsShown;
}

void NoteModalDialogShown() {
    ++modalsShown;
}

int SafeAnswer(const MessageRequest &r) {
    switch (r.buttonSet()) {
    case vbOKCancel:
    case vbYesNoCancel:
    case vbRetryCancel:
        return vbCancel;
    case vbYesNo:
        return vbNo;
    case vbAbortRetryIgnore:
        return vbAbort;
    default:
        return vbOK;
    }
}

DialogResponder &UnattendedResponder() {
    return unattended;
}

int MsgBox(const std::string &prompt, int buttons, const std::string &title) {
    return responder().Message({prompt, buttons, title.empty() ? std::string(DefaultTitle) : title});
}

std::string InputBox(const std::string &prompt, const std::string &title, const std::string &defaultText) {
    auto answer = responder().Input({prompt, title.empty() ? std::string(DefaultTitle) : title, defaultText});
    return answer ? *answer : std::string();
}

std::optional<PrinterChoice> DialogResponder::PrintSetup(const PrintSetupRequest &) {
    return std::nullopt;
}

std::optional<std::string> InputBoxOrCancel(const std::string &prompt, const std::string &title,
                                            const std::string &defaultText) {
    return responder().Input({prompt, title.empty() ? std::string(DefaultTitle) : title, defaultText});
}

std::optional<PrinterChoice> PrintSetupDialog() {
    PrintSetupRequest request;
    request.current = {Printer().DeviceName(), Printer().PaperSize()};
    for (const std::string &device : PrinterNames()) {
        PrinterOffer offer{device, {}, {}};
        for (const Paper &paper : PrinterPapers(device)) {
            offer.paperCodes.push_back(paper.code);
            offer.paperNames.push_back(paper.name);
        }
        request.printers.push_back(std::move(offer));
    }
    return responder().PrintSetup(request);
}

std::vector<std::string> FileDialogFilters(const std::string &filter) {
    const QStringList parts = ToQt(filter).split('|');
    std::vector<std::string> out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString patterns = "(" + parts[i + 1] + ")";
        // A description that already shows its patterns keeps them once.
        out.push_back(FromQt(parts[i].trimmed().endsWith(patterns) ? parts[i] : parts[i] + " " + patterns));
    }
    return out;
}

std::optional<std::string> FileDialog(const FileRequest &request) {
    return responder().File(request);
}

DialogResponder *SetDialogResponder(DialogResponder *responder) {
    DialogResponder *previous = current;
    current = responder ? responder : &qtResponder;
    return previous == &qtResponder ? nullptr : previous;
}

} // namespace VB
