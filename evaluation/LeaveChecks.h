#pragma once

#include <QObject>
#include <QPointer>
#include <QSet>

class QWidget;

// Reports when the operator moves the focus away from a watched field, so a
// form can check the entry; a refused entry gets the focus back.
//
// Only moves inside the active window count: a message box opening over the
// form, or the form closing, is no leaving. While a refused field is getting
// its focus back, nothing else is reported, so two refused fields cannot
// pull the focus to and fro.
class LeaveChecks : public QObject
{
    Q_OBJECT
public:
    explicit LeaveChecks(QObject *parent = nullptr);

    // The returned object emits lostFocus() whenever field is left.
    class Watch;
    Watch *watch(QWidget *field);
    // Clicking target, or pressing its shortcut, checks nothing: a cancel
    // button. Reaching it with Tab still checks.
    void exempt(QWidget *target) { m_exempt.insert(target); }

    // A button pressed by its access key leaves the focus where it was; it
    // calls this first to check the focused field as if it had been left.
    // False when that field (or one just refused) holds the focus back.
    bool leaveFocused();

    // Sends the focus back to field once the current event is handled.
    void refuse(QWidget *field);
    // True from refuse() until the focus is back: a button pressed in that
    // moment must not act on the entries.
    bool refusing() const { return !m_refused.isNull(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void giveFocusBack();

    QSet<QWidget *> m_exempt;
    QPointer<QWidget> m_refused;
    bool m_returning = false;
};

class LeaveChecks::Watch : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
signals:
    void lostFocus();
};
