// SPDX-License-Identifier: GPL-3.0-or-later
#include "hostileinputs.h"

#include <QDir>
#include <QFile>
#include <QTextCodec>
#include <QXmlStreamReader>

namespace {

// %1 the encoding, %2 the label.
const char boardTemplate[] = R"(<?xml version="1.0" encoding="%1"?>
<!DOCTYPE eagle SYSTEM "eagle.dtd">
<eagle version="9.6.2">
<drawing>
<settings><setting alwaysvectorfont="no"/></settings>
<layers>
<layer number="1" name="Top" color="4" fill="1" visible="yes" active="yes"/>
<layer number="20" name="Dimension" color="24" fill="1" visible="yes" active="yes"/>
</layers>
<board>
<plain>
<wire x1="0" y1="0" x2="50" y2="0" width="0" layer="20"/>
<wire x1="50" y1="0" x2="50" y2="30" width="0" layer="20"/>
<wire x1="50" y1="30" x2="0" y2="30" width="0" layer="20"/>
<wire x1="0" y1="30" x2="0" y2="0" width="0" layer="20"/>
<text x="5" y="5" size="1.27" layer="21">%2</text>
</plain>
<libraries>
<library name="lib">
<packages>
<package name="R0603"><smd name="1" x="-0.8" y="0" dx="1" dy="1" layer="1"/><smd name="2" x="0.8" y="0" dx="1" dy="1" layer="1"/></package>
</packages>
</library>
</libraries>
<classes><class number="0" name="default" width="0" drill="0"/></classes>
<elements>
<element name="R1" library="lib" package="R0603" value="10k" x="10" y="10"/>
<element name="R2" library="lib" package="R0603" value="1k" x="20" y="10"/>
</elements>
<signals>
<signal name="GND"><contactref element="R1" pad="1"/><contactref element="R2" pad="2"/><wire x1="10" y1="10" x2="20" y2="10" width="0.25" layer="1"/></signal>
<signal name="VCC"><contactref element="R1" pad="2"/></signal>
</signals>
</board>
</drawing>
</eagle>
)";

} // namespace

QByteArray handMadeBoard(const QString &label, const QByteArray &encoding, const QString &lineEnd)
{
    const QString text = QString::fromUtf8(boardTemplate)
                                 .replace(QLatin1Char('\n'), lineEnd)
                                 .arg(QString::fromLatin1(encoding), label.toHtmlEscaped());
    QTextCodec *codec = QTextCodec::codecForName(encoding);
    return codec ? codec->fromUnicode(text) : text.toUtf8();
}

QByteArray cutInside(const QByteArray &tag)
{
    const QByteArray board = handMadeBoard();
    const int start = board.indexOf('<' + tag + '>');
    Q_ASSERT(start >= 0);
    return board.left(start + tag.size() + 20);
}

QByteArray nestedElements(int levels)
{
    return "<eagle>" + QByteArray("<g>").repeated(levels) + QByteArray("</g>").repeated(levels)
            + "</eagle>";
}

QByteArray billionLaughs()
{
    QByteArray text = "<?xml version=\"1.0\"?>\n<!DOCTYPE eagle [\n<!ENTITY lol0 \"lol\">\n";
    for (int level = 1; level <= 9; ++level) {
        const QByteArray below = "&lol" + QByteArray::number(level - 1) + ';';
        text += "<!ENTITY lol" + QByteArray::number(level) + " \"" + below.repeated(10) + "\">\n";
    }
    return text
            + "]>\n<eagle><drawing><board><plain><text x=\"1\" y=\"1\" "
              "layer=\"21\">&lol9;</text></plain></board></drawing></eagle>\n";
}

QByteArray externalEntityBoard(const QString &path)
{
    QByteArray board = handMadeBoard(QStringLiteral("[&secret;]"));
    // toHtmlEscaped() made the reference harmless; it is meant to stand.
    board.replace("[&amp;secret;]", "[&secret;]");
    const QByteArray declaration = "<!DOCTYPE eagle [\n<!ENTITY secret SYSTEM \"file://"
            + QFile::encodeName(path) + "\">\n]>";
    return board.replace("<!DOCTYPE eagle SYSTEM \"eagle.dtd\">", declaration);
}

QByteArray outlineWithWire(const QByteArray &wireAttributes)
{
    return "<?xml version=\"1.0\"?><eagle><drawing><board><plain>"
           "<wire x1=\"0\" y1=\"0\" x2=\"40\" y2=\"20\" layer=\"20\"/><wire "
            + wireAttributes
            + "/><text x=\"1\" y=\"1\" layer=\"21\">ODD</text></plain></board></drawing></eagle>\n";
}

QMap<QString, QByteArray> filesIn(const QString &dir)
{
    QMap<QString, QByteArray> files;
    const QStringList names = QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot
                                                  | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        QFile file(QDir(dir).filePath(name));
        files.insert(name, file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<dir>"));
    }
    return files;
}
