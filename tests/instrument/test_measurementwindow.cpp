#include "MeasurementFixture.h"

#include "display/BgrColor.h"
#include "instrument/MeasurementRun.h"
#include "instrument/MeasurementWindow.h"
#include "core/AppContext.h"
#include "core/Notation.h"

#include <QImage>
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

} // namespace

class TestMeasurementWindow : public QObject
{
    Q_OBJECT

private slots:
    void endPressedThenRepaintsKeepTheCurve();
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

QTEST_MAIN(TestMeasurementWindow)
#include "test_measurementwindow.moc"
