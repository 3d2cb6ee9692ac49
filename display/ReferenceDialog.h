#pragma once

#include "core/ReferenceCurve.h"

#include <QDialog>

class QComboBox;
class QListWidget;
class QPushButton;
class OperatorMessages;
class Store;

// Chooses the reference of one box: a stored graph from a graph directory,
// or none. Accepted with "&OK" (a graph chosen) or "&None" (none); the
// reference is then in reference(). Cancel leaves the choice as it was.
class FrmReferenz : public QDialog
{
    Q_OBJECT

public:
    FrmReferenz(Store &store, OperatorMessages &messages, const ReferenceCurve &current, int box,
        QWidget *parent = nullptr);

    const ReferenceCurve &reference() const { return m_reference; }

    // Handlers, public so tests can drive them.
    void cboVerz_Change();
    void cmdOk_Click();
    void cmdNone_Click();

    QComboBox *directories() const { return cboVerz; }
    QListWidget *graphs() const { return lstGraph; }

private:
    Store &m_store;
    OperatorMessages &m_messages;
    ReferenceCurve m_reference;
    QComboBox *cboVerz;
    QListWidget *lstGraph;
    QPushButton *cmdOk;
    QPushButton *cmdNone;
    QPushButton *cmdCancel;
};

// Lets the operator change the reference of box `box` in place; true when
// it changed.
bool ChooseReference(
    Store &store, OperatorMessages &messages, ReferenceCurve &reference, int box, QWidget *parent);
