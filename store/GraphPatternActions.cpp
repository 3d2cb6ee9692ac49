#include "store/GraphPatternActions.h"

#include "core/LimitCheck.h"
#include "core/OperatorMessages.h"
#include "core/Settings.h"
#include "store/Store.h"

namespace
{

void reportFailure(OperatorMessages &messages, const QString &what, const Store &store)
{
    messages.show(
        what + QStringLiteral("\n\n") + store.lastError(), OperatorMessages::Icon::Critical);
}

// Writes the box; the box takes the pattern status and the overwritten key
// only once the record is safely stored.
bool write(BoxRecord &box, int mode, qint32 key, qint32 directory, const QString &name,
    bool asPattern, Store &store, OperatorMessages &messages)
{
    BoxRecord saved = box;
    saved.UntID = key;
    if (asPattern)
        saved.Status = BoxStatus::Pattern;
    if (!store.SaveBox(saved, mode, name, directory)) {
        reportFailure(messages, QStringLiteral("Graph/pattern cannot be saved:"), store);
        return false;
    }
    saved.Changed = false;
    box = std::move(saved);
    return true;
}

} // namespace

bool SaveBoxAs(BoxRecord &box, qint32 directory, const QString &name, bool asPattern, Store &store,
    OperatorMessages &messages)
{
    const QString wanted = name.trimmed();
    if (wanted.isEmpty()) {
        messages.show(QStringLiteral("No name given!"));
        return false;
    }
    const std::optional<qint32> existing = store.findRecord(directory, wanted);
    if (!existing)
        return write(box, SaveMode::Add, box.UntID, directory, wanted, asPattern, store, messages);
    if (*existing == box.UntID) {
        // Its own record: nothing to do unless the box was changed since.
        if (!box.Changed
            || !messages.askYesNo(
                QStringLiteral("Do you really intend to overwrite the changed graph/pattern?")))
            return false;
    } else if (!messages.askYesNo(
                   QStringLiteral("Do you really intend to overwrite the other graph/pattern?"))) {
        return false;
    }
    return write(
        box, SaveMode::Overwrite, *existing, directory, wanted, asPattern, store, messages);
}

bool LoadIntoBox(BoxRecord &box, qint32 key, Store &store, OperatorMessages &messages)
{
    if (box.Changed
        && !messages.askYesNo(QStringLiteral("Graph/pattern was not saved, overwrite?")))
        return false;
    // Loaded into a copy: a record that cannot be read leaves the box whole.
    BoxRecord loaded = box;
    if (!store.LoadBox(loaded, key)) {
        reportFailure(messages, QStringLiteral("Graph/pattern cannot be loaded:"), store);
        return false;
    }
    CheckLimits(loaded);
    box = std::move(loaded);
    return true;
}

bool DeleteStoredRecord(
    const Settings &settings, qint32 key, Store &store, OperatorMessages &messages)
{
    for (const BoxRecord &b : settings.Boxes) {
        if (b.UntID == key) {
            messages.show(
                QStringLiteral("Graph/pattern cannot be deleted, because it is loaded in box!"));
            return false;
        }
    }
    if (!messages.askYesNo(QStringLiteral("Do you really want to delete ?")))
        return false;
    if (!store.deleteRecord(key)) {
        reportFailure(messages, QStringLiteral("Graph/pattern cannot be deleted:"), store);
        return false;
    }
    return true;
}
