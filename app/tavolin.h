// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDomDocument>
#include <QDomElement>
#include <QFile>
#include <QList>
#include <QMainWindow>
#include <QSaveFile>
#include <QStringList>

#include <memory>

#include "assembly/namebook.h"
#include "catalogue/measuredboards.h"
#include "layout/panelrun.h"

namespace Ui {
class Tavolin;
}

// The main window. It holds the whole state of the program: the board
// catalogue, the shifted copies of one make-panel run and the name lists of
// the panel assembly. The slots and members only route between the widgets
// and the window-free functions of the subsystems, and show the messages.
class Tavolin : public QMainWindow
{
    Q_OBJECT

public:
    explicit Tavolin(QWidget *parent = nullptr);
    ~Tavolin() override;

    // catalogue
    // Loads each file in order, as one Load each: a file that fails is
    // reported and the others are loaded.
    void loadBoards(const QStringList &paths);
    void extendX(double x);
    void extendY(double y);

public slots:
    void on_loadButton_clicked();
    void on_deleteButton_clicked();
    void on_makePanel_clicked();

public:
    // Board catalogue: index i of each list describes the same board.
    QStringList boardPaths;
    QList<double> boardWidths;
    QStringList shiftedBoards;
    // The path of the board of each entry of shiftedBoards, to name it.
    QStringList shiftedBoardPaths;
    QList<double> boardHeights;
    QStringList knownNames;
    QStringList duplicateNames;
    std::unique_ptr<QFile> inputFile;
    // The panel's file: written beside the chosen one, which it replaces
    // only when complete.
    std::unique_ptr<QSaveFile> panelFile;
    double maxX = 0.0;
    double maxY = 0.0;
    double minX = 0.0;
    double minY = 0.0;
    Ui::Tavolin *ui;
    // Where each board's outline box starts on its drawing, its smallest x
    // and y; same index as boardPaths. The placement moves the box's start
    // to the board's slot.
    QList<double> boardStartsX;
    QList<double> boardStartsY;
    // Index of knownNames by NameBook::key, so a used name is found in constant time.
    NameBook nameBook {knownNames, duplicateNames};

protected:
    // Board files dropped from a file manager load as if chosen in the dialog.
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void loadBoard(const QString &path);
    void appendBoard(const QString &path, const BoardFootprint &footprint);
    void duplicateBoard();
    BoardFootprint footprintAt(int row) const;
    PanelNumbers panelNumbers() const;
    QVector<PanelBoard> catalogueBoards() const;
    void showProblem(const PanelProblem &problem);
    void editFrame();

    // Every board file loaded, measured once while it stays as it is.
    MeasuredBoards measuredBoards;
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
};
