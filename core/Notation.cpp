#include "core/Notation.h"

#include <QLocale>
#include <QStringList>
#include <cmath>

namespace {

QString trimTrailingZeros(QString text)
{
    const int exp = text.indexOf(QLatin1Char('e'), 0, Qt::CaseInsensitive);
    QString mantissa = exp >= 0 ? text.left(exp) : text;
    const QString exponent = exp >= 0 ? text.mid(exp) : QString();
    if (mantissa.contains(QLatin1Char('.'))) {
        while (mantissa.endsWith(QLatin1Char('0')))
            mantissa.chop(1);
        if (mantissa.endsWith(QLatin1Char('.')))
            mantissa.chop(1);
    }
    return mantissa + exponent.toUpper();
}

QString significant(double value, int digits)
{
    if (value == 0)
        return QStringLiteral("0");
    return trimTrailingZeros(QString::number(value, 'g', digits));
}

// One section of a format like "0.0": literal prefix, digits, literal suffix.
QString formatSection(double magnitude, const QString &section, QChar decimal)
{
    int first = -1, last = -1;
    for (int i = 0; i < section.size(); ++i) {
        const QChar c = section.at(i);
        if (c == QLatin1Char('0') || c == QLatin1Char('#') || c == QLatin1Char('.')) {
            if (first < 0)
                first = i;
            last = i;
        }
    }
    if (first < 0)
        return section;
    const QString digits = section.mid(first, last - first + 1);
    const int point = digits.indexOf(QLatin1Char('.'));
    const int decimals = point < 0 ? 0 : int(digits.size() - point - 1);
    const double scale = std::pow(10.0, decimals);
    // Halves round away from zero, as the lab's printed figures always have.
    const double rounded = std::floor(magnitude * scale + 0.5) / scale;
    QString text = QString::number(rounded, 'f', decimals);
    text.replace(QLatin1Char('.'), decimal);
    return section.left(first) + text + section.mid(last + 1);
}

bool readPlainNumber(const QString &text, QChar decimal, double &out)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    QString normal;
    int digits = 0, points = 0;
    for (int i = 0; i < t.size(); ++i) {
        const QChar c = t.at(i);
        if ((c == QLatin1Char('-') || c == QLatin1Char('+')) && i == 0) {
            normal += c;
        } else if (c.isDigit()) {
            normal += c;
            ++digits;
        } else if (c == decimal && points == 0) {
            normal += QLatin1Char('.');
            ++points;
        } else {
            return false;
        }
    }
    if (digits == 0)
        return false;
    bool ok = false;
    out = normal.toDouble(&ok);
    return ok && std::isfinite(out);
}

} // namespace

Notation::Notation(QChar decimalSeparator, QChar dateSeparator)
    : m_decimal(decimalSeparator), m_date(dateSeparator)
{
}

Notation Notation::fromSystem()
{
    const QLocale locale = QLocale::system();
    const QString point = locale.decimalPoint();
    QChar dateSep = QLatin1Char('/');
    for (const QChar c : locale.dateFormat(QLocale::ShortFormat)) {
        if (!c.isLetter() && !c.isSpace()) {
            dateSep = c;
            break;
        }
    }
    return Notation(point.isEmpty() ? QLatin1Char('.') : point.at(0), dateSep);
}

QString Notation::localise(QString text) const
{
    text.replace(QLatin1Char('.'), m_decimal);
    return text;
}

QString Notation::plain(float value) const
{
    return localise(significant(double(value), 7));
}

QString Notation::general(double value) const
{
    return localise(significant(value, 15));
}

QString Notation::wire(float value)
{
    const QString text = significant(double(value), 7);
    return value >= 0 ? QLatin1Char(' ') + text : text;
}

QString Notation::format(double value, const QString &pattern) const
{
    const QStringList sections = pattern.split(QLatin1Char(';'));
    if (value == 0 && sections.size() >= 3)
        return formatSection(0, sections.at(2), m_decimal);
    if (value < 0) {
        if (sections.size() >= 2 && !sections.at(1).isEmpty())
            return formatSection(-value, sections.at(1), m_decimal);
        return QLatin1Char('-') + formatSection(-value, sections.at(0), m_decimal);
    }
    return formatSection(value, sections.at(0), m_decimal);
}

std::optional<double> Notation::parseNumber(const QString &text) const
{
    double v = 0;
    if (readPlainNumber(text, m_decimal, v))
        return v;
    return std::nullopt;
}

std::optional<double> Notation::parseNumberLenient(const QString &text) const
{
    QString t = text;
    if (m_decimal == QLatin1Char(','))
        t.remove(QLatin1Char('.'));
    return parseNumber(t);
}

double Notation::leadingNumber(const QString &text)
{
    int i = 0;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    const int start = i;
    if (i < text.size() && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+')))
        ++i;
    bool digits = false;
    while (i < text.size() && text.at(i).isDigit()) {
        ++i;
        digits = true;
    }
    if (i < text.size() && text.at(i) == QLatin1Char('.')) {
        ++i;
        while (i < text.size() && text.at(i).isDigit()) {
            ++i;
            digits = true;
        }
    }
    if (!digits)
        return 0;
    if (i < text.size() && (text.at(i) == QLatin1Char('e') || text.at(i) == QLatin1Char('E'))) {
        int j = i + 1;
        if (j < text.size() && (text.at(j) == QLatin1Char('-') || text.at(j) == QLatin1Char('+')))
            ++j;
        if (j < text.size() && text.at(j).isDigit()) {
            while (j < text.size() && text.at(j).isDigit())
                ++j;
            i = j;
        }
    }
    bool ok = false;
    const double v = text.mid(start, i - start).toDouble(&ok);
    return ok && std::isfinite(v) ? v : 0;
}

QString Notation::date(QDate d) const
{
    const auto twoDigits
        = [](int n) { return QString::number(n).rightJustified(2, QLatin1Char('0')); };
    return twoDigits(d.day()) + m_date + twoDigits(d.month()) + m_date
        + twoDigits(d.year() % 100);
}

std::optional<QDate> Notation::parseDate(const QString &text) const
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    QStringList parts;
    QString current;
    for (const QChar c : t) {
        if (c.isDigit()) {
            current += c;
        } else if (c == m_date || c == QLatin1Char('.') || c == QLatin1Char('/')
                   || c == QLatin1Char('-')) {
            parts << current;
            current.clear();
        } else {
            return std::nullopt;
        }
    }
    parts << current;
    if (parts.size() != 3)
        return std::nullopt;
    for (const QString &p : parts)
        if (p.isEmpty() || p.size() > 4)
            return std::nullopt;
    const int day = parts.at(0).toInt();
    const int month = parts.at(1).toInt();
    int year = parts.at(2).toInt();
    if (parts.at(2).size() <= 2)
        year += year < 30 ? 2000 : 1900;
    else if (parts.at(2).size() != 4)
        return std::nullopt;
    const QDate d(year, month, day);
    if (!d.isValid())
        return std::nullopt;
    return d;
}

QString Notation::filterDecimalKey(const QString &typed) const
{
    if (m_decimal == QLatin1Char('.'))
        return typed;
    QString out = typed;
    out.replace(QLatin1Char('.'), m_decimal);
    return out;
}
