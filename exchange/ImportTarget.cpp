#include "exchange/ImportTarget.h"

#include "core/BoxRecord.h"
#include "core/Notation.h"
#include "core/OperatorMessages.h"
#include "exchange/ImportFile.h"
#include "store/Store.h"

#include <QCryptographicHash>

namespace
{

const int kNameSize = 50;
const int kKeptPart = 41;

// Dates that the import file gives but that are no dates are stored empty;
// the operator learns which field it was.
void dropUnreadableDates(BoxRecord &record, const Notation &notation, QStringList *notes)
{
    const struct {
        QString *field;
        const char *column;
    } dates[] = { { &record.PruefAm, "PrüfAm" }, { &record.BgVonAm, "BgVonAm" },
        { &record.DrVonAm, "DrVonAm" }, { &record.PaVonAm, "PaVonAm" } };
    for (const auto &d : dates) {
        const QString text = d.field->trimmed();
        if (text.isEmpty() || notation.parseDate(text))
            continue;
        if (notes)
            *notes << QStringLiteral("\"%1\": the date \"%2\" in %3 is no date; it is stored empty")
                          .arg(record.Kovra, text, QString::fromUtf8(d.column));
        d.field->clear();
    }
}

} // namespace

QString ImportTarget::storedName(const QString &fullName)
{
    const QString name = fullName.trimmed();
    if (name.size() <= kNameSize)
        return name;
    const QByteArray digest
        = QCryptographicHash::hash(name.toUtf8(), QCryptographicHash::Sha1).toHex().left(8);
    return name.left(kKeptPart) + QLatin1Char('~') + QString::fromLatin1(digest);
}

QString ImportTarget::lastError() const
{
    return m_store.lastError();
}

std::optional<qint32> ImportTarget::importDirectory(int type)
{
    std::optional<qint32> &known = m_directories.at(type);
    if (!known)
        known = m_store.findDirectory(type, directoryName());
    if (!known)
        known = m_store.addDirectory(type, directoryName());
    // Another program importing at the same time may have made it in between.
    if (!known)
        known = m_store.findDirectory(type, directoryName());
    return known;
}

bool ImportTarget::StoreImportedGraph(const BoxRecord &box, QStringList *notes)
{
    const int type = box.holdsGraph() ? DirectoryType::Graphs : DirectoryType::Patterns;
    const std::optional<qint32> directory = importDirectory(type);
    if (!directory)
        return false;
    // SaveByName marks the record it writes as the box's own; the caller's
    // buffer is not a box and keeps what it holds.
    BoxRecord record = box;
    QStringList found;
    dropUnreadableDates(record, m_store.notation(), &found);
    const QString name = storedName(record.Kovra);
    if (!m_store.SaveByName(record, name, *directory))
        return false;
    if (name != box.Kovra.trimmed())
        found.prepend(QStringLiteral("\"%1\" is longer than %2 characters; it is stored as \"%3\"")
                          .arg(box.Kovra.trimmed(), QString::number(kNameSize), name));
    if (notes)
        *notes << found;
    return true;
}

bool ImportOneFile(const QString &fileName, const QString &displayName, BoxRecord &buffer,
    ImportTarget &target, OperatorMessages &messages)
{
    if (!ReadImportFile(fileName, buffer, displayName, messages)) {
        messages.show(QStringLiteral("error while reading <") + fileName + QLatin1Char('>'),
            OperatorMessages::Icon::Critical);
        return false;
    }
    QStringList notes;
    if (!target.StoreImportedGraph(buffer, &notes)) {
        messages.show(QStringLiteral("error while storing <") + fileName + QStringLiteral(">\n")
                + target.lastError(),
            OperatorMessages::Icon::Critical);
        return false;
    }
    for (const QString &note : notes)
        messages.show(fileName + QStringLiteral(": ") + note, OperatorMessages::Icon::Information);
    return true;
}
