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
    appendEscaped(bytes, text);
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
        appendEscaped(bytes, attribute.value);
        bytes += '"';
    }
}

void appendEscaped(QByteArray &to, const QByteArray &text)
{
    const char *run = text.constData();
    const char *const end = run + text.size();
    for (const char *p = run; p != end; ++p) {
        const char *entity = nullptr;
        switch (*p) {
        case '&':
            entity = "&amp;";
            break;
        case '<':
            entity = "&lt;";
            break;
        case '>':
            entity = "&gt;";
            break;
        case '"':
            entity = "&quot;";
            break;
        default:
            continue;
        }
        to.append(run, int(p - run));
        to.append(entity);
        run = p + 1;
    }
    to.append(run, int(end - run));
}

} // namespace benchgen
