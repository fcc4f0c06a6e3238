#pragma once

#include "geometry.h"

#include <QByteArray>
#include <QVector>

namespace benchgen {

struct Attribute
{
    const char *name;
    QByteArray value; // a null value leaves the attribute out; "" writes name=""
};
using Attributes = QVector<Attribute>;

// Writes EAGLE's XML straight into a byte array, one tag a line as EAGLE
// does, without a DOM in between: a 1000-part board is a few megabytes and
// the benchmark makes many of them.
class XmlOut
{
public:
    explicit XmlOut(QByteArray &bytes);

    void open(const char *tag, const Attributes &attributes = {});
    void close(const char *tag);
    void empty(const char *tag, const Attributes &attributes);
    void textElement(const char *tag, const Attributes &attributes, const QByteArray &text);
    // Appends well-formed XML that was written elsewhere.
    void append(const QByteArray &xml);

private:
    void startTag(const char *tag, const Attributes &attributes);

    QByteArray &bytes;
};

// Appends `text` with &, <, > and " escaped, for both texts and attribute
// values.
void appendEscaped(QByteArray &to, const QByteArray &text);

// Attribute values for numbers.
inline QByteArray len(Length length)
{
    return lengthText(length);
}
inline QByteArray num(int number)
{
    return QByteArray::number(number);
}

} // namespace benchgen
