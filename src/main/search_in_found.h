#pragma once

class QString;
class QTreeWidget;
class QTreeWidgetItem;

namespace parvex {

/// The next node after `position` (down) or before it (up) in display order, collapsed groups
/// included, whose text contains `pattern` without regard to case. With no position the search
/// examines the first node of the tree first, whatever the direction. There is no wrap-around;
/// an empty pattern matches nothing. Null when no node matches.
QTreeWidgetItem* FindNextMatch(const QTreeWidget& tree, QTreeWidgetItem* position,
                               const QString& pattern, bool down);

} // namespace parvex
