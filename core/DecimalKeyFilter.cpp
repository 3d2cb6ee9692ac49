#include "core/DecimalKeyFilter.h"

#include "core/Notation.h"

#include <QCoreApplication>
#include <QKeyEvent>

DecimalKeyFilter::DecimalKeyFilter(const Notation &notation, QObject *parent)
    : QObject(parent)
    , m_notation(notation)
{
}

void DecimalKeyFilter::watch(QObject *field)
{
    field->installEventFilter(this);
}

bool DecimalKeyFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    if (key->text() != QLatin1String("."))
        return false;
    const QString replaced = m_notation.filterDecimalKey(key->text());
    if (replaced == key->text())
        return false;
    // The replacement carries the separator's own text, so it passes this
    // filter unchanged when it arrives.
    const int code = replaced == QLatin1String(",") ? Qt::Key_Comma : Qt::Key_unknown;
    QKeyEvent typed(QEvent::KeyPress, code, key->modifiers(), replaced, key->isAutoRepeat(),
        ushort(key->count()));
    QCoreApplication::sendEvent(watched, &typed);
    return true;
}
