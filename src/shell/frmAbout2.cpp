#include "shell/frmAbout2.h"

#include "platform/Dialogs.h"
#include "platform/System.h"
#include "platform/VBControls.h"
#include "shell/tool_icons.h"

#include <QHBoxLayout>
#include <QLinearGradient>
#include <QPainter>
#include <QVBoxLayout>

#include <filesystem>

namespace {

// The title picture: the program's name on a band shading from deep to pale blue.
QPixmap titlePicture() {
    QImage image(320, 56, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    QLinearGradient band(0, 0, image.width(), 0);
    band.setColorAt(0, QColor(20, 50, 110));
    band.setColorAt(1, QColor(150, 190, 235));
    p.fillRect(image.rect(), band);
    p.setPen(Qt::white);
    p.setFont(QFont("Arial", 26, QFont::Bold));
    p.drawText(image.rect(), Qt::AlignCenter, "GUSTROM");
    return QPixmap::fromImage(image);
}

} // namespace

frmAbout2::frmAbout2(QWidget *parent) : QDialog(parent) {
    setWindowTitle("About GUSTROM");
    Picture1 = new QLabel(this);
    Picture1->setPixmap(QPixmap::fromImage(ToolIcon(4).scaled(48, 48)));
    Title = new QLabel(this);
    Title->setPixmap(titlePicture());
    lblDescription = new QLabel("Ventilation network simulation for underground mines", this);
    lblVersion = new QLabel("Version 3.9.3a May 2010", this);
    Label1 =
        new QLabel("This program is provided as is. Its authors accept no liability for any loss or damage "
                   "arising from its use; results must be checked by a competent ventilation engineer.",
                   this);
    Label1->setWordWrap(true);
    Label2 = new QLabel(this);
    lblDisclaimer = new QLabel(this);
    cmdOK = new QPushButton("OK", this);
    cmdSysInfo = new QPushButton("&System Info...", this);

    auto *top = new QHBoxLayout;
    top->addWidget(Picture1);
    top->addWidget(Title, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdSysInfo);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    for (QLabel *label : {lblDescription, lblVersion, Label1, Label2, lblDisclaimer})
        layout->addWidget(label);
    layout->addLayout(buttons);
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout2::cmdOK_Click);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout2::cmdSysInfo_Click);
    cmdOK->setDefault(true);
    VB_NAME_CONTROLS(Picture1, Title, lblDescription, lblVersion, Label1, Label2, lblDisclaimer, cmdOK,
                     cmdSysInfo);
}

void frmAbout2::cmdOK_Click() {
    accept();
}

void frmAbout2::cmdSysInfo_Click() {
    StartSysInfo();
}

void frmAbout2::StartSysInfo() {
    std::string path;
    if (GetKeyValue(VB::HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH", path) &&
        VB::StartProgram(path))
        return;
    if (GetKeyValue(VB::HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Shared Tools Location", "MSINFO", path)) {
        const std::string program = path + "\\MSINFO32.EXE";
        std::error_code error;
        if (std::filesystem::exists(program, error) && VB::StartProgram(program))
            return;
    }
    VB::MsgBox("System Information Is Unavailable At This Time");
}

bool frmAbout2::GetKeyValue(int64_t KeyRoot, const std::string &KeyName, const std::string &SubKeyRef,
                            std::string &KeyVal) {
    const std::optional<VB::ConfigValue> value = VB::QueryConfigValue(KeyRoot, KeyName, SubKeyRef);
    if (!value) {
        KeyVal.clear();
        return false;
    }
    std::string bytes = value->bytes.substr(0, 1024);
    if (!bytes.empty() && bytes.back() == '\0')
        bytes.pop_back();
    if (value->type == VB::REG_SZ) {
        KeyVal = bytes;
    } else if (value->type == VB::REG_DWORD) {
        // Stored low byte first: the number is read from the last byte, two hexadecimal digits each.
        const std::string word = bytes.substr(0, 4);
        uint32_t number = 0;
        for (auto it = word.rbegin(); it != word.rend(); ++it)
            number = (number << 8) | static_cast<unsigned char>(*it);
        KeyVal = std::to_string(number);
    }
    return true;
}
