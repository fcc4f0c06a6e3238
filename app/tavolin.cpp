#include "tavolin.h"
#include "busycursor.h"
#include "formfont.h"
#include "ui_tavolin.h"

#include <QMessageBox>

Tavolin::Tavolin(QWidget *parent)
    : QMainWindow(parent)
    , ui(new Ui::Tavolin)
{
    ui->setupUi(this);
    // The form's rectangles were drawn for a smaller font than desktops
    // commonly use; rather than cut its texts, it takes a smaller font.
    const QFont readable = fittingFont(font(), textRooms(*centralWidget()));
    if (readable != font())
        setFont(readable);
}

Tavolin::~Tavolin()
{
    delete ui;
}

void Tavolin::showProblem(const PanelProblem &problem)
{
    showCritical(problem.title, problem.text);
}

void Tavolin::showCritical(const QString &title, const QString &text)
{
    const NormalCursor normal;
    QMessageBox::critical(this, title, text, QMessageBox::Ok, QMessageBox::NoButton);
}
