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
    void extendX(double x);
    void extendY(double y);
    // shift
    void addShiftedBoard(int boardIndex, int dx, int dy);
    // assembly
    void writePanel();
    void collectNames(QDomElement element);
    void replaceAttributeValue(QDomElement element, QString oldValue, QString newValue);
    void mergeSection(QString tagName, QDomDocument panel, QDomElement source);

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
    // Where each board's outline box starts, min(0, smallest x) and
    // min(0, smallest y); same index as boardPaths. The placement needs it to
    // keep boards with negative outline coordinates inside their slot.
    QList<double> boardStartsX;
    QList<double> boardStartsY;
    // Case-folded index of knownNames, so a used name is found in constant time.
    NameBook nameBook {knownNames, duplicateNames};

private:
    // Every message box of the window is shown here, with the normal cursor
    // even while the window is busy.
    void showCritical(const QString &title, const QString &text);
    // Tells what the panel cannot keep of its boards' design rules; true
    // when the user goes on.
    bool acceptDesignRules(const QString &report);
};
