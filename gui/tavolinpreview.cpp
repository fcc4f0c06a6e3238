// SPDX-License-Identifier: GPL-3.0-or-later
#include "boardlistmodel.h"
#include "livepreview.h"
#include "panelpane.h"
#include "panelview.h"
#include "tavolin.h"
#include "ui_tavolin.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMenuBar>
#include <QSpinBox>
#include <QStatusBar>
#include <QToolBar>

namespace {

// The dock's room under the form when the window opens.
constexpr int paneHeight = 320;

} // namespace

// The form keeps the height it has in a window without the dock: the window
// grows by the dock below it, and all later growth goes to the dock.
void Tavolin::setUpPreview()
{
    const QSize form = size();
    const int bars = menuBar()->sizeHint().height() + ui->mainToolBar->sizeHint().height()
            + statusBar()->sizeHint().height();
    centralWidget()->setFixedHeight(form.height() - bars);
    panelPane = new PanelPane(this);
    livePreview = new LivePreview(this);
    addDockWidget(Qt::BottomDockWidgetArea, panelPane);
    ui->menuView->addAction(panelPane->toggleViewAction());
    resize(form.width(), form.height() + paneHeight);
    connect(livePreview, &LivePreview::pictureChanged, this,
            [this] { panelPane->showPicture(livePreview->picture()); });
    connect(ui->listBrdFiles->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) {
                panelPane->view()->setHighlightedBoard(current.isValid() ? current.row() : -1);
            });
    connect(ui->actionSavePreview, &QAction::triggered, this, &Tavolin::savePreview);
    connectPreviewTriggers();
    requestPreview();
}

void Tavolin::connectPreviewTriggers()
{
    const auto request = [this] {
        requestPreview();
    };
    connect(boardList, &QAbstractItemModel::rowsInserted, this, request);
    connect(boardList, &QAbstractItemModel::rowsRemoved, this, request);
    connect(boardList, &QAbstractItemModel::modelReset, this, request);
    connect(boardList, &QAbstractItemModel::dataChanged, this, request);
    connect(ui->actionPacked, &QAction::toggled, this, request);
    for (QSpinBox *box : {ui->panelWidthBox, ui->panelHeightBox, ui->offsetBox})
        connect(box, QOverload<int>::of(&QSpinBox::valueChanged), this, request);
}

void Tavolin::requestPreview()
{
    livePreview->request(
            {boardList->boards(), panelNumbers(), keptTokens(boardList->boards(), measuredBoards)});
}

void Tavolin::savePreview()
{
    const QString svg = QStringLiteral("SVG picture (*.svg)");
    QString filter = svg;
    QString path =
            QFileDialog::getSaveFileName(this, QStringLiteral("Save Preview"), openFolder,
                                         svg + QStringLiteral(";;PNG image (*.png)"), &filter);
    if (path.isEmpty())
        return;
    // The picture's format follows the suffix, which a typed name may lack.
    if (QFileInfo(path).suffix().isEmpty())
        path += filter == svg ? QStringLiteral(".svg") : QStringLiteral(".png");
    const QString error = savePicture(livePreview->picture(), path);
    if (!error.isEmpty())
        showCritical(QStringLiteral("Save Preview"), error);
}
