#include "shell/ReportTarget.h"

#include <QDir>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>

QString DefaultReportFile()
{
    const QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString folder = !docs.isEmpty() && QDir(docs).exists() ? docs : QDir::homePath();
    return QDir(folder).filePath(QStringLiteral("zandor-report.pdf"));
}

void UseDefaultReportTarget(QPrinter &printer)
{
    if (!QPrinterInfo::availablePrinters().isEmpty())
        return;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(DefaultReportFile());
}
