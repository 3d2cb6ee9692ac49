#include "MeasurementFixture.h"

#include "display/BgrColor.h"
#include "instrument/MeasurementRun.h"
#include "instrument/MeasurementWindow.h"
#include "core/AppContext.h"
#include "core/Notation.h"

#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace std::chrono_literals;

namespace
{

// A measurement window over a scripted NetPC, as the specimen form opens it.
struct WindowFixture {
    WindowFixture()
    {
        exampleBox(settings);
        settings.ActiveBox = 3;
        settings.Box(3).Ein = settings.Box(1).Ein;
        settings.Box(3).Status = BoxStatus::Pattern;
        connected = connectLink(link, peer.port(), 5s);
        settings.MeasureRequested = 1;
    }
    QPushButton *button(const char *name) { return window.findChild<QPushButton *>(name); }
    // Pixels of the plot in the colour of box 3's curve.
    int curvePixels()
    {
        const QImage image = window.findChild<QWidget *>(QStringLiteral("Picture1"))
                                 ->grab()
                                 .toImage()
                                 .convertToFormat(QImage::Format_RGB32);
        const QRgb curve = ColorFromBgr(settings.boxColour(3)).rgb();
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                count += image.pixel(x, y) == curve;
        return count;
    }

    ScriptedPeer peer;
    Settings settings;
    Notation notation { QLatin1Char(','), QLatin1Char('.') };
    ScriptedMessages messages;
    NetLink link { messages };
    AppContext ctx { settings, notation, messages, nullptr, &link };
    FrmMessen window { ctx };
    bool connected = false;
};

// Box 3 measured in the window against a simulated NetPC playing `fault`,
// 2.5 minutes in 1.7 s cycles at 200 times the instrument's pace.
struct WindowRun {
    BoxRecord box;
    QStringList messages;
    bool stillOpen = false;
};

WindowRun measureInWindow(const QString &fault)
{
    SimulatorOptions options;
    options.speed = 200;
    if (!fault.isEmpty())
        options.applyFault(fault);
    options.gapPauseMs = 1900;
    NetPcSimulator sim(options);
    sim.listen(QHostAddress::LocalHost, 0);
    Settings settings;
    exampleBox(settings);
    settings.ActiveBox = 3;
    BoxRecord &box = settings.Box(3);
    box.Ein = settings.Box(1).Ein;
    box.Ein[10] = 2.5f;
    box.Ein[4] = 1.7f;
    box.Ein[9] = float(sim.zeroVolts() * 10);
    const Notation notation;
    ScriptedMessages messages;
    NetLink link(messages);
    if (!connectLink(link, sim.serverPort()))
        return {};
    AppContext ctx { settings, notation, messages, nullptr, &link };
    FrmMessen window(ctx);
    settings.MeasureRequested = 1;
    window.show();
    if (!QTest::qWaitFor([&] { return window.run() && window.run()->hasFinished(); }, 20000))
        return { box, { "the run did not finish" }, true };
    return { box, messages.texts(), window.isVisible() };
}

} // namespace

class TestMeasurementWindow : public QObject
{
    Q_OBJECT

private slots:
    void endPressedThenRepaintsKeepTheCurve();
    void aLostLinkEndsTheRunAndOffersToReconnect();
    void simulatorFaults_data();
    void simulatorFaults();
};

void TestMeasurementWindow::endPressedThenRepaintsKeepTheCurve()
{
    WindowFixture fx;
    QVERIFY(fx.connected);
    fx.window.show(); // which starts the run
    QTRY_VERIFY(!fx.peer.lines.isEmpty());
    QVERIFY(fx.peer.reply(fx.link, "DATA 1.0 30000\r\n"));
    QVERIFY(fx.peer.reply(fx.link, "DATA 2.0 60000\r\n"));
    QCOMPARE(fx.settings.MeasureRequested, 0);
    QCOMPARE(fx.window.findChild<QLineEdit *>("Text2")->text(), QStringLiteral("60000"));
    QVERIFY(!fx.button("cmdMessenAb")->isEnabled());
    fx.window.reject(); // Escape does not leave a running measurement
    QVERIFY(fx.window.isVisible());

    fx.button("cmdMessenBe")->click();
    fx.window.resize(fx.window.size() + QSize(120, 80));
    QCoreApplication::processEvents();
    QVERIFY(fx.curvePixels() > 0); // the whole curve so far, after the resize
    QVERIFY(fx.settings.EndRequest); // and the press is still pending
    QVERIFY(fx.peer.reply(fx.link, "DATA 2.5 90000\r\n"));
    QTRY_VERIFY(fx.peer.hasLine(QStringLiteral("run BREAK")));
    QVERIFY(fx.peer.reply(fx.link, "OK\r\n"));
    QCOMPARE(fx.settings.Box(3).Status, BoxStatus::Graph);
    QVERIFY(fx.settings.Box(3).Changed);
    QTRY_VERIFY(fx.button("cmdMessenAb")->isEnabled());
    QVERIFY(fx.curvePixels() > 0);
    fx.button("cmdMessenAb")->click();
    QVERIFY(!fx.window.isVisible());
}

