#include "tables/name_lists.h"

#include "graphics/locate.h"
#include "model/Gustrom1.h"
#include "platform/Text1252.h"
#include "platform/VBControls.h"

#include <QStringList>
#include <QVBoxLayout>

#include <algorithm>

std::vector<std::string> DistinctNames(int searchKind) {
    VBArray<NodeName> &field = searchKind == 4 ? AirwayName : AirwayStartName;
    std::vector<std::string> names;
    names.reserve(static_cast<size_t>(AirwayCount));
    for (int a = 1; a <= AirwayCount; ++a) {
        std::string name = Trim(field(a).str());
        field(a) = name;
        if (!name.empty())
            names.push_back(std::move(name));
    }
    // One sort instead of a sorted list's insertions: equal keys keep the order they were added in.
    std::vector<std::pair<std::string, size_t>> keyed;
    keyed.reserve(names.size());
    for (size_t i = 0; i < names.size(); ++i)
        keyed.emplace_back(UCase1252(names[i]), i);
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto &x, const auto &y) { return x.first < y.first; });
    std::vector<std::string> sorted;
    sorted.reserve(names.size());
    for (const auto &k : keyed) {
        std::string &name = names[k.second];
        if (sorted.empty() || sorted.back() != name)
            sorted.push_back(std::move(name));
    }
    return sorted;
}

frmNameList::frmNameList(const char *caption, int searchKind, QWidget *parent)
    : QWidget(parent, Qt::Tool), searchKind_(searchKind) {
    setWindowTitle(caption);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    List1 = new VBListBox(this);
    layout->addWidget(List1);
    resize(220, 300);
    connect(List1, &VBListBox::Click, this, &frmNameList::List1_Click);
    VB_NAME_CONTROLS(List1);
}

void frmNameList::Form_Load() {
    QStringList entries;
    for (const std::string &name : DistinctNames(searchKind_))
        entries << ToQt(name);
    List1->clear();
    List1->addItems(entries);
}

void frmNameList::List1_Click() {
    const int index = List1->ListIndex();
    if (index < 0)
        return;
    SearchText = UCase1252(List1->List(index));
    SearchKind = searchKind_;
    FindNextBranch();
}

frmListAirNames::frmListAirNames(QWidget *parent) : frmNameList("Branches", 4, parent) {}

frmListAirNodes::frmListAirNodes(QWidget *parent) : frmNameList("Nodes", 5, parent) {}
