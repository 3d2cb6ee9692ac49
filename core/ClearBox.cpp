#include "core/ClearBox.h"

#include "core/Notation.h"
#include "core/Settings.h"

void ClearBox(Settings &settings, int box, const Notation &notation, QDate today)
{
    BoxRecord &b = settings.Box(box);
    b.UntID = -1;
    b.Status = BoxStatus::Pattern;
    b.Stored = false;
    b.Changed = false;
    b.Fehlend = 0;
    b.Unvollst = false;
    b.BoxNr = box;
    b.Temp = settings.Temp;
    b.Kovra.clear();
    b.Benutzer.clear();
    b.BgArt.clear();
    b.HarzTyp.clear();
    b.BgVon.clear();
    b.DrVon.clear();
    b.PaVon.clear();
    b.Bemerk.clear();
    b.GrwBez.set(QString());
    b.Bg = b.GesGew = b.PaGew = b.Luftdurch = b.Feuchte = b.Fluss = b.Asche = 0;
    for (int k = 1; k <= 5; ++k) {
        b.GwO[k] = 0;
        b.GWU[k] = 0;
    }
    const QString date = notation.date(today);
    b.PruefAm = date;
    b.BgVonAm = date;
    b.DrVonAm = date;
    b.PaVonAm = date;
}
