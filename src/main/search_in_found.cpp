#include "main/search_in_found.h"

#include "dialogs/find_dialog.h"
#include "dialogs/msg.h"
#include "main/fmain.h"
#include "main/input_text.h"
#include "main/result_tree.h"

#include <QAction>
#include <QString>
#include <QTreeWidget>

namespace parvex {
namespace {

// A place in display order: a group by its index, and within it -1 for the group node itself
// or the index of one of its files. Stepping by indices keeps every step constant in time.
struct TTreePlace {
    int Group = 0;
    int File = -1;
};

QTreeWidgetItem* NodeAt(const QTreeWidget& tree, TTreePlace place) {
    QTreeWidgetItem* group = tree.topLevelItem(place.Group);
    return place.File < 0 ? group : group->child(place.File);
}

TTreePlace PlaceOf(const QTreeWidget& tree, QTreeWidgetItem* node) {
    QTreeWidgetItem* parent = node->parent();
    if (parent == nullptr)
        return {tree.indexOfTopLevelItem(node), -1};
    return {tree.indexOfTopLevelItem(parent), parent->indexOfChild(node)};
}

bool StepDown(const QTreeWidget& tree, TTreePlace& place) {
    if (place.File + 1 < tree.topLevelItem(place.Group)->childCount()) {
        ++place.File;
        return true;
    }
    if (place.Group + 1 >= tree.topLevelItemCount())
        return false;
    place = {place.Group + 1, -1};
    return true;
}

bool StepUp(const QTreeWidget& tree, TTreePlace& place) {
    if (place.File >= 0) {
        --place.File;
        return true;
    }
    if (place.Group == 0)
        return false;
    --place.Group;
    place.File = tree.topLevelItem(place.Group)->childCount() - 1;
    return true;
}

bool Step(const QTreeWidget& tree, TTreePlace& place, bool down) {
    return down ? StepDown(tree, place) : StepUp(tree, place);
}

} // namespace

QTreeWidgetItem* FindNextMatch(const QTreeWidget& tree, QTreeWidgetItem* position,
                               const QString& pattern, bool down) {
    if (pattern.isEmpty() || tree.topLevelItemCount() == 0)
        return nullptr;
    TTreePlace place;
    if (position != nullptr) {
        place = PlaceOf(tree, position);
        if (place.Group < 0 || !Step(tree, place, down))
            return nullptr;
    }
    for (;;) {
        QTreeWidgetItem* node = NodeAt(tree, place);
        if (node->text(0).contains(pattern, Qt::CaseInsensitive))
            return node;
        if (!Step(tree, place, down))
            return nullptr;
    }
}

void TFmain::TB_search_in_foundClick() {
    if (TB_search_in_found->isEnabled())
        FindDialog1->Execute();
}

void TFmain::FindDialog1Find() {
    const QString pattern = TrimmedOfBlanks(FindDialog1->FindText());
    QTreeWidgetItem* found = FindNextMatch(*TV1, FindPosition, pattern, FindDialog1->SearchDown());
    if (found != nullptr) {
        if (QTreeWidgetItem* group = found->parent())
            group->setExpanded(true);
        TV1->setCurrentItem(found);
        TV1->scrollToItem(found);
        FindPosition = found;
        return;
    }
    FindPosition = SelectedNode();
    ShowText(QStringLiteral("No mathces found"));
}

} // namespace parvex
