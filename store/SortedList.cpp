#include "store/SortedList.h"

#include "core/OperatorMessages.h"
#include "store/Store.h"

#include <QListWidget>

namespace
{
constexpr int KeyRole = Qt::UserRole;
}

void AddSorted(QListWidget *list, const QString &text, qint32 key)
{
    // Insert behind every entry that does not sort after the new one.
    int row = list->count();
    while (row > 0 && QString::compare(list->item(row - 1)->text(), text, Qt::CaseInsensitive) > 0)
        --row;
    auto *item = new QListWidgetItem(text);
    item->setData(KeyRole, key);
    list->insertItem(row, item);
}

qint32 SelectedKey(const QListWidget *list)
{
    const QList<QListWidgetItem *> items = list->selectedItems();
    return items.isEmpty() ? -1 : items.first()->data(KeyRole).toInt();
}

void ReportIncompleteList(const Store &store, OperatorMessages &messages)
{
    if (store.lastError().isEmpty())
        return;
    messages.show(QStringLiteral("The list is not complete: %1").arg(store.lastError()),
        OperatorMessages::Icon::Critical);
}
