#include "store/HostName.h"

#include <QHostAddress>
#include <QRegularExpression>
#include <QString>

bool IsHostName(const QString &text)
{
    if (text.isEmpty() || text.size() > 253)
        return false;
    if (QHostAddress().setAddress(text))
        return true;
    static const QRegularExpression name(
        QStringLiteral("^(?=.*[A-Za-z-])[A-Za-z0-9](?:[A-Za-z0-9-]{0,61}[A-Za-z0-9])?"
                       "(?:\\.[A-Za-z0-9](?:[A-Za-z0-9-]{0,61}[A-Za-z0-9])?)*$"));
    return name.match(text).hasMatch();
}
