#pragma once

#include "evaluation/SpecimenRecord.h"

#include <QDialog>
#include <QList>

class DecimalKeyFilter;
class LeaveChecks;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
struct AppContext;
struct BoxRecord;

// The dialog of one box: the operator enters the specimen of the active box
// and from here starts its measurement, edits its adjustments, relates a
// limit file and looks at its results and graph. It edits a working copy;
// "&Return", "&Adjustments" and "&Start measurement" take it into the box.
class FrmEbn : public QDialog
{
    Q_OBJECT
public:
    explicit FrmEbn(AppContext &ctx, QWidget *parent = nullptr);

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    struct NumberField {
        QLineEdit *edit;
        SpecimenRange range;
        float SpecimenRecord::*value;
    };
    struct DateField {
        QLineEdit *edit;
        QString message;
    };
    struct TextField {
        QLineEdit *edit;
        QString SpecimenRecord::*value;
    };

    void createFields();
    void createButtons();
    void layOut();
    void arrangeTabOrder();
    void connectHandlers();
    void Form_Activate();
    void Form_Paint();

    void cmdEbnMess_Click();
    void cmdEbnMessAn_Click();
    void cmdEbnGrw_Click();
    void cmdEbnGraph_Click();
    void cmdEbnErg_Click();
    void cmdEbnAb_Click();

    void EbnBg_LostFocus();
    void EbnGesGew_LostFocus();
    void EbnPaGew_LostFocus();
    void EbnLuftdurch_LostFocus();
    void EbnTemp_LostFocus();
    void EbnFeuchte_LostFocus();
    void EbnFluss_LostFocus();
    void EbnAsche_LostFocus();
    void EbnPruefAm_LostFocus();
    void EbnBgVonAm_LostFocus();
    void EbnDrVonAm_LostFocus();
    void EbnPaVonAm_LostFocus();

    // The checks of leaving a field; false, with the message given and the
    // focus on its way back, when the entry is refused.
    bool checkNumber(QLineEdit *field, SpecimenRange range);
    bool checkDate(QLineEdit *field, const QString &message);
    // Every field the operator typed into passes the checks of leaving it.
    bool typedFieldsPass();

    // False, with the focus and the message at the first field that holds
    // no number; rec is then untouched.
    bool GetSpecimenFields(SpecimenRecord &rec);
    void PutSpecimenFields(const SpecimenRecord &rec);
    // GetSpecimenFields into SpecimenBuf, mark the box changed when it
    // differs, copy it into the box. False when the fields could not be read.
    bool takeFields();

    void openMeasurementWindow(const QString &caption);
    void openAdjustmentsWindow();
    void openGraphWindow();
    void openResultsWindow();
    BoxRecord &box();

    AppContext &m_ctx;
    SpecimenRecord SpecimenBuf;
    LeaveChecks *m_checks;
    DecimalKeyFilter *m_decimalKeys;
    QList<NumberField> m_numbers;
    QList<DateField> m_dates;
    QList<TextField> m_texts;

    QLabel *lblEbnKovra, *lblEbnBenutzer, *lblEbnPruefAm, *lblEbnBgArt, *lblEbnBg, *lblEbnBgEinh,
        *lblEbnHarztyp, *lblEbnBgVon, *lblEbnBgVonAm, *lblEbnDrVon, *lblEbnDrVonAm, *lblEbnPaVon,
        *lblEbnPaVonAm, *lblEbnGesGew, *lblEbnGesGewEinh, *lblEbnPaGew, *lblEbnPaGewEinh,
        *lblEbnLuftdurch, *lblEbnLuftdurchEinh, *lblEbnTemp, *lblEbnTempEinh, *lblEbnFeuchte,
        *lblEbnFeuchteEinh, *lblEbnFluss, *lblEbnFlussEinh, *lblEbnAsche, *lblEbnAscheEinh,
        *lblEbnBemerk;
    QLineEdit *EbnKovra, *EbnBenutzer, *EbnPruefAm, *EbnBgArt, *EbnBg, *EbnHarztyp, *EbnBgVon,
        *EbnBgVonAm, *EbnDrVon, *EbnDrVonAm, *EbnPaVon, *EbnPaVonAm, *EbnGesGew, *EbnPaGew,
        *EbnLuftdurch, *EbnTemp, *EbnFeuchte, *EbnFluss, *EbnAsche;
    QPlainTextEdit *EbnBemerk;
    QPushButton *cmdEbnMess, *cmdEbnMessAn, *cmdEbnGrw, *cmdEbnGraph, *cmdEbnErg, *cmdEbnAb;
};
