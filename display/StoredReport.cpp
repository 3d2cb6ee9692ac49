#include "display/StoredReport.h"

#include "display/TestReport.h"
#include "core/Notation.h"
#include "core/Settings.h"
#include "core/SettingsTables.h"
#include "store/Store.h"

namespace {

bool fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

} // namespace

bool PrintStoredReport(Store &store, const Notation &notation, const StoredReportRequest &request,
                       QString *error, QStringList *notes)
{
    if (request.keys.isEmpty() || request.keys.size() > 5)
        return fail(error, QStringLiteral("give one to five stored graphs"));
    if (ScopeIndex(request.scope) == 0)
        return fail(error, QStringLiteral("%1 minutes is not a scope of time")
                               .arg(notation.plain(request.scope)));
    if (request.box < 0 || request.box > request.keys.size())
        return fail(error,
                    QStringLiteral("box %1 holds none of the given graphs").arg(request.box));

    Settings settings;
    if (!store.LoadSettings(settings))
        return fail(error, store.lastError());
    settings.ScopeOfTime = request.scope;
    for (int k = 1; k <= request.keys.size(); ++k) {
        BoxRecord &box = settings.Box(k);
        const qint32 key = request.keys.at(k - 1);
        if (!store.LoadBox(box, key))
            return fail(error, QStringLiteral("there is no stored graph or pattern %1").arg(key));
        if (notes && !box.holdsGraph())
            *notes << QStringLiteral("box %1 (%2) holds a pattern and gets no page")
                          .arg(QString::number(k), QString::number(key));
        else if (notes && request.box == 0 && box.Ein[10] != request.scope)
            *notes << QStringLiteral("box %1 (%2) was measured in %3 minutes and gets no page")
                          .arg(QString::number(k), QString::number(key),
                              notation.plain(box.Ein[10]));
    }
    settings.ActiveBox = request.box == 0 ? 1 : request.box;
    settings.DialogMode = request.box == 0 ? 0 : 1;
    return PrintReportToPdf(request.output, request.box, settings, notation, error);
}
