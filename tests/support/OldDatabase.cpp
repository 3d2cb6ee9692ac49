#include "support/OldDatabase.h"

#include <QDate>
#include <QRandomGenerator>

namespace OldDatabase
{
namespace
{

using Jet::Column;
using Jet::Type;

Column single(const QString &name)
{
    return { name, Type::Single };
}

QString cell(float v, bool decimalComma)
{
    QString t = QString::number(double(v));
    if (decimalComma)
        t.replace(QLatin1Char('.'), QLatin1Char(','));
    return t.left(6).leftJustified(6, QLatin1Char(' '));
}

const QStringList kUsers
    = { QStringLiteral("Jürgen Weiß"), QStringLiteral("Ömer Çelik"), QStringLiteral("Anne") };
const QStringList kResins
    = { QStringLiteral("Phenolharz"), QStringLiteral("Melaminharz"), QStringLiteral("Epoxid ÄÖÜ") };

// A text column's value: mostly text, now and then "" or Null.
QVariant sometimes(QRandomGenerator &rng, const QString &text)
{
    switch (rng.bounded(8)) {
    case 0:
        return QVariant();
    case 1:
        return QString(QLatin1String(""));
    default:
        return text;
    }
}

QDate someDate(QRandomGenerator &rng)
{
    return QDate(1994, 1, 1).addDays(rng.bounded(365 * 12));
}

float someSingle(QRandomGenerator &rng, float scale)
{
    return float(rng.generateDouble()) * scale;
}

QString notes(QRandomGenerator &rng, int n)
{
    QString text
        = QStringLiteral("Probe %1: Fließverhalten geprüft.\r\nÄußerlich ohne Befund.").arg(n);
    if (rng.bounded(3) == 0)
        text += QStringLiteral("\r\nLange Bemerkung: ") + QString(150, QChar(0x00e4));
    return text.left(255);
}

Jet::Row recordRow(QRandomGenerator &rng, int key, int directory, bool graph)
{
    const bool comma = rng.bounded(2) == 0;
    Jet::Row r = { key, directory, graph ? 4 : 2, QStringLiteral("Prüfling %1").arg(key) };
    r << (rng.bounded(3) == 0 ? QVariant()
                              : QVariant(QStringLiteral("Grenzwerte Öl").leftJustified(50)));
    r << sometimes(rng, kUsers[key % kUsers.size()]) << QVariant(someDate(rng))
      << sometimes(rng, QStringLiteral("Tränkung A")) << someSingle(rng, 200)
      << sometimes(rng, kResins[key % kResins.size()]) << sometimes(rng, QStringLiteral("Müller"))
      << (rng.bounded(4) == 0 ? QVariant() : QVariant(someDate(rng)))
      << sometimes(rng, QStringLiteral("Druckerei Süd"))
      << (rng.bounded(4) == 0 ? QVariant() : QVariant(someDate(rng)))
      << sometimes(rng, QStringLiteral("Papierfabrik"))
      << (rng.bounded(4) == 0 ? QVariant() : QVariant(someDate(rng)));
    for (float scale : { 300.f, 150.f, 40.f, 30.f, 10.f, 5.f, 1.f })
        r << someSingle(rng, scale);
    r << sometimes(rng, notes(rng, key));
    if (!graph) {
        r << QVariant() << QVariant();
        for (int k = 0; k < 25; ++k)
            r << QVariant();
        return r;
    }
    const int points = 1 + int(rng.bounded(299));
    QList<float> x, y;
    for (int i = 0; i < points; ++i) {
        x << someSingle(rng, 100);
        y << float(i) * 2.5f;
    }
    x << -1000.f;
    y << float(points) * 2.5f;
    r << curveCells(x, comma) << curveCells(y, comma);
    for (int k = 0; k < 25; ++k)
        r << someSingle(rng, 500);
    return r;
}

} // namespace

QList<Column> directoryColumns()
{
    return { { QStringLiteral("VerzID"), Type::Long, 0, true },
        { QStringLiteral("VerzName"), Type::Text, 50 },
        { QStringLiteral("VerzTyp"), Type::Integer } };
}

QList<Column> recordColumns()
{
    QList<Column> c = { { QStringLiteral("UntID"), Type::Long, 0, true },
        { QStringLiteral("VerzID"), Type::Long }, { QStringLiteral("Status"), Type::Integer },
        { QStringLiteral("Kovra"), Type::Text, 50 }, { QStringLiteral("GrwBez"), Type::Text, 50 },
        { QStringLiteral("Benutzer"), Type::Text, 50 },
        { QStringLiteral("PrüfAm"), Type::DateTime }, { QStringLiteral("BgArt"), Type::Text, 50 },
        single(QStringLiteral("Bg")), { QStringLiteral("HarzTyp"), Type::Text, 50 },
        { QStringLiteral("BgVon"), Type::Text, 50 }, { QStringLiteral("BgVonAm"), Type::DateTime },
        { QStringLiteral("DrVon"), Type::Text, 50 }, { QStringLiteral("DrVonAm"), Type::DateTime },
        { QStringLiteral("PaVon"), Type::Text, 50 }, { QStringLiteral("PaVonAm"), Type::DateTime },
        single(QStringLiteral("GesGew")), single(QStringLiteral("PaGew")),
        single(QStringLiteral("Luftdurch")), single(QStringLiteral("Temp")),
        single(QStringLiteral("Feuchte")), single(QStringLiteral("Fluß")),
        single(QStringLiteral("Asche")), { QStringLiteral("Bemerk"), Type::Text, 255 },
        { QStringLiteral("x"), Type::Memo }, { QStringLiteral("y"), Type::Memo } };
    for (int k = 1; k <= 10; ++k)
        c << single(QStringLiteral("Ein%1").arg(k));
    for (int k = 1; k <= 5; ++k)
        c << single(QStringLiteral("Erg%1").arg(k));
    c << single(QStringLiteral("GwO1"));
    for (int k = 2; k <= 5; ++k)
        c << single(QStringLiteral("GWO%1").arg(k));
    for (int k = 1; k <= 5; ++k)
        c << single(QStringLiteral("GWU%1").arg(k));
    return c;
}

QList<Column> limitColumns()
{
    QList<Column> c = { { QStringLiteral("GrwID"), Type::Long, 0, true },
        { QStringLiteral("GrwName"), Type::Text, 50 }, { QStringLiteral("VerzID"), Type::Long } };
    for (const char *name : { "uAushärtVnach", "oAushärtVnach", "uAushärtT", "oAushärtT",
             "uAushärtV", "oAushärtV", "uFließT", "oFließT", "uFlexibilität", "oFlexibilität" })
        c << single(QString::fromUtf8(name));
    return c;
}

QList<Column> settingsColumns()
{
    QList<Column> c;
    for (int k = 1; k <= 5; ++k)
        c << Column { QStringLiteral("DisKvFa%1").arg(k), Type::Long };
    for (const char *name : { "PrnOffOb", "PrnOffUn", "PrnOffRe", "PrnOffLi" })
        c << single(QString::fromLatin1(name));
    c << Column { QStringLiteral("AEB"), Type::Integer } << single(QStringLiteral("AZB"))
      << Column { QStringLiteral("LinieDr"), Type::Integer }
      << Column { QStringLiteral("LinieGr"), Type::Integer }
      << Column { QStringLiteral("Rührer"), Type::Long } << single(QStringLiteral("Temp"))
      << single(QStringLiteral("Viskos")) << Column { QStringLiteral("AD_Adr"), Type::Integer }
      << Column { QStringLiteral("IO_ADR"), Type::Integer };
    return c;
}

Jet::Row settingsRow()
{
    return { 255, 65280, 16711680, 33023, 8421376, 0.25f, 0.5f, 0.75f, 1.0f, 3, 25.f, 6, 2, 40,
        23.5f, 0.1234f, 768, 888 };
}

QString curveCells(const QList<float> &values, bool decimalComma)
{
    QString out;
    for (float v : values)
        out += cell(v, decimalComma);
    return out;
}

QList<Jet::Table> tables(int records, unsigned seed)
{
    QRandomGenerator rng(seed);
    Jet::Table dirs { QStringLiteral("Verzeichnisse"), directoryColumns(), {} };
    Jet::Table recs { QStringLiteral("Untersuchungen"), recordColumns(), {} };
    Jet::Table limits { QStringLiteral("Grenzwerte"), limitColumns(), {} };
    Jet::Table init { QStringLiteral("Init"), settingsColumns(), { settingsRow() } };

    // Directories of the three types in turn, keys 1, 3, 4, 6, ... (every
    // third number was deleted).
    const int directoryCount = records / 20 + 3;
    QList<int> byType[3];
    int key = 0;
    const QStringList names = { QStringLiteral("Versuche März %1"),
        QStringLiteral("Grenzwerte Öl %1"), QStringLiteral("Muster für Größe %1") };
    for (int i = 0; i < directoryCount; ++i) {
        key += (i % 3 == 1) ? 2 : 1;
        const int type = i % 3;
        byType[type] << key;
        dirs.rows << Jet::Row { key, names[type].arg(i), type };
    }
    int recordKey = 10;
    for (int i = 0; i < records; ++i) {
        recordKey += (i % 7 == 6) ? 3 : 1;
        const bool graph = i % 4 != 3;
        const QList<int> &candidates = byType[graph ? 0 : 2];
        recs.rows << recordRow(rng, recordKey, candidates[i % candidates.size()], graph);
    }
    int limitKey = 100;
    for (int i = 0; i < std::max(1, records / 10); ++i) {
        limitKey += (i % 5 == 4) ? 4 : 1;
        Jet::Row r = { limitKey, QStringLiteral("Grenzwerte Öl %1").arg(i),
            byType[1][i % byType[1].size()] };
        for (int k = 0; k < 10; ++k)
            r << someSingle(rng, 999);
        limits.rows << r;
    }
    return { dirs, recs, limits, init };
}

} // namespace OldDatabase
