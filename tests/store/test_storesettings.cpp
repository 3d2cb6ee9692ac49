#include "StoreFixture.h"

#include "shell/Settings.h"

#include <QSqlQuery>

// The settings record: loading and the columns each writer owns.
class TestStoreSettings : public QObject
{
    Q_OBJECT

private slots:
    void loadFillsTheTables()
    {
        StoreFixture f;
        QSqlQuery q(f.db.connection());
        QVERIFY(q.exec("UPDATE Init SET \"Rührer\" = 40, Temp = 23.5, AZB = 250, AEB = 3"));
        Settings s;
        QVERIFY(f.store.LoadSettings(s));
        QCOMPARE(s.ActiveBox, 3);
        QCOMPARE(s.ScopeOfTime, 250.0f);
        QCOMPARE(s.AdjLimits[1].preset, 40.0f);
        QCOMPARE(s.AdjLimits[1].maximum, 99.0f);
        QCOMPARE(s.AdjLimits[2].preset, 23.5f);
        QCOMPARE(s.AdjLimits[5].preset, 350.0f);
        QCOMPARE(s.LimitRange[3].maximum, "9.999");
    }

    void writersTouchOnlyTheirColumns()
    {
        StoreFixture f;
        Settings s, loaded;
        QVERIFY(f.store.LoadSettings(s));
        s.DisKvFa = { 0, 1, 2, 3, 4, 0x00FFFFFF };
        s.PrnOffOb = 1.25f; // not a colour column: must not be written
        QVERIFY(f.store.writeColours(s));
        QVERIFY(f.store.LoadSettings(loaded));
        QCOMPARE(loaded.DisKvFa, s.DisKvFa);
        QCOMPARE(loaded.PrnOffOb, 0.5f);

        s.Viskos = 0.1234f;
        s.ActiveBox = 5; // the running program's choice: not written
        s.ScopeOfTime = 500; // neither
        s.DisKvFa[1] = 77; // owned by the colour command
        QVERIFY(f.store.writeOtherAdjustments(s, 2, std::nullopt));
        QVERIFY(f.store.LoadSettings(loaded));
        QCOMPARE(loaded.PrnOffOb, 1.25f);
        QCOMPARE(loaded.Viskos, 0.1234f);
        QCOMPARE(loaded.ActiveBox, 2);
        QCOMPARE(loaded.ScopeOfTime, 10.0f); // AZB left as it was
        QCOMPARE(loaded.DisKvFa[1], 1);

        QVERIFY(f.store.writeOtherAdjustments(s, 4, 2.5f));
        QCOMPARE(f.store.readStartChoices()->AEB, 4);
        QCOMPARE(f.store.readStartChoices()->AZB, 2.5f);
    }

    void missingSettingsRecordIsAnError()
    {
        StoreFixture f;
        QSqlQuery q(f.db.connection());
        QVERIFY(q.exec("DELETE FROM Init"));
        Settings s;
        QVERIFY(!f.store.LoadSettings(s));
        QVERIFY(!f.store.writeColours(s));
        QVERIFY(!f.store.writeOtherAdjustments(s, 1, 10.0f));
        QVERIFY(!f.store.readStartChoices());
        QVERIFY(f.store.lastError().contains("settings"));
    }
};

QTEST_GUILESS_MAIN(TestStoreSettings)
#include "test_storesettings.moc"
