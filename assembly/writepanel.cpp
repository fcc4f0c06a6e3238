// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/tavolin.h"

#include "assemblepanel.h"
#include "layout/panelrun.h"
#include "mergeops.h"
#include "panelfile.h"

void Tavolin::writePanel()
{
    // Saving or discarding the panel closes its file. With nothing placed
    // the file is left as it is.
    if (panelFile && panelFile->isOpen()) {
        const PanelAssembly panel = assemblePanelReporting(shiftedBoards, nameBook);
        if (!panel.rules.isEmpty()
            && !acceptDesignRules(designRulesProblem(panel.rules, shiftedBoardPaths)))
            discardPanelFile(*panelFile);
        else if (const std::optional<PanelProblem> problem =
                         writePanelOutput(*panelFile, panel.text))
            showProblem(*problem);
    }
    shiftedBoards.clear();
    shiftedBoardPaths.clear();
    nameBook.clear();
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
