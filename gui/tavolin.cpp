// SPDX-License-Identifier: GPL-3.0-or-later
#include "tavolin.h"
#include "boardlistmodel.h"
#include "busycursor.h"
#include "cli/problemtext.h"
#include "formfont.h"
#include "framedialog.h"
#include "ui_tavolin.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMessageBox>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

namespace {

// The local files among dropped URLs, in their order; anything else (a web
// address, a file of a remote share) is no board to load.
QStringList localFiles(const QMimeData *data)
{
    QStringList paths;
    if (!data)
        return paths;
    const QList<QUrl> urls = data->urls();
    for (const QUrl &url : urls) {
        if (url.isLocalFile())
            paths.append(url.toLocalFile());
    }
    return paths;
}

} // namespace

Tavolin::Tavolin(QWidget *parent)
    : QMainWindow(parent)
    , ui(new Ui::Tavolin)
    , boardList(new BoardListModel(this))
{
    ui->setupUi(this);
    ui->listBrdFiles->setModel(boardList);
    ui->listSizes->setModel(boardList);
    ui->listSizes->setModelColumn(BoardListModel::SizeColumn);
    // The form's rectangles were drawn for a smaller font than desktops
    // commonly use; rather than cut its texts, it takes a smaller font.
    const QFont readable = fittingFont(font(), textRooms(*centralWidget()));
    if (readable != font())
        setFont(readable);
    setAcceptDrops(true);
    connect(ui->actionDuplicateBoard, &QAction::triggered, this, &Tavolin::duplicateBoard);
    connect(ui->actionTurnBoard, &QAction::triggered, this, &Tavolin::turnBoard);
    connect(ui->actionFillWithSelectedBoard, &QAction::triggered, this,
            &Tavolin::fillWithChosenBoard);
    connect(ui->actionFrameAndTabs, &QAction::triggered, this, &Tavolin::editFrame);
    frameSettings = storedFrameSettings();
    setUpArrangement();
    setUpPreview();
}

void Tavolin::editFrame()
{
    FrameDialog dialog(frameSettings, ui->offsetBox->value(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    frameSettings = dialog.settings();
    storeFrameSettings(frameSettings);
    // A house's preset sets the channel too.
    ui->offsetBox->setValue(dialog.channel());
    requestPreview();
}

Tavolin::~Tavolin()
{
    delete ui;
}

void Tavolin::dragEnterEvent(QDragEnterEvent *event)
{
    if (!localFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void Tavolin::dropEvent(QDropEvent *event)
{
    const QStringList paths = localFiles(event->mimeData());
    if (paths.isEmpty())
        return;
    event->acceptProposedAction();
    // Loaded once the drop is over: the file manager waits for its end, and
    // a failure's message box would keep it waiting.
    QTimer::singleShot(0, this, [this, paths] { loadBoards(paths); });
}

void Tavolin::showProblem(const PanelProblem &problem)
{
    showCritical(problemTitle(problem), problemText(problem));
}

bool Tavolin::acceptDesignRules(const PanelProblem &rules)
{
    const QString text = QStringLiteral("The boards of this panel set these design rules "
                                        "differently, and the panel can keep only one value "
                                        "of each:\n\n")
            + problemText(rules)
            + QStringLiteral("\n\nOk writes the panel with these values; Cancel "
                             "writes nothing.");
    return askToWrite(QStringLiteral("Design rules"), text);
}

bool Tavolin::acceptHouseLimits(const QList<PanelProblem> &findings)
{
    QStringList lines;
    for (const PanelProblem &finding : findings)
        lines << houseLimitLine(finding);
    const QString house = QLatin1String(houseRules(findings.first().finding.house)->name);
    const QString text = QStringLiteral("The panel breaks these limits of %1:\n\n").arg(house)
            + lines.join(QLatin1Char('\n'))
            + QStringLiteral("\n\nOk writes the panel as it is; Cancel writes nothing.");
    return askToWrite(problemTitle(findings.first()), text);
}

bool Tavolin::askToWrite(const QString &title, const QString &text)
{
    const NormalCursor normal;
    return QMessageBox::warning(this, title, text, QMessageBox::Ok | QMessageBox::Cancel,
                                QMessageBox::Ok)
            == QMessageBox::Ok;
}

void Tavolin::showCritical(const QString &title, const QString &text)
{
    const NormalCursor normal;
    QMessageBox::critical(this, title, text, QMessageBox::Ok, QMessageBox::NoButton);
}
