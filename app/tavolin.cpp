#include "tavolin.h"
#include "ui_tavolin.h"

#include <QMessageBox>

Tavolin::Tavolin(QWidget *parent)
    : QMainWindow(parent)
    , ui(new Ui::Tavolin)
{
    ui->setupUi(this);
}

Tavolin::~Tavolin()
{
    delete ui;
}

void Tavolin::showCritical(const QString &title, const QString &text)
{
    QMessageBox::critical(this, title, text, QMessageBox::Ok, QMessageBox::NoButton);
}
