#pragma once

#include <QWidget>

class Notation;
class OperatorMessages;
class QPushButton;
class Store;
struct BoxRecord;
struct Settings;

// The drawing area of the measurement window: axes and grid of the selected
// scope of time and the curve measured so far, drawn whole on every paint,
// so that resizing or a message box over it never loses a point.
class MeasurementPlot : public QWidget
{
public:
    MeasurementPlot(Settings &settings, const Notation &notation, QWidget *parent = nullptr);
    // Kept by reference: a temporary notation would dangle.
    MeasurementPlot(Settings &settings, Notation &&notation, QWidget *parent = nullptr) = delete;

    // The box whose curve is drawn, and whether it holds a point yet; before
    // the first point the cleared curve has no end mark and is not drawn.
    void setCurve(BoxRecord *box, bool hasPoints);
    // Shows a button in the corner that chooses the box's reference curve,
    // which is drawn under the measured one.
    void offerReferenceChoice(Store &store, OperatorMessages &messages);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    int box() const;

    Settings &m_settings;
    const Notation &m_notation;
    BoxRecord *m_box = nullptr;
    bool m_hasPoints = false;
    QPushButton *m_reference = nullptr;
};
