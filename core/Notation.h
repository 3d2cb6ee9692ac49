#pragma once

#include <QChar>
#include <QDate>
#include <QString>
#include <optional>

// The system's notation for numbers and dates, in one place. Everything the
// operator reads or types, and every number put on the wire, goes through
// here. The separators come from the system locale and can be set for tests.
class Notation
{
public:
    explicit Notation(QChar decimalSeparator = QLatin1Char('.'),
                      QChar dateSeparator = QLatin1Char('/'));
    static Notation fromSystem();

    QChar decimalSeparator() const { return m_decimal; }
    QChar dateSeparator() const { return m_date; }

    // A single-precision value as plain text: at most seven significant
    // digits, no trailing zeros ("10", "2,5").
    QString plain(float value) const;
    // The general number format of a double: up to 15 significant digits.
    QString general(double value) const;
    // The instrument's wire form: a leading blank before a non-negative
    // number, "." as decimal point, seven significant digits.
    static QString wire(float value);
    // Three-section formats such as "0.0;-0.0;0" or "0.0;;0".
    QString format(double value, const QString &pattern) const;

    // A number typed by the operator in the system's notation. Strict: the
    // text must read as what it looks like (no grouping characters).
    std::optional<double> parseNumber(const QString &text) const;
    // The permissive reading of the system's number rules, under which a
    // full stop on a comma system is a thousands separator ("9.999" = 9999).
    std::optional<double> parseNumberLenient(const QString &text) const;
    // The leading number of a text with "." as decimal point; 0 if none.
    static double leadingNumber(const QString &text);

    // "dd/mm/yy" with the system's separator.
    QString date(QDate date) const;
    // Reads d/m/y in the system's notation; two-digit years 00-29 are 20xx,
    // 30-99 are 19xx.
    std::optional<QDate> parseDate(const QString &text) const;

    // The key filter of the numeric fields: a typed "." becomes the decimal
    // separator. On a "." system it stays a "." so decimals remain readable.
    QString filterDecimalKey(const QString &typed) const;

private:
    QString localise(QString text) const;

    QChar m_decimal;
    QChar m_date;
};
