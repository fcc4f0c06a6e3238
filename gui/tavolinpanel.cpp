// SPDX-License-Identifier: GPL-3.0-or-later
#include "boardlistmodel.h"
#include "busycursor.h"
#include "tavolin.h"
#include "ui_tavolin.h"

#include "core/run/panelfile.h"

#include <QActionGroup>
#include <QFileDialog>
#include <QSettings>

namespace {

const QString packedKey = QStringLiteral("panel/packed");

} // namespace

void Tavolin::setUpArrangement()
{
    auto *arrangement = new QActionGroup(this);
    arrangement->addAction(ui->actionRowsInLoadOrder);
    arrangement->addAction(ui->actionPacked);
    if (QSettings().value(packedKey, false).toBool())
        ui->actionPacked->setChecked(true);
    connect(ui->actionPacked, &QAction::toggled, this,
            [](bool packed) { QSettings().setValue(packedKey, packed); });
}

void Tavolin::on_makePanel_clicked()
{
    const PanelNumbers numbers = panelNumbers();
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save As"), QString(),
                                                      tr("Eagle-Boards (*.brd)"));
    if (path.isEmpty())
        return; // the dialog was cancelled
    const BusyCursor busy;
    // The chosen file keeps its bytes until the whole panel is written: it
    // may be one of the loaded boards, which is read again by the run.
    QSaveFile panelFile(path);
    if (const std::optional<PanelProblem> problem = openPanelOutput(panelFile)) {
        showProblem(*problem);
        return;
    }
    const AssembledPanel panel = assembleBoards(boardList->boards(), numbers);
    QList<PanelProblem> houseLimits;
    for (const PanelProblem &problem : panel.problems) {
        if (problem.kind == PanelProblem::HouseLimit) {
            houseLimits << problem;
        } else if (problem.kind != PanelProblem::DesignRules) {
            showProblem(problem);
        } else if (!acceptDesignRules(problem)) {
            discardPanelFile(panelFile);
            return;
        }
    }
    if (!houseLimits.isEmpty() && !acceptHouseLimits(houseLimits)) {
        discardPanelFile(panelFile);
        return;
    }
    if (const std::optional<PanelProblem> problem = savePanelOutput(panelFile, panel.text))
        showProblem(*problem);
}

PanelNumbers Tavolin::panelNumbers() const
{
    PanelNumbers numbers;
    numbers.width = ui->panelWidthBox->value();
    numbers.height = ui->panelHeightBox->value();
    numbers.offset = ui->offsetBox->value();
    numbers.frame = frameSettings;
    numbers.packed = ui->actionPacked->isChecked();
    return numbers;
}
