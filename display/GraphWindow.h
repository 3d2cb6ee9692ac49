#pragma once

#include <QDialog>

struct AppContext;
class DrawingSurface;
class PictureBox;
class QPushButton;

// The graph window: a large plot of the curves with a legend of the five
// boxes below it, and the print of the test report.
//
// The caller sets DialogMode first: 1 shows the active box alone (open it
// modally with exec()), anything else every box of the selected scope
// (open it with show(); set Qt::WA_DeleteOnClose if it is made with new).
// While the window is open the main window's "Display graphs" entry must
// stay disabled: graphWindowOpened(true) is emitted when the window is first
// shown and graphWindowOpened(false) when it closes, however it is closed.
class FrmGraph : public QDialog
{
    Q_OBJECT

public:
    explicit FrmGraph(AppContext &ctx, QWidget *parent = nullptr);

    // Event handlers, public so tests can drive them.
    void Form_Resize();
    void Picture1_Paint(DrawingSurface &surface);
    void Picture2_Paint(DrawingSurface &surface);
    void cmdGraphDrk_Click();
    void cmdGraphAb_Click();
    // Chooses the reference curve of the active box, drawn under the curves.
    void cmdReferenz_Click();

    // The designed inner area in twips.
    static constexpr int DesignWidth = 9255;
    static constexpr int DesignHeight = 6510;

signals:
    void graphWindowOpened(bool open);

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void Form_Load();
    void Form_Unload();
    double twipsPerPixelX() const;
    double twipsPerPixelY() const;
    QRect toPixels(const QRect &twips) const;

    AppContext &m_ctx;
    PictureBox *Picture1;
    PictureBox *Picture2;
    QPushButton *cmdGraphDrk;
    QPushButton *cmdGraphAb;
    QPushButton *cmdReferenz;
    bool m_loaded = false;
    bool m_unloaded = false;
};
