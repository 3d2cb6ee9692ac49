#pragma once

#include <QString>

class OperatorMessages;
class Store;
struct BoxRecord;
struct Settings;

// The decisions of the graph/pattern dialog, apart from its window: which
// record is meant, whether it may be overwritten, what the box becomes.
// Each returns true when the action was carried out (the dialog then closes,
// or after a delete refreshes its list) and false when it was refused,
// answered No or failed; the operator has been told what needs telling.

// Saves box under name (trimmed) in directory. asPattern turns the box into
// a pattern first, so only its specimen data is stored.
bool SaveBoxAs(BoxRecord &box, qint32 directory, const QString &name, bool asPattern, Store &store,
    OperatorMessages &messages);

// Loads record key into box, asking first when box holds unsaved changes,
// and compares the loaded results with the loaded limits.
bool LoadIntoBox(BoxRecord &box, qint32 key, Store &store, OperatorMessages &messages);

// Deletes record key after asking, unless one of the five boxes holds it.
bool DeleteStoredRecord(
    const Settings &settings, qint32 key, Store &store, OperatorMessages &messages);
