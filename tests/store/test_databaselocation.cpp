#include "store/Database.h"

#include <QtTest>

class DatabaseLocationTest : public QObject
{
    Q_OBJECT
private slots:
    void installedProgramsKeepTheirDataElsewhere_data();
    void installedProgramsKeepTheirDataElsewhere();
};

void DatabaseLocationTest::installedProgramsKeepTheirDataElsewhere_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("system");
    QTest::newRow("package") << "/usr/bin" << true;
    QTest::newRow("local install") << "/usr/local/bin" << true;
    QTest::newRow("opt") << "/opt/zandor/bin" << true;
    QTest::newRow("bin") << "/bin" << true;
    QTest::newRow("build tree") << "/work/main/build" << false;
    QTest::newRow("portable copy") << "/home/lab/zandor" << false;
    QTest::newRow("look-alike") << "/usrdata/zandor" << false;
}

void DatabaseLocationTest::installedProgramsKeepTheirDataElsewhere()
{
    QFETCH(QString, folder);
    QFETCH(bool, system);
    QCOMPARE(Database::isSystemFolder(folder), system);
}

QTEST_GUILESS_MAIN(DatabaseLocationTest)
#include "test_databaselocation.moc"
