#include "StoreFixture.h"

#include "shell/AppContext.h"
#include "shell/ScriptedMessages.h"
#include "shell/Settings.h"
#include "store/OtherAdjustmentsDialog.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlQuery>

// The other-adjustments dialog: what it shows, what it stores, what it refuses.
class TestOtherAdjustmentsDialog : public QObject
{
    Q_OBJECT

private:
    struct Harness {
        StoreFixture f;
        Settings settings;
        ScriptedMessages messages;
        AppContext ctx { settings, f.notation, messages, &f.store };
        Harness() { f.store.LoadSettings(settings); }
    };

    template <typename T> static T *child(QWidget &w, const QString &name)
    {
        T *c = w.findChild<T *>(name);
        if (!c)
            qFatal("no control %s", qPrintable(name));
        return c;
    }
    static QLineEdit *field(QWidget &w, const char *name) { return child<QLineEdit>(w, name); }
    static QRadioButton *option(QWidget &w, const char *name, int i)
    {
        return child<QRadioButton>(w, QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(i));
    }

private slots:
    void showsTheSettings()
    {
        Harness h;
        h.settings.PrnOffOb = 0.756f; // shown with two decimals
        h.settings.Viskos = 0.5f;
        h.settings.LinieDr = 6;
        h.settings.LinieGr = 1;
        h.settings.AD_Adr = 768;
        FrmSonst dialog(h.ctx);
        QVERIFY(h.messages.entries.isEmpty());
        QCOMPARE(field(dialog, "txtOb")->text(), "0,76");
        QCOMPARE(field(dialog, "txtUn")->text(), "0,50");
        QCOMPARE(field(dialog, "Text1")->text(), "0,5000");
        QCOMPARE(field(dialog, "txtAD")->text(), "768");
        QCOMPARE(field(dialog, "txtHost")->text(), "127.0.0.1");
        QVERIFY(option(dialog, "DrOpt", 3)->isChecked());
        QVERIFY(option(dialog, "GrOpt", 1)->isChecked());
        QVERIFY(option(dialog, "EbOpt", 1)->isChecked());
        QVERIFY(option(dialog, "ZbOpt", 3)->isChecked()); // 10 minutes
        QCOMPARE(option(dialog, "ZbOpt", 1)->text(), "2,5 min");
    }

    void storesTheChoices()
    {
        Harness h;
        FrmSonst dialog(h.ctx);
        field(dialog, "txtLi")->setText("1,25");
        field(dialog, "txtIO")->setText("32767");
        field(dialog, "txtHost")->setText(" netpc.lab.local ");
        option(dialog, "DrOpt", 3)->click();
        option(dialog, "GrOpt", 3)->click();
        option(dialog, "EbOpt", 5)->click();
        option(dialog, "ZbOpt", 6)->click();
        h.settings.ActiveBox = 2;
        child<QPushButton>(dialog, "cmdOK")->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(h.messages.entries.isEmpty());

        QCOMPARE(h.settings.PrnOffLi, 1.25f);
        QCOMPARE(h.settings.LinieDr, 6);
        QCOMPARE(h.settings.LinieGr, 3);
        QCOMPARE(h.settings.IO_ADR, 32767);
        QCOMPARE(h.settings.HostAddress, "netpc.lab.local");
        QCOMPARE(h.settings.ActiveBox, 2); // the next start's choice only

        Settings stored;
        QVERIFY(h.f.store.LoadSettings(stored));
        QCOMPARE(stored.PrnOffLi, 1.25f);
        QCOMPARE(stored.LinieDr, 6);
        QCOMPARE(stored.ActiveBox, 5);
        QCOMPARE(stored.ScopeOfTime, 100.0f);
        QCOMPARE(stored.HostAddress, "netpc.lab.local");

        // Opened again, the stored print width selects its option.
        FrmSonst again(h.ctx);
        QVERIFY(option(again, "DrOpt", 3)->isChecked());
        QVERIFY(option(again, "EbOpt", 5)->isChecked());
    }

    void unreadableValuesKeepTheirOldValue_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("text");
        QTest::newRow("margin not a number") << "txtOb"
                                             << "abc";
        QTest::newRow("margin with a point") << "txtRe"
                                             << "0.5";
        QTest::newRow("delay empty") << "Text1"
                                     << "";
        QTest::newRow("AD not a number") << "txtAD"
                                         << "3A0";
        QTest::newRow("AD negative") << "txtAD"
                                     << "-1";
        QTest::newRow("IO too large") << "txtIO"
                                      << "32768";
        QTest::newRow("IO far too large") << "txtIO"
                                          << "99999999999";
        QTest::newRow("host with blanks") << "txtHost"
                                          << "net pc";
        QTest::newRow("host empty") << "txtHost"
                                    << "";
    }

    void unreadableValuesKeepTheirOldValue()
    {
        QFETCH(QString, control);
        QFETCH(QString, text);
        Harness h;
        const Settings before = h.settings;
        FrmSonst dialog(h.ctx);
        child<QLineEdit>(dialog, control)->setText(text);
        field(dialog, "txtUn")->setText("0,75"); // still taken
        child<QPushButton>(dialog, "cmdOK")->click();
        QCOMPARE(h.messages.texts(), QStringList { "Error" });
        QCOMPARE(h.messages.entries.first().icon, OperatorMessages::Icon::Critical);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));

        Settings stored;
        QVERIFY(h.f.store.LoadSettings(stored));
        QCOMPARE(stored.PrnOffUn, 0.75f);
        QCOMPARE(stored.PrnOffOb, before.PrnOffOb);
        QCOMPARE(stored.PrnOffRe, before.PrnOffRe);
        QCOMPARE(stored.Viskos, before.Viskos);
        QCOMPARE(stored.AD_Adr, before.AD_Adr);
        QCOMPARE(stored.IO_ADR, before.IO_ADR);
        QCOMPARE(stored.HostAddress, before.HostAddress);
    }

    void scopeOutsideTheOptionsIsKept()
    {
        Harness h;
        QSqlQuery q(h.f.db.connection());
        QVERIFY(q.exec("UPDATE Init SET AZB = 250, AEB = 7"));
        FrmSonst dialog(h.ctx);
        QCOMPARE(h.messages.texts(), QStringList { "Error" }); // box 7 names no option
        for (int i = 1; i <= 6; ++i)
            QVERIFY(!option(dialog, "ZbOpt", i)->isChecked());
        child<QPushButton>(dialog, "cmdOK")->click();
        const auto choices = h.f.store.readStartChoices();
        QCOMPARE(choices->AZB, 250.0f);
        QCOMPARE(choices->AEB, 7);
    }

    void cancelStoresNothing()
    {
        Harness h;
        FrmSonst dialog(h.ctx);
        field(dialog, "txtOb")->setText("3");
        option(dialog, "GrOpt", 3)->click();
        child<QPushButton>(dialog, "cmdAb")->click();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(h.settings.PrnOffOb, 0.5f);
        QCOMPARE(h.settings.LinieGr, 2);
        Settings stored;
        QVERIFY(h.f.store.LoadSettings(stored));
        QCOMPARE(stored.LinieGr, 2);
    }
};

QTEST_MAIN(TestOtherAdjustmentsDialog)
#include "test_otheradjustmentsdialog.moc"
