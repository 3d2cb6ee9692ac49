#include "ctl/SelectionOptions.h"

#include "core/OperatorMessages.h"
#include "store/Store.h"

namespace
{

bool readDate(const QCommandLineParser &parser, const QString &option, OperatorMessages &messages,
    std::optional<QDate> &date)
{
    if (!parser.isSet(option))
        return true;
    const QDate d = QDate::fromString(parser.value(option), Qt::ISODate);
    if (!d.isValid()) {
        messages.show(
            QStringLiteral("--%1 %2 is no date (yyyy-mm-dd)").arg(option, parser.value(option)));
        return false;
    }
    date = d;
    return true;
}

} // namespace

void AddSelectionOptions(QCommandLineParser &parser)
{
    parser.addOption({ QStringLiteral("dir"),
        QStringLiteral(
            "A graph directory to take the graphs from; repeat for several (default: all)."),
        QStringLiteral("NAME") });
    parser.addOption({ QStringLiteral("from"),
        QStringLiteral("The first test date taken (yyyy-mm-dd)."), QStringLiteral("DATE") });
    parser.addOption({ QStringLiteral("to"),
        QStringLiteral("The last test date taken (yyyy-mm-dd)."), QStringLiteral("DATE") });
    parser.addOption({ QStringLiteral("name"),
        QStringLiteral("Part of the name, or a pattern of the whole name with * and ?."),
        QStringLiteral("FILTER") });
}

bool ReadSelection(const QCommandLineParser &parser, Store &store, OperatorMessages &messages,
    ResultSelection &selection)
{
    for (const QString &name : parser.values(QStringLiteral("dir"))) {
        const std::optional<qint32> id = store.findDirectory(DirectoryType::Graphs, name);
        if (!id) {
            messages.show(QStringLiteral("there is no graph directory \"%1\"").arg(name));
            return false;
        }
        selection.directories << *id;
    }
    selection.name = parser.value(QStringLiteral("name"));
    return readDate(parser, QStringLiteral("from"), messages, selection.from)
        && readDate(parser, QStringLiteral("to"), messages, selection.to);
}
