#include "TestSupport.h"
#include "core/Notation.h"

#include <QtTest>

class NotationTest : public QObject
{
    Q_OBJECT
private slots:
    void plainText();
    void wireForm();
    void threeSectionFormats_data();
    void threeSectionFormats();
    void dates();
    void typedNumbers();
    void decimalKeyFilter();
};

void NotationTest::plainText()
{
    QCOMPARE(commaNotation().plain(10.0f), QStringLiteral("10"));
    QCOMPARE(commaNotation().plain(2.5f), QStringLiteral("2,5"));
    QCOMPARE(pointNotation().plain(2.5f), QStringLiteral("2.5"));
}

void NotationTest::wireForm()
{
    // Products are formed in single precision, as the instrument expects
    // whole milliseconds for the usual adjustments.
    QCOMPARE(Notation::wire(5.0f), QStringLiteral(" 5"));
    QCOMPARE(Notation::wire(0.18f * 1000.0f), QStringLiteral(" 180"));
    QCOMPARE(Notation::wire(-3.0f), QStringLiteral("-3"));
    QCOMPARE(Notation::wire(0.0f), QStringLiteral(" 0"));
}

void NotationTest::threeSectionFormats_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("expected");
    QTest::newRow("positive") << 12.34 << "0.0;-0.0;0"
                              << "12,3";
    QTest::newRow("four decimals") << double(0.123456f) << "0.0000;-0.0000;0"
                                   << "0,1235";
    QTest::newRow("whole rounds up") << double(123.6f) << "0;-0;0"
                                     << "124";
    QTest::newRow("half away from zero") << 0.125 << "0.00;;0"
                                         << "0,13";
}

void NotationTest::threeSectionFormats()
{
    QFETCH(double, value);
    QFETCH(QString, pattern);
    QFETCH(QString, expected);
    QCOMPARE(commaNotation().format(value, pattern), expected);
    QCOMPARE(pointNotation().format(value, pattern), QString(expected).replace(',', '.'));
}

void NotationTest::dates()
{
    QCOMPARE(commaNotation().date(QDate(2027, 12, 5)), QStringLiteral("05.12.27"));
    QCOMPARE(pointNotation().date(QDate(2005, 5, 26)), QStringLiteral("26/05/05"));
    // Two-digit years pivot at 30; a day that does not exist is no date.
    const Notation n = commaNotation();
    QCOMPARE(n.parseDate("1.1.29").value_or(QDate()), QDate(2029, 1, 1));
    QCOMPARE(n.parseDate("1.1.30").value_or(QDate()), QDate(1930, 1, 1));
    QVERIFY(!n.parseDate("31.02.05") && !n.parseDate(""));
    QCOMPARE(n.general(300.0 / 1500 * 60), QStringLiteral("12"));
}

void NotationTest::typedNumbers()
{
    const Notation comma = commaNotation();
    const Notation point = pointNotation();
    QCOMPARE(comma.parseNumber("12,5").value_or(-1), 12.5);
    QVERIFY(!comma.parseNumber("12.5"));
    QVERIFY(!comma.parseNumber(""));
    QCOMPARE(point.parseNumber(" -3.25 ").value_or(0), -3.25);
    // On a comma system the full stop groups thousands under the lenient rules.
    QCOMPARE(comma.parseNumberLenient("9.999").value_or(-1), 9999.0);
    QCOMPARE(point.parseNumberLenient("9.999").value_or(-1), 9.999);
    QCOMPARE(Notation::leadingNumber("0.25 30000"), 0.25);
    QCOMPARE(Notation::leadingNumber("xyz"), 0.0);
}

void NotationTest::decimalKeyFilter()
{
    QCOMPARE(commaNotation().filterDecimalKey("."), QStringLiteral(","));
    // On a "." system the literal rule would make decimals unreadable.
    QCOMPARE(pointNotation().filterDecimalKey("."), QStringLiteral("."));
}

QTEST_GUILESS_MAIN(NotationTest)
#include "test_notation.moc"
