#include "shell/StartupConversion.h"

#include "core/OperatorMessages.h"
#include "store/JetFileCheck.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProgressDialog>
#include <QStandardPaths>

namespace
{

QString native(const QString &path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

QString keptName(const QString &path)
{
    const QFileInfo info(path);
    return info.dir().filePath(
        QStringLiteral("%1-jet.%2").arg(info.completeBaseName(), info.suffix()));
}

} // namespace

StartupConversion::StartupConversion(
    QString databasePath, QString converter, OperatorMessages &messages)
    : m_path(std::move(databasePath))
    , m_kept(keptName(m_path))
    , m_converter(std::move(converter))
    , m_messages(messages)
{
    connect(&m_process, &QProcess::readyReadStandardOutput, this, &StartupConversion::readOutput);
    connect(&m_process, &QProcess::finished, this, &StartupConversion::processFinished);
    connect(&m_process, &QProcess::errorOccurred, this, &StartupConversion::processFailed);
}

StartupConversion::~StartupConversion()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(1000);
        putOriginalBack();
    }
}

bool StartupConversion::isJetDatabase(const QString &path)
{
    return CheckJetFile(path).isJet();
}

QString StartupConversion::defaultConverter()
{
    const QString beside
        = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("zandorctl"));
    if (QFileInfo(beside).isExecutable())
        return beside;
    const QString found = QStandardPaths::findExecutable(QStringLiteral("zandorctl"));
    return found.isEmpty() ? beside : found;
}

bool StartupConversion::begin()
{
    const JetFileCheck check = CheckJetFile(m_path);
    if (!check.convertible()) {
        m_messages.show(
            QStringLiteral("The database file \"%1\" was written by the earlier program "
                           "but cannot be converted: %2.")
                .arg(native(m_path), check.cause),
            OperatorMessages::Icon::Critical);
        return false;
    }
    if (QFileInfo::exists(m_kept)) {
        m_messages.show(
            QStringLiteral("The database file \"%1\" was written by the earlier program. "
                           "It cannot be converted while \"%2\" exists: move that file "
                           "away and start again.")
                .arg(native(m_path), native(m_kept)),
            OperatorMessages::Icon::Critical);
        return false;
    }
    const QString question = QStringLiteral(
        "The database file \"%1\" was written by the earlier program (Jet format).\n"
        "Convert it into a database of this program now?\n"
        "The original stays beside it as \"%2\".")
                                 .arg(native(m_path), QFileInfo(m_kept).fileName());
    if (!m_messages.askYesNo(question)) {
        m_messages.show(
            QStringLiteral("The program cannot work with \"%1\" unconverted. It can also "
                           "be converted with \"zandorctl migrate\".")
                .arg(native(m_path)),
            OperatorMessages::Icon::Information);
        return false;
    }
    if (!QFile::rename(m_path, m_kept)) {
        m_messages.show(QStringLiteral("The database file \"%1\" cannot be renamed to \"%2\"; "
                                       "nothing has been converted.")
                            .arg(native(m_path), native(m_kept)),
            OperatorMessages::Icon::Critical);
        return false;
    }
    m_progress = std::make_unique<QProgressDialog>(
        QStringLiteral("Converting the database of the earlier program ..."), QString(), 0, 100);
    m_progress->setWindowTitle(QStringLiteral("Converting"));
    m_progress->setMinimumDuration(0);
    m_progress->setAutoClose(false);
    m_progress->setValue(0);
    m_progress->show();
    connect(this, &StartupConversion::percentDone, m_progress.get(), &QProgressDialog::setValue);
    m_process.start(m_converter,
        { QStringLiteral("migrate"), m_kept, QStringLiteral("--db"), m_path,
            QStringLiteral("--progress") });
    return true;
}

void StartupConversion::readOutput()
{
    m_pending += m_process.readAllStandardOutput();
    qsizetype end;
    while ((end = m_pending.indexOf('\n')) >= 0) {
        const QString line = QString::fromUtf8(m_pending.left(end)).trimmed();
        m_pending.remove(0, end + 1);
        const QStringList parts = line.split(QLatin1Char(' '));
        if (parts.size() == 3 && parts[0] == QLatin1String("progress")) {
            const qint64 done = parts[1].toLongLong(), total = parts[2].toLongLong();
            emit percentDone(total > 0 ? int(done * 100 / total) : 100);
        } else if (!line.isEmpty()) {
            m_report << line;
        }
    }
}

void StartupConversion::processFinished(int exitCode, QProcess::ExitStatus status)
{
    readOutput();
    if (status == QProcess::NormalExit && exitCode == 0 && QFileInfo::exists(m_path)) {
        conclude(true, QStringLiteral("The database has been converted.\n") + m_report.join('\n'));
        return;
    }
    QString why = QString::fromUtf8(m_process.readAllStandardError()).trimmed();
    why.remove(QStringLiteral("zandorctl migrate: "));
    why.replace(native(m_kept), native(m_path)); // the original is back in its place
    if (status != QProcess::NormalExit || why.isEmpty())
        why = QStringLiteral("The conversion ended abnormally; the file may be damaged.");
    conclude(false, why);
}

void StartupConversion::processFailed(QProcess::ProcessError error)
{
    if (error != QProcess::FailedToStart)
        return; // a crash is reported by processFinished
    conclude(false,
        QStringLiteral("The conversion program \"%1\" cannot be started (%2).")
            .arg(QDir::toNativeSeparators(m_converter), m_process.errorString()));
}

void StartupConversion::conclude(bool ok, const QString &text)
{
    if (m_concluded)
        return;
    m_concluded = true;
    if (m_progress)
        m_progress->close();
    m_progress.reset();
    if (!ok) {
        putOriginalBack();
        m_messages.show(
            text + QStringLiteral("\nThe database file \"%1\" is unchanged.").arg(native(m_path)),
            OperatorMessages::Icon::Critical);
    } else {
        m_messages.show(text, OperatorMessages::Icon::Information);
    }
    emit finished(ok);
}

// The converter never puts a half-made database in place, but a process
// that died may have left its unfinished file beside it.
void StartupConversion::putOriginalBack()
{
    const QFileInfo target(m_path);
    const QStringList leftovers = target.dir().entryList(
        { QStringLiteral(".%1-converting-*").arg(target.fileName()) }, QDir::Files | QDir::Hidden);
    for (const QString &f : leftovers)
        QFile::remove(target.dir().filePath(f));
    if (!QFileInfo::exists(m_path) && QFileInfo::exists(m_kept))
        QFile::rename(m_kept, m_path);
}