void TestMeasurementWindow::aLostLinkEndsTheRunAndOffersToReconnect()
{
    WindowFixture fx;
    QVERIFY(fx.connected);
    fx.messages.answer(true); // reconnect
    fx.settings.HostAddress = QStringLiteral("127.0.0.1");
    fx.settings.HostPort = fx.peer.port();
    fx.window.show();
    QTRY_VERIFY(!fx.peer.lines.isEmpty());
    QVERIFY(fx.peer.reply(fx.link, "DATA 1.0 30000\r\n"));
    QVERIFY(fx.peer.reply(fx.link, "DATA 2.0 60000\r\n"));
    fx.peer.socket->abort();
    QTRY_VERIFY(fx.window.run()->hasFinished());

    QCOMPARE(fx.messages.texts(),
        (QStringList { MeasurementRun::linkLostText(2), "Reconnect to the NetPC now?" }));
    const BoxRecord &box = fx.settings.Box(3);
    QCOMPARE(box.pointCount(), 3);
    QCOMPARE(box.Status, BoxStatus::Graph);
    QVERIFY(box.Changed && box.Unvollst);
    QVERIFY(fx.window.isVisible()); // the curve stays on screen
    QVERIFY(fx.button("cmdMessenAb")->isEnabled());
    QVERIFY(fx.window.findChild<QLabel *>("lblMessenInfo")
                ->text()
                .contains(QStringLiteral("measurement incomplete")));
    // The start-up's connect and INIT, on a new connection.
    QTRY_VERIFY(fx.peer.hasLine(QStringLiteral("run INIT")));
    QVERIFY(fx.link.isConnected());
    fx.button("cmdMessenAb")->click();
    QVERIFY(!fx.window.isVisible());
}

void TestMeasurementWindow::simulatorFaults_data()
{
    QTest::addColumn<QString>("fault");
    for (const char *fault : { "pair", "split", "tail", "okjoin", "gap=40", "drop=31" })
        QTest::newRow(fault) << fault;
}

void TestMeasurementWindow::simulatorFaults()
{
    QFETCH(QString, fault);
    const WindowRun clean = measureInWindow({});
    const WindowRun run = measureInWindow(fault);
    QCOMPARE(clean.box.pointCount(), 89);
    const BoxRecord &b = run.box;
    const auto points = [](const BoxRecord &box, int n) {
        QList<QPair<float, float>> out;
        for (int i = 0; i < n; ++i)
            out.append({ box.y[size_t(i)], box.x[size_t(i)] });
        return out;
    };
    if (fault == QLatin1String("drop=31")) {
        QCOMPARE(run.messages.first(), MeasurementRun::linkLostText(30));
        QCOMPARE(b.pointCount(), 31);
        QCOMPARE(points(b, 31), points(clean.box, 31));
        QVERIFY(b.Unvollst && run.stillOpen);
        return;
    }
    QVERIFY(!run.stillOpen); // ended by the NetPC: the window closed itself
    QCOMPARE(b.pointCount(), 89);
    if (fault == QLatin1String("gap=40")) {
        QCOMPARE(run.messages, QStringList { QStringLiteral("textErrRec") });
        QCOMPARE(b.Fehlend, 1);
        QCOMPARE(b.y[40], clean.box.y[40]);
        QCOMPARE(points(b, 89).mid(41), points(clean.box, 89).mid(41));
        return;
    }
    QCOMPARE(run.messages, QStringList());
    QCOMPARE(points(b, 89), points(clean.box, 89));
    QVERIFY(b.Erg == clean.box.Erg);
}

QTEST_MAIN(TestMeasurementWindow)
#include "test_measurementwindow.moc"
