#include "app/tavolin.h"

#include "assemblepanel.h"
#include "mergeops.h"
#include "panelfile.h"

#include "app/busycursor.h"

#include <QFileInfo>
#include <QMessageBox>

void Tavolin::writePanel()
{
    // Saving or discarding the panel closes its file. With nothing placed
    // the file is left as it is.
    if (panelFile && panelFile->isOpen()) {
        if (shiftedBoards.isEmpty()) {
            discardPanelFile(*panelFile);
        } else {
            const PanelAssembly panel = assemblePanelReporting(shiftedBoards, nameBook);
            QStringList names;
            for (const QString &path : qAsConst(shiftedBoardPaths))
                names << QFileInfo(path).fileName();
            if (!panel.rules.isEmpty() && !acceptDesignRules(rulesReportText(panel.rules, names))) {
                discardPanelFile(*panelFile);
            } else {
                const QString error = savePanelFile(*panelFile, panel.text);
                if (!error.isEmpty())
                    showCritical(QStringLiteral("Save Panel"),
                                 QStringLiteral("Couldn't write panel file\n") + error);
            }
        }
    }
    shiftedBoards.clear();
    shiftedBoardPaths.clear();
    nameBook.clear();
}

bool Tavolin::acceptDesignRules(const QString &report)
{
    const NormalCursor normal;
    const QString text = QStringLiteral("The boards of this panel set these design rules "
                                        "differently, and the panel can keep only one value "
                                        "of each:\n\n")
            + report
            + QStringLiteral("\n\nOk writes the panel with these values; Cancel "
                             "writes nothing.");
    return QMessageBox::warning(this, QStringLiteral("Design rules"), text,
                                QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok)
            == QMessageBox::Ok;
}

void Tavolin::collectNames(QDomElement element)
{
    nameBook.collect(element);
}

void Tavolin::replaceAttributeValue(QDomElement element, QString oldValue, QString newValue)
{
    assembly::replaceAttributeValue(element, oldValue, newValue);
}

void Tavolin::mergeSection(QString tagName, QDomDocument panel, QDomElement source)
{
    assembly::mergeSection(tagName, panel, source);
}
