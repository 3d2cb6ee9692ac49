#pragma once

#include <QColor>
#include <QMainWindow>
#include <array>
#include <functional>
#include <optional>

#include "core/AppContext.h"
#include "shell/ElidedLabel.h"

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QPushButton;
class QRadioButton;
class QGridLayout;
class QGroupBox;

// The start window: five box tiles, the scope-of-time options, the menus and
// the command buttons. It owns the program's life: start-up runs before it
// is shown, and closing it asks about unsaved boxes.
class FrmKovra : public QMainWindow
{
    Q_OBJECT
public:
    static constexpr unsigned ActiveShapeColour = 0x800080;
    static constexpr unsigned ShapeColour = 0xC0C0C0;

    explicit FrmKovra(AppContext &ctx, QWidget *parent = nullptr);
    ~FrmKovra() override;

    void ShowBoxTile(int box);
    void ShowAllBoxTiles();
    void MarkActiveBox();
    void SelectScopeOption();
    void SetCaptions();

    void cmdAEB_Click(int index);
    void ZbOption_Click(int index);
    void cmdEnd_Click();
    void Form_Activate();

    // Colour of the shape behind tile `index` (0..4), as 0xRRGGBB.
    unsigned shapeColour(int index) const;

    // Lets the start-up decide whether the window may close without asking
    // (the program ends before it was ever shown).
    void setAskBeforeClosing(bool ask) { m_askBeforeClosing = ask; }

    // The colour and printer dialogs, replaceable so tests can answer them.
    // The colour chooser returns nothing when the operator cancels.
    std::function<std::optional<QColor>(const QColor &initial)> chooseColour;
    std::function<void()> setUpPrinter;
    // The graph window opened from here, while it is open.
    QWidget *graphWindow() const { return m_graphWindow; }

signals:
    // Emitted when the window has agreed to close, before it goes away.
    void shuttingDown();

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    QGridLayout *buildTiles(QWidget *central);
    void buildScopeFrame();
    void buildButtons();
    void buildMenus();
    void connectCommands();
    void setShapeColour(int index, unsigned rgb);
    bool Form_Unload();
    void installDefaultChoosers();
    bool hasGraphInSelectedScope() const;
    void openGraphPatternDialog(int mode);

    // Menu and button handlers; their bodies live with the commands.
    void mnuSvV_Click();
    void mnuLa_Click();
    void mnuEx_Click();
    void mnuLoEb_Click();
    void mnuLoPl_Click();
    void mnuVzVE_Click();
    void mnuVzVL_Click();
    void mnuGwV_Click();
    void mnuGraph_Click();
    void mnuPrn_Click();
    void mnuEin_Click();
    void mnuEbn_Click(int box);
    void mnuSonst_Click();
    void mnuImp_Click();
    void mnuRep_Click();
    void mnuStat_Click();
    void mnuInf_Click();
    void cmdGoEb_Click();
    void Command1_Click();

public:
    AppContext &ctx;

    std::array<QPushButton *, 5> cmdAEB{};
    std::array<QFrame *, 5> Shape1{};
    std::array<ElidedLabel *, 5> lblBez{};
    std::array<QLabel *, 5> lblZB{};
    std::array<ElidedLabel *, 5> lblGWD{};
    std::array<QLabel *, 10> imgTyp{};
    std::array<QLabel *, 5> imgEd{};
    std::array<QLabel *, 4> lblHeading{};
    std::array<QRadioButton *, 9> ZbOption{}; // 1..8
    QGroupBox *fraZb = nullptr;
    QPushButton *cmdSv = nullptr;
    QPushButton *cmdLa = nullptr;
    QPushButton *cmdGraf = nullptr;
    QPushButton *cmdGoEb = nullptr;
    QPushButton *cmdEnd = nullptr;
    QPushButton *Command1 = nullptr;

    QMenu *mnuDat = nullptr;
    QAction *mnuSvV = nullptr;
    QAction *mnuLa = nullptr;
    QAction *mnuEx = nullptr;
    QAction *mnuLoEb = nullptr;
    QAction *mnuLoPl = nullptr;
    QMenu *mnuVZV = nullptr;
    QAction *mnuVzVE = nullptr;
    QAction *mnuVzVL = nullptr;
    QAction *mnuGwV = nullptr;
    QAction *mnuEnde = nullptr;
    QAction *mnuGraph = nullptr;
    QMenu *mnuEin = nullptr;
    QAction *mnuPrn = nullptr;
    QMenu *mnuKvFa = nullptr;
    std::array<QAction *, 6> mnuEbn{}; // 1..5
    QAction *mnuSonst = nullptr;
    QMenu *mnuHilfs = nullptr;
    QAction *mnuImp = nullptr;
    QAction *mnuRep = nullptr;
    QAction *mnuStat = nullptr;
    QAction *mnuInf = nullptr;

private:
    int PrevBox = 0;
    bool m_askBeforeClosing = true;
    QWidget *m_graphWindow = nullptr;
};
