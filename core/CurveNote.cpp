#include "core/CurveNote.h"

#include "core/BoxRecord.h"

#include <QStringList>

QString CurveNote(const BoxRecord &box)
{
    if (!box.holdsGraph())
        return {};
    QStringList parts;
    if (box.Unvollst)
        parts << QStringLiteral("measurement incomplete");
    if (box.Fehlend == 1)
        parts << QStringLiteral("1 reading missing, interpolated");
    else if (box.Fehlend > 1)
        parts << QStringLiteral("%1 readings missing, interpolated").arg(box.Fehlend);
    return parts.join(QStringLiteral(", "));
}
