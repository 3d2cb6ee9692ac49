#include "exchange/ImportTarget.h"

#include "exchange/ImportFile.h"
#include "core/BoxRecord.h"
#include "core/OperatorMessages.h"
#include "store/Store.h"

std::optional<qint32> ImportTarget::importDirectory(int type)
{
    std::optional<qint32> &known = m_directories.at(type);
    if (!known)
        known = m_store.findDirectory(type, directoryName());
    if (!known)
        known = m_store.addDirectory(type, directoryName());
    return known;
}

bool ImportTarget::StoreImportedGraph(const BoxRecord &box)
{
    const int type = box.holdsGraph() ? DirectoryType::Graphs : DirectoryType::Patterns;
    const std::optional<qint32> directory = importDirectory(type);
    if (!directory)
        return false;
    // SaveBox marks the record it writes as the box's own; the caller's
    // buffer is not a box and keeps what it holds.
    BoxRecord record = box;
    const std::optional<qint32> existing = m_store.findRecord(*directory, record.Kovra);
    if (existing)
        record.UntID = *existing;
    return m_store.SaveBox(
        record, existing ? SaveMode::Overwrite : SaveMode::Add, record.Kovra, *directory);
}

bool ImportOneFile(const QString &fileName, const QString &displayName, BoxRecord &buffer,
    ImportTarget &target, OperatorMessages &messages)
{
    if (!ReadImportFile(fileName, buffer, displayName, messages)) {
        messages.show(QStringLiteral("error while reading <") + fileName + QLatin1Char('>'),
            OperatorMessages::Icon::Critical);
        return false;
    }
    if (!target.StoreImportedGraph(buffer)) {
        messages.show(QStringLiteral("error while storing <") + fileName + QLatin1Char('>'),
            OperatorMessages::Icon::Critical);
        return false;
    }
    return true;
}
