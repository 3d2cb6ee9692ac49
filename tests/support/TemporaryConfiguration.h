#pragma once

#include <QCoreApplication>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

// Gives the program a configuration file of its own in a temporary home,
// under an organisation name no installed program uses, so a test can let
// the program remember its database without touching the user's choice.
// Qt settles where the file lies at the first use of QSettings in a
// process: make one before anything reads settings (initTestCase), and
// keep it for the whole run.
class TemporaryConfiguration
{
public:
    TemporaryConfiguration()
        : m_home(qgetenv("HOME"))
    {
        qputenv("HOME", m_dir.path().toLocal8Bit());
        QStandardPaths::setTestModeEnabled(true);
        QCoreApplication::setOrganizationName(QStringLiteral("zandor-test"));
        QCoreApplication::setApplicationName(QStringLiteral("zandor-test"));
    }
    ~TemporaryConfiguration()
    {
        QSettings().clear();
        QCoreApplication::setOrganizationName(QString());
        QStandardPaths::setTestModeEnabled(false);
        qputenv("HOME", m_home);
    }
    TemporaryConfiguration(const TemporaryConfiguration &) = delete;
    TemporaryConfiguration &operator=(const TemporaryConfiguration &) = delete;

    // Whether the file really is the temporary one.
    bool isPrivate() const { return QSettings().fileName().startsWith(m_dir.path() + '/'); }
    // The file as written, to look for what must never be in it.
    static QByteArray fileBytes()
    {
        QSettings settings;
        settings.sync();
        QFile file(settings.fileName());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static void forget() { QSettings().clear(); }

private:
    QTemporaryDir m_dir;
    QByteArray m_home;
};
