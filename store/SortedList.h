#pragma once

#include <QtGlobal>

class QListWidget;
class QString;
class OperatorMessages;
class Store;

// The store's dialogs show their lists sorted by name, upper and lower case
// alike, with the key of each entry as its item data; entries of equal names
// keep the order in which they were added (table order).
void AddSorted(QListWidget *list, const QString &text, qint32 key);
// Key of the selected entry, -1 if none is selected.
qint32 SelectedKey(const QListWidget *list);
// After a list was filled from the store: when the store could not read it
// to its end, the operator is told that the list is not complete, and why.
void ReportIncompleteList(const Store &store, OperatorMessages &messages);
