#pragma once

#include <QString>

class QPrinter;

// Where the test report goes on a machine without a printer: a PDF file in
// the documents folder, or in the home folder where a fresh account has no
// documents folder yet, so the first print never fails for a missing folder.
QString DefaultReportFile();

// Points printer at that file when no printer is installed; otherwise the
// system's default printer stays.
void UseDefaultReportTarget(QPrinter &printer);
