#include "exchange/ExportFile.h"

#include "exchange/AnsiText.h"
#include "core/Notation.h"
#include "store/Store.h"

#include <QDate>
#include <QSaveFile>
#include <QSqlRecord>
#include <QVariant>

namespace
{

// How a column is written on the record line.
enum class Kind {
    Whole, // a key or status
    Text, // as stored
    Date, // "dd/mm/yy" with the system's separator
    Plain, // a number as the system writes it
    DecimalComma // a number as the system writes it, "." turned into ","
};

struct Column {
    const char *name; // UTF-8: some column names hold umlauts
    Kind kind;
};

constexpr Column Columns[] = {
    { "UntID", Kind::Whole },
    { "Status", Kind::Whole },
    { "VerzID", Kind::Whole },
    { "Benutzer", Kind::Text },
    { "PrüfAm", Kind::Date },
    { "Kovra", Kind::Text },
    { "GrwBez", Kind::Text },
    { "BgArt", Kind::Text },
    { "Bg", Kind::Plain },
    { "HarzTyp", Kind::Text },
    { "BgVon", Kind::Text },
    { "BgVonAm", Kind::Date },
    { "DrVon", Kind::Text },
    { "DrVonAm", Kind::Date },
    { "PaVon", Kind::Text },
    { "PaVonAm", Kind::Date },
    { "GesGew", Kind::Plain },
    { "PaGew", Kind::Plain },
    { "Temp", Kind::DecimalComma },
    { "Luftdurch", Kind::DecimalComma },
    { "Feuchte", Kind::DecimalComma },
    { "Fluß", Kind::DecimalComma },
    { "Asche", Kind::DecimalComma },
    { "Bemerk", Kind::Text },
    { "Erg1", Kind::DecimalComma },
    { "Erg2", Kind::DecimalComma },
    { "Erg3", Kind::DecimalComma },
    { "Erg4", Kind::DecimalComma },
    { "Erg5", Kind::DecimalComma },
    { "GwO1", Kind::DecimalComma },
    { "GWO2", Kind::DecimalComma },
    { "GWO3", Kind::DecimalComma },
    { "GWO4", Kind::DecimalComma },
    { "GWO5", Kind::DecimalComma },
    { "GWU1", Kind::DecimalComma },
    { "GWU2", Kind::DecimalComma },
    { "GWU3", Kind::DecimalComma },
    { "GWU4", Kind::DecimalComma },
    { "GWU5", Kind::DecimalComma },
    { "Ein1", Kind::DecimalComma },
    { "Ein2", Kind::DecimalComma },
    { "Ein3", Kind::DecimalComma },
    { "Ein4", Kind::DecimalComma },
    { "Ein5", Kind::DecimalComma },
    { "Ein6", Kind::DecimalComma },
    { "Ein7", Kind::DecimalComma },
    { "Ein8", Kind::DecimalComma },
    { "Ein9", Kind::DecimalComma },
    { "Ein10", Kind::DecimalComma },
};

const QString LineEnd = QStringLiteral("\r\n");

QString withDecimalComma(QString text)
{
    text.replace(QLatin1Char('.'), QLatin1Char(','));
    return text;
}

// Dates are kept as ISO dates; anything else stored there is written as it is.
QString dateText(const QVariant &value, const Notation &notation)
{
    const int type = value.metaType().id();
    if (type == QMetaType::QDate || type == QMetaType::QDateTime) {
        const QDate date = value.toDate();
        return date.isValid() ? notation.date(date) : QString();
    }
    const QString text = value.toString();
    const QDate date = QDate::fromString(text.left(10), Qt::ISODate);
    return date.isValid() ? notation.date(date) : text;
}

// The record line keeps the record on one line: the notes' line breaks
// become two blanks each, lone ones included, so no note can split it.
QString oneLine(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("  "));
    text.replace(QLatin1Char('\r'), QStringLiteral("  "));
    text.replace(QLatin1Char('\n'), QStringLiteral("  "));
    return text;
}

QString columnText(const QVariant &value, Kind kind, const Notation &notation)
{
    if (value.isNull())
        return QString();
    switch (kind) {
    case Kind::Whole:
        return QString::number(value.toLongLong());
    case Kind::Text:
        return oneLine(value.toString());
    case Kind::Date:
        return dateText(value, notation);
    case Kind::Plain:
        return notation.plain(value.toFloat());
    case Kind::DecimalComma:
        return withDecimalComma(notation.plain(value.toFloat()));
    }
    return QString();
}

// One line per stored point: the time cell, "|", the value cell, each six
// characters with its padding, the way the record holds them.
QString pointLines(const QString &x, const QString &y)
{
    const qsizetype cells = x.size() / 6;
    QString out;
    out.reserve(cells * 15);
    for (qsizetype i = 0; i < cells; ++i) {
        out += y.mid(6 * i, 6).leftJustified(6, QLatin1Char(' '));
        out += QLatin1Char('|');
        out += x.mid(6 * i, 6);
        out += LineEnd;
    }
    return withDecimalComma(out);
}

} // namespace

QByteArray FormatExportRecord(const QSqlRecord &record, const Notation &notation)
{
    QString line = QStringLiteral("-1|-1|");
    for (const Column &c : Columns) {
        line += columnText(record.value(QString::fromUtf8(c.name)), c.kind, notation);
        line += QLatin1Char('|');
    }
    line += LineEnd;
    line += pointLines(
        record.value(QStringLiteral("x")).toString(), record.value(QStringLiteral("y")).toString());
    return EncodeAnsi(line);
}

bool ExportRecord(Store &store, qint32 key, const QString &fileName, const Notation &notation)
{
    const std::optional<QSqlRecord> record = store.rawRecord(key);
    if (!record)
        return false;
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(FormatExportRecord(*record, notation));
    return file.commit();
}
