#pragma once
// "About GUSTROM": the program's version, a disclaimer and the system information button.
#include <QDialog>
#include <QLabel>
#include <QPushButton>

#include <cstdint>
#include <string>

class frmAbout2 : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout2(QWidget *parent = nullptr);
    QLabel *Picture1, *Title, *lblDescription, *lblVersion, *Label1, *Label2, *lblDisclaimer;
    QPushButton *cmdOK, *cmdSysInfo;

    void cmdOK_Click();
    void cmdSysInfo_Click();
    // Finds the system information program through the configuration values and starts it, or says that
    // it is unavailable.
    static void StartSysInfo();
    // Reads one configuration value: text as it is, a double word as its decimal number. False (KeyVal
    // empty) when the key or the value is missing; other types leave KeyVal as it was.
    static bool GetKeyValue(int64_t KeyRoot, const std::string &KeyName, const std::string &SubKeyRef,
                            std::string &KeyVal);
};
