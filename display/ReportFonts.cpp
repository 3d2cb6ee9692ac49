#include "display/ReportFonts.h"

#include <QFont>

void InstallFontSubstitutions()
{
    static const bool installed = [] {
        QFont::insertSubstitution(ReportFontFamily(), QStringLiteral("Liberation Mono"));
        return true;
    }();
    (void)installed;
}
