#include "evaluation/CurveText.h"

#include <QBuffer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>
#include <cfloat>
#include <cstdlib>
#include <limits>

namespace
{

CurveTextResult read(const QByteArray &text, BoxRecord &box)
{
    QByteArray data = text;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    return ReadCurveText(buffer, box);
}

QByteArray pointLines(int n)
{
    QByteArray text;
    for (int i = 0; i < n; ++i)
        text += QByteArray::number(i * 10) + ',' + QByteArray::number(i % 7) + '\n';
    return text;
}

} // namespace

class TestCurveText : public QObject
{
    Q_OBJECT

private slots:
    void readsBothNotations_data();
    void readsBothNotations();
    void leavesTheCurveAsAMeasurementDoes();
    void refusesBadInput_data();
    void refusesBadInput();
    void floatsReadBackExactly_data();
    void floatsReadBackExactly();
    void jsonIsValid();
};

void TestCurveText::readsBothNotations_data()
{
    QTest::addColumn<QByteArray>("text");

    QTest::newRow("point and comma") << QByteArray("0,12.5\n2.5,30\n");
    QTest::newRow("decimal comma and semicolon") << QByteArray("0;12,5\n2,5;30\n");
    QTest::newRow("blanks, blank lines, CRLF")
        << QByteArray("\n 0 , 12.5 \r\n\r\n  \n2.5,+30\r\n\n");
}

void TestCurveText::readsBothNotations()
{
    QFETCH(QByteArray, text);
    BoxRecord box;
    const CurveTextResult r = read(text, box);
    QVERIFY2(r.ok(), qPrintable(r.error));
    QCOMPARE(r.points, 2);
    QCOMPARE(box.y[0], 0.0f);
    QCOMPARE(box.x[0], 12.5f);
    QCOMPARE(box.y[1], 2.5f);
    QCOMPARE(box.x[1], 30.0f);
    QCOMPARE(box.x[2], CurveEndMark);
}

void TestCurveText::leavesTheCurveAsAMeasurementDoes()
{
    BoxRecord box;
    box.x.fill(7);
    box.y.fill(7);
    QVERIFY(read("0,1\n10,2\n", box).ok());
    QCOMPARE(box.pointCount(), 2);
    QCOMPARE(box.y[2], 0.0f); // the time that ends the curve for the evaluation
    for (int i = 3; i < CurveSize; ++i)
        QVERIFY(box.x[i] == 0 && box.y[i] == 0);

    // A full curve: 300 points, the end mark in the last slot.
    const CurveTextResult full = read(pointLines(300), box);
    QVERIFY2(full.ok(), qPrintable(full.error));
    QCOMPARE(full.points, 300);
    QCOMPARE(box.y[299], 2990.0f);
    QCOMPARE(box.x[300], CurveEndMark);
}

void TestCurveText::refusesBadInput_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("error");

    QTest::newRow("words") << QByteArray("seconds,percent\n0,1\n") << "line 1: ";
    QTest::newRow("one number") << QByteArray("0,1\n5\n") << "line 2: ";
    QTest::newRow("three numbers") << QByteArray("0,1,2\n") << "line 1: ";
    QTest::newRow("decimal comma without semicolon") << QByteArray("0,5,1\n") << "line 1: ";
    QTest::newRow("empty field") << QByteArray("0,\n") << "line 1: ";
    QTest::newRow("grouping mark with decimal comma") << QByteArray("1.000;5\n") << "line 1: ";
    QTest::newRow("not a number") << QByteArray("nan,1\n") << "line 1: ";
    QTest::newRow("beyond float") << QByteArray("0,1e39\n") << "line 1: ";
    QTest::newRow("blank lines count") << QByteArray("0,1\n\n10,2\nbad\n") << "line 4: ";
    QTest::newRow("nothing") << QByteArray("\n \n") << "no points";
    QTest::newRow("301 points") << pointLines(301) << "line 301: more than 300 points";
}

void TestCurveText::refusesBadInput()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, error);
    BoxRecord box;
    const CurveTextResult r = read(text, box);
    QVERIFY(!r.ok());
    QVERIFY2(r.error.startsWith(error), qPrintable(r.error));
}

void TestCurveText::floatsReadBackExactly_data()
{
    QTest::addColumn<float>("value");

    QTest::newRow("0.1") << 0.1f;
    QTest::newRow("a third") << 1.0f / 3;
    QTest::newRow("largest") << FLT_MAX;
    QTest::newRow("smallest subnormal") << std::numeric_limits<float>::denorm_min();
    QTest::newRow("negative") << -83.3333359f;
}

void TestCurveText::floatsReadBackExactly()
{
    QFETCH(float, value);
    const QByteArray text = RoundTripFloat(value).toLatin1();
    QCOMPARE(std::strtof(text.constData(), nullptr), value);
    // The shortest such text, not a fixed nine digits.
    if (value == 1.0f / 3)
        QCOMPARE(text, QByteArray("0.33333334"));
}

void TestCurveText::jsonIsValid()
{
    const CurveResults erg { 0, 9.583333f, 10, 0.44f, 560, std::numeric_limits<float>::infinity() };
    const QString json = ResultsJson(erg);
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json.toUtf8(), &error);
    QVERIFY2(!doc.isNull(), qPrintable(error.errorString() + QLatin1Char(' ') + json));
    const QJsonObject o = doc.object();
    QCOMPARE(o.keys(), (QStringList { "Erg1", "Erg2", "Erg3", "Erg4", "Erg5" }));
    QCOMPARE(float(o.value("Erg3").toDouble()), 0.44f);
    QVERIFY(o.value("Erg5").isNull());
}

QTEST_GUILESS_MAIN(TestCurveText)
#include "test_curvetext.moc"
