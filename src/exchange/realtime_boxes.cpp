#include "exchange/realtime_boxes.h"

#include "model/text_files.h"
#include "platform/Dialogs.h"
#include "platform/Text1252.h"
#include "platform/VBError.h"

#include <QLineEdit>

std::string BoxText(const QLineEdit *box) {
    std::string text = FromQt(box->text());
    ReplaceControlCharacters(text);
    return text;
}

std::optional<float> BoxNumber(const QLineEdit *box) {
    try {
        return StrictSingle(StrictValue(FromQt(box->text())));
    } catch (const VBError &) {
        return std::nullopt;
    }
}

bool RefuseNumber(QLineEdit *box) {
    VB::MsgBox("Not a valid number", VB::vbExclamation);
    box->setFocus();
    box->selectAll();
    return false;
}
