#include "documenttext.h"

#include "elementwalk.h"

#include <QDomNode>
#include <QVarLengthArray>
#include <QXmlStreamWriter>

#include <algorithm>
#include <utility>

namespace {

void writeDoctype(QXmlStreamWriter &out, const QDomDocumentType &type)
{
    if (type.isNull() || type.name().isEmpty())
        return;
    QString text = QStringLiteral("<!DOCTYPE ") + type.name();
    if (!type.publicId().isEmpty())
        text += QStringLiteral(" PUBLIC \"%1\" \"%2\"").arg(type.publicId(), type.systemId());
    else if (!type.systemId().isEmpty())
        text += QStringLiteral(" SYSTEM \"%1\"").arg(type.systemId());
    if (!type.internalSubset().isEmpty())
        text += QStringLiteral(" [") + type.internalSubset() + QLatin1Char(']');
    out.writeDTD(text + QLatin1Char('>'));
}

void writeStartElement(QXmlStreamWriter &out, const QDomElement &element)
{
    out.writeStartElement(element.tagName());
    QVarLengthArray<std::pair<QString, QString>, 16> attributes;
    forEachAttribute(element, [&](const QDomAttr &attribute) {
        attributes.append({attribute.name(), attribute.value()});
    });
    std::sort(attributes.begin(), attributes.end());
    for (const auto &attribute : attributes)
        out.writeAttribute(attribute.first, attribute.second);
}

void writeLeaf(QXmlStreamWriter &out, const QDomNode &node)
{
    switch (node.nodeType()) {
    case QDomNode::TextNode:
    case QDomNode::CDATASectionNode:
        out.writeCharacters(node.nodeValue());
        break;
    case QDomNode::CommentNode:
        out.writeComment(node.nodeValue());
        break;
    case QDomNode::ProcessingInstructionNode:
        // The declaration is written by writeStartDocument(), for UTF-8.
        if (node.nodeName() != QLatin1String("xml"))
            out.writeProcessingInstruction(node.nodeName(), node.nodeValue());
        break;
    case QDomNode::EntityReferenceNode:
        out.writeEntityReference(node.nodeName());
        break;
    default:
        break;
    }
}

// The node that follows `node` once its subtree is done, closing the
// elements that end on the way; null at the end of the document.
QDomNode nextClosing(QXmlStreamWriter &out, QDomNode node)
{
    while (node.nextSibling().isNull()) {
        node = node.parentNode();
        if (!node.isElement())
            return QDomNode();
        out.writeEndElement();
    }
    return node.nextSibling();
}

} // namespace

QByteArray documentText(const QDomDocument &document)
{
    QByteArray text;
    QXmlStreamWriter out(&text);
    out.setAutoFormatting(true);
    out.setAutoFormattingIndent(3);
    out.writeStartDocument();
    writeDoctype(out, document.doctype());
    QDomNode node = document.firstChild();
    while (!node.isNull()) {
        if (node.isElement()) {
            writeStartElement(out, node.toElement());
            if (node.hasChildNodes()) {
                node = node.firstChild();
                continue;
            }
            out.writeEndElement();
        } else {
            writeLeaf(out, node);
        }
        node = nextClosing(out, node);
    }
    out.writeEndDocument();
    return text;
}
