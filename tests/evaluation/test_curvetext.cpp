#include "evaluation/CurveText.h"

#include <QBuffer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>
#include <cfloat>
#include <limits>

namespace
{

QByteArray pointLines(int n)
{
    QByteArray text;
    for (int i = 0; i < n; ++i)
        text += QByteArray::number(i * 10) + ',' + QByteArray::number(i % 7 + 12.5) + '\n';
    return text;
}

} // namespace

class TestCurveText : public QObject
{
    Q_OBJECT

private slots:
    void read_data();
    void read();
    void jsonReadsBackExactly();
};

void TestCurveText::read_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("points");
    QTest::addColumn<QString>("error"); // how the error begins; empty: read
    QTest::newRow("point and comma") << QByteArray("0,12.5\n10,30\n") << 2 << "";
    QTest::newRow("decimal comma and semicolon") << QByteArray("0;12,5\n10;30\n") << 2 << "";
    QTest::newRow("300 points, end mark in the last slot") << pointLines(300) << 300 << "";

    QTest::newRow("one number") << QByteArray("0,1\n5\n") << 0 << "line 2: ";
    QTest::newRow("blank lines count") << QByteArray("0,1\n\n10,2\nbad\n") << 0 << "line 4: ";
    QTest::newRow("301 points") << pointLines(301) << 0 << "line 301: more than 300 points";
}

// A curve is left as a measurement leaves it: the points from index 0, the
// end mark behind the last one, and nothing of what the box held before.
void TestCurveText::read()
{
    QFETCH(QByteArray, text);
    QFETCH(int, points);
    QFETCH(QString, error);
    BoxRecord box;
    box.x.fill(7);
    box.y.fill(7);
    QBuffer buffer(&text);
    buffer.open(QIODevice::ReadOnly);
    const CurveTextResult r = ReadCurveText(buffer, box);
    if (!error.isEmpty()) {
        QVERIFY2(!r.ok() && r.error.startsWith(error), qPrintable(r.error));
        return;
    }
    QVERIFY2(r.ok(), qPrintable(r.error));
    QCOMPARE(r.points, points);
    QCOMPARE(box.pointCount(), points);
    QCOMPARE(box.x[0], 12.5f);
    QCOMPARE(box.y[1], 10.0f);
    QCOMPARE(box.x[points - 1], points == 2 ? 30.0f : float((points - 1) % 7 + 12.5));
    if (points < CurveSize)
        QCOMPARE(box.x[points], CurveEndMark);
    for (int i = points; i < CurveSize; ++i) // time 0 ends the curve for the evaluation
        QVERIFY(box.y[i] == 0 && (i == points || box.x[i] == 0));
}

// Each result reads back to the same 32-bit value; a value that is not
// finite keeps the JSON valid.
void TestCurveText::jsonReadsBackExactly()
{
    const CurveResults erg { 0, 0.1f, 1.0f / 3, FLT_MAX, 0, std::numeric_limits<float>::infinity() };
    const QJsonObject o = QJsonDocument::fromJson(ResultsJson(erg).toUtf8()).object();
    for (int k = 1; k <= 4; ++k)
        QVERIFY(float(o.value(QStringLiteral("Erg%1").arg(k)).toDouble()) == erg[k]);
    QCOMPARE(RoundTripFloat(1.0f / 3), QStringLiteral("0.33333334"));
    QVERIFY(o.value("Erg5").isNull());
}

QTEST_GUILESS_MAIN(TestCurveText)
#include "test_curvetext.moc"
