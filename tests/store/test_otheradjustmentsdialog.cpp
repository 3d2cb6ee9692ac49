#include "StoreFixture.h"

#include "store/OtherAdjustmentsDialog.h"
#include "support/FormFixture.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlQuery>

// The other-adjustments dialog: what it shows, what it stores, what it refuses.
class TestOtherAdjustmentsDialog : public QObject
{
    Q_OBJECT

private:
    struct Harness : FormFixture {
        Harness()
            : FormFixture(commaNotation())
        {
            store.LoadSettings(settings);
        }
    };

    static QRadioButton *option(QWidget &w, const char *name, int i)
    {
        return control<QRadioButton>(w, QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(i));
    }

private slots:
    void storesTheChoicesOnOk()
    {
        Harness h;
        FrmSonst dialog(h.ctx);
        control<QLineEdit>(dialog, "txtLi")->setText("1,25");
        control<QLineEdit>(dialog, "txtIO")->setText("32767");
        control<QLineEdit>(dialog, "txtHost")->setText(" netpc.lab.local ");
        option(dialog, "DrOpt", 3)->click();
        option(dialog, "EbOpt", 5)->click();
        option(dialog, "ZbOpt", 6)->click();
        h.settings.ActiveBox = 2;
        control<QPushButton>(dialog, "cmdOK")->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(h.messages.entries.isEmpty());

        Settings stored;
        QVERIFY(h.store.LoadSettings(stored));
        for (const Settings *s : { &h.settings, &stored }) {
            QCOMPARE(s->PrnOffLi, 1.25f);
            QCOMPARE(s->LinieDr, 6);
            QCOMPARE(s->IO_ADR, 32767);
            QCOMPARE(s->HostAddress, "netpc.lab.local");
        }
        QCOMPARE(h.settings.ActiveBox, 2); // the next start's choice only
        QCOMPARE(stored.ActiveBox, 5);
        QCOMPARE(stored.ScopeOfTime, 100.0f);
    }

    void unreadableValuesKeepTheirOldValue_data()
    {
        QTest::addColumn<QStringList>("typed"); // the control and the text typed into it
        QTest::newRow("margin not a number") << QStringList { "txtOb", "abc" };
        QTest::newRow("delay empty") << QStringList { "Text1", "" };
        QTest::newRow("AD negative") << QStringList { "txtAD", "-1" };
        QTest::newRow("IO too large") << QStringList { "txtIO", "32768" };
        QTest::newRow("host empty") << QStringList { "txtHost", "" };
    }

    void unreadableValuesKeepTheirOldValue()
    {
        QFETCH(QStringList, typed);
        Harness h;
        const Settings before = h.settings;
        FrmSonst dialog(h.ctx);
        control<QLineEdit>(dialog, typed[0])->setText(typed[1]);
        control<QLineEdit>(dialog, "txtUn")->setText("0,75"); // still taken
        control<QPushButton>(dialog, "cmdOK")->click();
        QCOMPARE(h.messages.texts(), QStringList { "Error" });
        QCOMPARE(h.messages.entries.first().icon, OperatorMessages::Icon::Critical);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));

        Settings stored;
        QVERIFY(h.store.LoadSettings(stored));
        QCOMPARE(stored.PrnOffUn, 0.75f);
        QCOMPARE(stored.PrnOffOb, before.PrnOffOb);
        QCOMPARE(stored.Viskos, before.Viskos);
        QCOMPARE(stored.AD_Adr, before.AD_Adr);
        QCOMPARE(stored.IO_ADR, before.IO_ADR);
        QCOMPARE(stored.HostAddress, before.HostAddress);
    }

    void scopeOutsideTheOptionsIsKept()
    {
        Harness h;
        QSqlQuery q(h.db.connection());
        QVERIFY(q.exec(R"(UPDATE "Init" SET "AZB" = 250, "AEB" = 7)"));
        FrmSonst dialog(h.ctx);
        QCOMPARE(h.messages.texts(), QStringList { "Error" }); // box 7 names no option
        for (int i = 1; i <= 6; ++i)
            QVERIFY(!option(dialog, "ZbOpt", i)->isChecked());
        control<QPushButton>(dialog, "cmdOK")->click();
        const auto choices = h.store.readStartChoices();
        QCOMPARE(choices->AZB, 250.0f);
        QCOMPARE(choices->AEB, 7);
    }
};

QTEST_MAIN(TestOtherAdjustmentsDialog)
#include "test_otheradjustmentsdialog.moc"
