#pragma once

#include <QString>
#include <QXmlStreamReader>

// Shared by every reader of a board file: the texts of the two read failures
// and the nesting limit.

QString readErrorTitle(); // "QXSRExample::parseXML"
QString openFailureText(); // "Couldn't open example.xml"

// Real EAGLE boards nest about ten levels. A file nested far deeper is broken
// or hostile, and a DOM parser recursing over it would overflow the stack.
constexpr int maxBoardNesting = 256;

// Reads the next token like QXmlStreamReader::readNext(). `depth` counts the
// elements open at the reader's position; a start tag that takes it past
// maxBoardNesting puts the reader into a custom error that says so.
QXmlStreamReader::TokenType readNextLimited(QXmlStreamReader &reader, int &depth);
