#include "store/RecordColumns.h"

namespace RecordColumns
{

const QStringList &specimen()
{
    static const QStringList columns = {
        QStringLiteral("GrwBez"),
        QStringLiteral("Benutzer"),
        QStringLiteral("PrüfAm"),
        QStringLiteral("BgArt"),
        QStringLiteral("Bg"),
        QStringLiteral("HarzTyp"),
        QStringLiteral("BgVon"),
        QStringLiteral("BgVonAm"),
        QStringLiteral("DrVon"),
        QStringLiteral("DrVonAm"),
        QStringLiteral("PaVon"),
        QStringLiteral("PaVonAm"),
        QStringLiteral("GesGew"),
        QStringLiteral("PaGew"),
        QStringLiteral("Luftdurch"),
        QStringLiteral("Temp"),
        QStringLiteral("Feuchte"),
        QStringLiteral("Fluß"),
        QStringLiteral("Asche"),
        QStringLiteral("Bemerk"),
    };
    return columns;
}

const QStringList &graph()
{
    static const QStringList columns = [] {
        QStringList c = { QStringLiteral("x"), QStringLiteral("y") };
        for (int k = 1; k <= 10; ++k)
            c << QStringLiteral("Ein%1").arg(k);
        for (int k = 1; k <= 5; ++k)
            c << QStringLiteral("Erg%1").arg(k);
        c << QStringLiteral("GwO1");
        for (int k = 2; k <= 5; ++k)
            c << QStringLiteral("GWO%1").arg(k);
        for (int k = 1; k <= 5; ++k)
            c << QStringLiteral("GWU%1").arg(k);
        c << QStringLiteral("Fehlend") << QStringLiteral("Unvollst");
        return c;
    }();
    return columns;
}

const QStringList &dates()
{
    static const QStringList columns = { QStringLiteral("PrüfAm"), QStringLiteral("BgVonAm"),
        QStringLiteral("DrVonAm"), QStringLiteral("PaVonAm") };
    return columns;
}

QString quoted(const QString &column)
{
    return QLatin1Char('"') + column + QLatin1Char('"');
}

} // namespace RecordColumns
