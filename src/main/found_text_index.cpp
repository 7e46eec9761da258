#include "main/found_text_index.h"

#include <QStringMatcher>
#include <QTreeWidget>
#include <algorithm>

namespace parvex {

void TFoundTextIndex::Clear() {
    folded_.clear();
    starts_.clear();
    nodes_.clear();
}

void TFoundTextIndex::Assign(QString foldedTexts, const QList<QTreeWidgetItem*>& groups) {
    Clear();
    folded_ = std::move(foldedTexts);
    for (QTreeWidgetItem* group : groups) {
        nodes_.push_back(group);
        for (int f = 0; f < group->childCount(); ++f)
            nodes_.push_back(group->child(f));
    }
    starts_.reserve(nodes_.size() + 1);
    starts_.push_back(0);
    for (qsizetype i = 0; i < folded_.size(); ++i) {
        if (folded_.at(i).unicode() == 0)
            starts_.push_back(i + 1);
    }
    // A text that does not fit the nodes is useless for finding them.
    if (starts_.size() != nodes_.size() + 1)
        Clear();
}

void TFoundTextIndex::Forget(const QTreeWidgetItem* node) {
    const auto found = std::find(nodes_.begin(), nodes_.end(), node);
    if (found != nodes_.end())
        *found = nullptr;
}

std::size_t TFoundTextIndex::NodeAtOffset(qsizetype offset) const {
    return static_cast<std::size_t>(std::upper_bound(starts_.begin(), starts_.end(), offset) -
                                    starts_.begin() - 1);
}

// A pattern holds no NUL, so every hit lies inside one node's text.
QTreeWidgetItem* TFoundTextIndex::FindDown(const QString& pattern, std::size_t first) const {
    const QStringMatcher matcher(pattern);
    qsizetype from = starts_[first];
    for (;;) {
        const qsizetype hit = matcher.indexIn(folded_, from);
        if (hit < 0)
            return nullptr;
        const std::size_t node = NodeAtOffset(hit);
        if (nodes_[node] != nullptr)
            return nodes_[node];
        from = starts_[node + 1];
    }
}

QTreeWidgetItem* TFoundTextIndex::FindUp(const QString& pattern, std::size_t end) const {
    qsizetype from = starts_[end] - 1;
    while (from >= 0) {
        const qsizetype hit = folded_.lastIndexOf(pattern, from);
        if (hit < 0)
            return nullptr;
        const std::size_t node = NodeAtOffset(hit);
        if (nodes_[node] != nullptr)
            return nodes_[node];
        from = starts_[node] - 1;
    }
    return nullptr;
}

QTreeWidgetItem* TFoundTextIndex::FindNext(const QTreeWidgetItem* position, const QString& pattern,
                                           bool down) const {
    const QString folded = pattern.toCaseFolded();
    if (folded.isEmpty() || folded.contains(QChar(0)) || nodes_.empty())
        return nullptr;
    const auto place = std::find(nodes_.begin(), nodes_.end(), position);
    if (position == nullptr || place == nodes_.end()) {
        // From the top: the first node, then onwards down; up there is nothing before it.
        if (down)
            return FindDown(folded, 0);
        return FindUp(folded, 1);
    }
    const auto index = static_cast<std::size_t>(place - nodes_.begin());
    return down ? FindDown(folded, index + 1) : FindUp(folded, index);
}

} // namespace parvex
