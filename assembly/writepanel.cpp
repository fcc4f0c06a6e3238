#include "app/tavolin.h"

#include "assemblepanel.h"
#include "mergeops.h"
#include "panelfile.h"

void Tavolin::writePanel()
{
    // Saving or discarding the panel closes its file. With nothing placed
    // the file is left as it is.
    if (panelFile && panelFile->isOpen()) {
        if (shiftedBoards.isEmpty()) {
            discardPanelFile(*panelFile);
        } else {
            const QByteArray text = assemblePanel(shiftedBoards, nameBook);
            const QString error = savePanelFile(*panelFile, text);
            if (!error.isEmpty())
                showCritical(QStringLiteral("Save Panel"),
                             QStringLiteral("Couldn't write panel file\n") + error);
        }
    }
    shiftedBoards.clear();
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
