#include "boardreader.h"

QString readErrorTitle()
{
    return QStringLiteral("QXSRExample::parseXML");
}

QString openFailureText()
{
    return QStringLiteral("Couldn't open example.xml");
}

QXmlStreamReader::TokenType readNextLimited(QXmlStreamReader &reader, int &depth)
{
    const QXmlStreamReader::TokenType token = reader.readNext();
    if (token == QXmlStreamReader::StartElement) {
        if (++depth > maxBoardNesting)
            reader.raiseError(QStringLiteral("Board file nested too deeply (more than %1 levels)")
                                      .arg(maxBoardNesting));
    } else if (token == QXmlStreamReader::EndElement) {
        --depth;
    }
    return token;
}
