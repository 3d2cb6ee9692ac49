#pragma once

#include <QObject>
#include <QProcess>
#include <memory>

class OperatorMessages;
class QProgressDialog;

// At start-up, a database file of the earlier program (Jet format) in the
// database's place: say so, offer to convert it, and convert it in a
// process of its own (`zandorctl migrate`), so that a damaged file can at
// worst end that process. The original is renamed to "<name>-jet.mdb"
// beside the database first and renamed back when the conversion fails.
class StartupConversion : public QObject
{
    Q_OBJECT
public:
    StartupConversion(QString databasePath, QString converter, OperatorMessages &messages);
    ~StartupConversion() override;

    static bool isJetDatabase(const QString &path);
    // zandorctl beside the program, else on the search path.
    static QString defaultConverter();

    // Asks and starts the conversion; false when the operator declines or
    // the file cannot be converted (the operator has been told why).
    bool begin();
    QString keptOriginal() const { return m_kept; }

signals:
    void percentDone(int percent);
    // The conversion has ended; on success the database is in its place.
    void finished(bool ok);

private:
    void readOutput();
    void processFinished(int exitCode, QProcess::ExitStatus status);
    void processFailed(QProcess::ProcessError error);
    void conclude(bool ok, const QString &text);
    void putOriginalBack();

    QString m_path;
    QString m_kept;
    QString m_converter;
    OperatorMessages &m_messages;
    QProcess m_process;
    QByteArray m_pending; // output not yet ended by a line break
    QStringList m_report;
    std::unique_ptr<QProgressDialog> m_progress;
    bool m_concluded = false;
};
