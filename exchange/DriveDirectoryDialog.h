#pragma once

#include <QDialog>

class QComboBox;
class QFileSystemModel;
class QLabel;
class QTreeView;

// The part the import and export file dialogs share: a drive list, a
// directory list whose current directory ("Path") changes when an entry is
// opened or when the focus leaves the list, and the decoration band.
class DriveDirectoryDialog : public QDialog
{
    Q_OBJECT
public:
    explicit DriveDirectoryDialog(QWidget *parent = nullptr);

    QString directoryPath() const { return m_path; }
    // Makes path the current directory, as opening it in the list does.
    void setDirectoryPath(const QString &path);

protected:
    // Sizes and positions given in twips, the unit the dialogs were drawn in.
    static int twips(int value) { return (value + 7) / 15; }
    void placeTwips(QWidget *widget, int left, int top, int width, int height);
    void setInnerSizeTwips(int width, int height);

    virtual void dirList_Change() { }

    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

    QComboBox *drvList;
    QTreeView *dirList;
    QLabel *Picture1;

private:
    void drvList_Change();
    void dirList_LostFocus();
    void fillDrives();
    void showPathInList();

    QFileSystemModel *m_directories;
    QString m_path;
};
