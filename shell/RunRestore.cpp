#include "shell/RunRestore.h"

#include "core/OperatorMessages.h"
#include "core/Settings.h"
#include "instrument/RunJournalWriter.h"
#include "store/Store.h"

int RestoreInterruptedRuns(
    Store &store, Settings &settings, OperatorMessages &messages, const Notation &notation)
{
    RunJournal journal(store.database());
    int restored = 0;
    for (const RunJournal::Interrupted &run : journal.interrupted()) {
        const bool known = run.boxNr >= 1 && run.boxNr <= 5;
        if (known && messages.askYesNo(RestoreQuestion(run, notation))) {
            settings.Box(run.boxNr) = RestoredEvaluatedBox(run);
            restored |= 1 << run.boxNr;
        }
        journal.clear(run.id);
    }
    return restored;
}
