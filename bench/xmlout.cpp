#include "xmlout.h"

namespace benchgen {

XmlOut::XmlOut(QByteArray &bytes)
    : bytes(bytes)
{ }

void XmlOut::open(const char *tag, const Attributes &attributes)
{
    startTag(tag, attributes);
    bytes += ">\n";
}

void XmlOut::close(const char *tag)
{
    bytes += "</";
    bytes += tag;
    bytes += ">\n";
}

void XmlOut::empty(const char *tag, const Attributes &attributes)
{
    startTag(tag, attributes);
    bytes += "/>\n";
}

void XmlOut::textElement(const char *tag, const Attributes &attributes, const QByteArray &text)
{
    startTag(tag, attributes);
    bytes += '>';
    bytes += escaped(text);
    bytes += "</";
    bytes += tag;
    bytes += ">\n";
}

void XmlOut::append(const QByteArray &xml)
{
    bytes += xml;
}

void XmlOut::startTag(const char *tag, const Attributes &attributes)
{
    bytes += '<';
    bytes += tag;
    for (const Attribute &attribute : attributes) {
        if (attribute.value.isNull())
            continue;
        bytes += ' ';
        bytes += attribute.name;
        bytes += "=\"";
        bytes += escaped(attribute.value);
        bytes += '"';
    }
}

QByteArray escaped(const QByteArray &text)
{
    QByteArray result;
    result.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&':
            result += "&amp;";
            break;
        case '<':
            result += "&lt;";
            break;
        case '>':
            result += "&gt;";
            break;
        case '"':
            result += "&quot;";
            break;
        default:
            result += c;
        }
    }
    return result;
}

} // namespace benchgen
