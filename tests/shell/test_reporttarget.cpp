#include "shell/ReportTarget.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

// Without a printer the report goes to a PDF in a folder that exists: the
// documents folder, or the home folder of a fresh account that has none.
class TestReportTarget : public QObject
{
    Q_OBJECT
private slots:
    void folderThatExists()
    {
        QTemporaryDir home;
        qputenv("HOME", home.path().toLocal8Bit());
        qunsetenv("XDG_CONFIG_HOME");
        QCOMPARE(DefaultReportFile(), QDir(home.path()).filePath("zandor-report.pdf"));

        QVERIFY(QDir(home.path()).mkdir("Documents"));
        QCOMPARE(DefaultReportFile(), QDir(home.path()).filePath("Documents/zandor-report.pdf"));
    }
};

QTEST_GUILESS_MAIN(TestReportTarget)
#include "test_reporttarget.moc"
