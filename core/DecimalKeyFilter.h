#pragma once

#include <QObject>

class Notation;

// Makes a typed "." enter the system's decimal separator in the fields it is
// installed on, so operators can use the keypad's point on a comma system.
// Every other key passes unchanged; pasted text is not touched.
class DecimalKeyFilter : public QObject
{
    Q_OBJECT
public:
    DecimalKeyFilter(const Notation &notation, QObject *parent = nullptr);
    // Kept by reference: a temporary notation would dangle.
    DecimalKeyFilter(Notation &&notation, QObject *parent = nullptr) = delete;

    // Installs the filter on field; the filter must outlive the field's use.
    void watch(QObject *field);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    const Notation &m_notation;
};
