#pragma once
// The name lists kept beside the main window: "Branches" lists the airway names, "Nodes" the entry-node
// names, each once; a click finds the next airway that carries the name.
#include <QWidget>

#include <string>
#include <vector>

class VBListBox;

class frmNameList : public QWidget {
    Q_OBJECT
public:
    VBListBox *List1 = nullptr;
    // Fills the list once, when the window is loaded.
    void Form_Load();
    void List1_Click();

protected:
    // kind 4 searches airway names, 5 node names.
    frmNameList(const char *caption, int searchKind, QWidget *parent);

private:
    int searchKind_;
};

class frmListAirNames : public frmNameList {
    Q_OBJECT
public:
    explicit frmListAirNames(QWidget *parent = nullptr);
};

class frmListAirNodes : public frmNameList {
    Q_OBJECT
public:
    explicit frmListAirNodes(QWidget *parent = nullptr);
};

// The distinct names of airways 1 .. AirwayCount of one name field, trimmed of blanks (the trimmed name
// is stored back), sorted without regard to case; equal names that end up side by side are listed once.
std::vector<std::string> DistinctNames(int searchKind);
