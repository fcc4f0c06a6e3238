// SPDX-License-Identifier: GPL-3.0-or-later
#include "panelpane.h"
#include "panelview.h"

#include "cli/problemtext.h"

#include <QFileInfo>
#include <QLabel>
#include <QVBoxLayout>

namespace {

QString leftOutLine(const PanelProblem &problem)
{
    if (problem.kind == PanelProblem::HouseLimit)
        return problemTitle(problem) + QStringLiteral(": ") + houseLimitLine(problem);
    const QString why = leftOutReason(problem.kind);
    if (why.isEmpty() || problem.file.isEmpty())
        return why;
    const QString file = QFileInfo(problem.file).fileName();
    if (problem.board < 0)
        return QStringLiteral("%1: %2").arg(file, why);
    return QStringLiteral("%1  %2: %3").arg(problem.board + 1).arg(file, why);
}

} // namespace

QStringList leftOutLines(const PanelPicture &picture)
{
    QStringList lines;
    for (const PanelProblem &problem : picture.preview().problems) {
        const QString line = leftOutLine(problem);
        if (!line.isEmpty())
            lines << line;
    }
    return lines;
}

PanelPane::PanelPane(QWidget *parent)
    : QDockWidget(QStringLiteral("Panel"), parent)
    , panelView(new PanelView)
    , leftOut(new QLabel)
{
    setObjectName(QStringLiteral("panelDock"));
    panelView->setObjectName(QStringLiteral("panelView"));
    leftOut->setObjectName(QStringLiteral("leftOutList"));
    leftOut->setWordWrap(true);
    leftOut->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QPalette alarming = leftOut->palette();
    alarming.setColor(QPalette::WindowText, QColor(0xc0, 0x00, 0x00));
    leftOut->setPalette(alarming);
    leftOut->hide();
    auto *contents = new QWidget;
    auto *layout = new QVBoxLayout(contents);
    layout->addWidget(panelView, 1);
    layout->addWidget(leftOut);
    setWidget(contents);
}

void PanelPane::showPicture(const PanelPicture &picture)
{
    panelView->setPicture(picture);
    const QStringList lines = leftOutLines(picture);
    leftOut->setText(lines.join(QLatin1Char('\n')));
    leftOut->setVisible(!lines.isEmpty());
}
