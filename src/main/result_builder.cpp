#include "main/result_builder.h"

#include "main/found_text_index.h"

#include <QByteArray>
#include <QTreeWidgetItem>
#include <algorithm>
#include <numeric>
#include <utility>

namespace parvex {

// One sort key per node, computed once: comparing keys is a byte comparison, where a collator
// comparison of two texts would redo the locale analysis at every step of the sort.
void SortNodesByText(QList<QTreeWidgetItem*>& nodes, const QCollator& collator) {
    std::vector<std::pair<QCollatorSortKey, QTreeWidgetItem*>> keyed;
    keyed.reserve(static_cast<std::size_t>(nodes.size()));
    for (QTreeWidgetItem* node : nodes)
        keyed.emplace_back(collator.sortKey(node->text(0)), node);
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first.compare(b.first) < 0; });
    for (std::size_t i = 0; i < keyed.size(); ++i)
        nodes[static_cast<qsizetype>(i)] = keyed[i].second;
}

TResultBuilder::~TResultBuilder() {
    Restart(collator_);
}

void TResultBuilder::Restart(const QCollator& collator) {
    qDeleteAll(openFiles_);
    openFiles_.clear();
    for (TGroup& group : groups_)
        delete group.Node;
    groups_.clear();
    collator_ = collator;
}

QTreeWidgetItem* TResultBuilder::AddGroup(const QString& text) {
    CloseGroup();
    auto* node = new QTreeWidgetItem(QStringList(text));
    groups_.push_back({collator_.sortKey(text), node, QString()});
    return node;
}

QTreeWidgetItem* TResultBuilder::AddFile(const QString& text, const QByteArray& path) {
    if (groups_.empty())
        return nullptr;
    auto* node = new QTreeWidgetItem(QStringList(text));
    node->setData(0, Qt::UserRole, path);
    openFiles_.append(node);
    return node;
}

void TResultBuilder::CloseGroup() {
    if (groups_.empty())
        return;
    TGroup& group = groups_.back();
    SortNodesByText(openFiles_, collator_);
    QString texts = group.Node->text(0);
    texts += QChar(0);
    for (const QTreeWidgetItem* file : std::as_const(openFiles_)) {
        texts += file->text(0);
        texts += QChar(0);
    }
    group.FoldedTexts = std::move(texts).toCaseFolded();
    group.Node->addChildren(openFiles_);
    openFiles_.clear();
}

QList<QTreeWidgetItem*> TResultBuilder::TakeSorted(TFoundTextIndex& index) {
    CloseGroup();
    std::vector<std::size_t> order(groups_.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [this](std::size_t a, std::size_t b) {
        return groups_[a].Key.compare(groups_[b].Key) < 0;
    });
    QList<QTreeWidgetItem*> sorted;
    sorted.reserve(static_cast<qsizetype>(groups_.size()));
    qsizetype length = 0;
    for (const TGroup& group : groups_)
        length += group.FoldedTexts.size();
    QString texts;
    texts.reserve(length);
    for (std::size_t i : order) {
        sorted.append(groups_[i].Node);
        texts += groups_[i].FoldedTexts;
    }
    groups_.clear();
    index.Assign(std::move(texts), sorted);
    return sorted;
}

} // namespace parvex
