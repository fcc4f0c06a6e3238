// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMainWindow>
#include <QStringList>

#include "core/board/measuredboards.h"
#include "core/run/panelrun.h"

class BoardListModel;
class LivePreview;
class PanelPane;

namespace Ui {
class Tavolin;
}

// The main window. Its slots and members only route between the widgets and
// the window-free panel run, and show the messages.
class Tavolin : public QMainWindow
{
    Q_OBJECT

public:
    explicit Tavolin(QWidget *parent = nullptr);
    ~Tavolin() override;

    // Loads each file in order, as one Load each: a file that fails is
    // reported and the others are loaded.
    void loadBoards(const QStringList &paths);

public slots:
    void on_loadButton_clicked();
    void on_deleteButton_clicked();
    void on_makePanel_clicked();

protected:
    // Board files dropped from a file manager load as if chosen in the dialog.
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void duplicateBoard();
    void turnBoard();
    void fillWithChosenBoard();
    // The row of the board chosen in the file list, -1 when none is.
    int chosenRow() const;
    PanelNumbers panelNumbers() const;
    void showProblem(const PanelProblem &problem);
    void editFrame();
    // Rows in load order or packed, remembered for the next start.
    void setUpArrangement();
    // The Panel dock follows every change of the boards or the numbers.
    void setUpPreview();
    void connectPreviewTriggers();
    void requestPreview();
    void savePreview();

    Ui::Tavolin *ui;
    // The loaded boards, shown by both lists of the form.
    BoardListModel *boardList;
    // Every board file loaded, measured once while it stays as it is. The
    // tokens of all but very large files are kept, so that the preview reads
    // no file again; a very large file is not held in memory.
    MeasuredBoards measuredBoards {true, 8 * 1024 * 1024};
    PanelPane *panelPane = nullptr;
    LivePreview *livePreview = nullptr;
    // Where the open dialog starts: the folder of the board loaded last, the
    // user's documents before any.
    QString openFolder = documentsFolder();
    static QString documentsFolder();
    // The panel's frame and tabs, as the Frame and Tabs dialog last set them.
    FrameSettings frameSettings;

    // Every message box of the window is shown here, with the normal cursor
    // even while the window is busy.
    void showCritical(const QString &title, const QString &text);
    // Tells what the panel cannot keep of its boards' design rules; true
    // when the user goes on.
    bool acceptDesignRules(const PanelProblem &rules);
    // Tells, in one box, which limits of the chosen board house the panel
    // breaks; true when the user goes on.
    bool acceptHouseLimits(const QList<PanelProblem> &findings);
    // A warning with Ok (write the panel) and Cancel; true on Ok.
    bool askToWrite(const QString &title, const QString &text);
};
