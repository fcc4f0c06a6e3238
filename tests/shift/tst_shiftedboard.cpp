// SPDX-License-Identifier: GPL-3.0-or-later
#include "shift/shiftedboard.h"
#include "support/testsupport.h"

#include <QBuffer>
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>
#endif

namespace {

// A board document as an element tree: local names, attributes in source
// order, and per element its texts that are not whitespace only.
struct Node
{
    QString name;
    QList<QPair<QString, QString>> attributes;
    QString text;
    QList<Node> children;
};

struct Tree
{
    Node document; // its one child is the root element
    QString error;
    int elements = 0;
    QStringList texts;
};

void readChildren(QXmlStreamReader &reader, Node &parent, Tree &tree)
{
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement: {
            Node child;
            child.name = reader.name().toString();
            for (const QXmlStreamAttribute &attribute : reader.attributes())
                child.attributes.append(
                        {attribute.qualifiedName().toString(), attribute.value().toString()});
            ++tree.elements;
            readChildren(reader, child, tree);
            if (!child.text.isEmpty())
                tree.texts << child.text;
            parent.children.append(child);
            break;
        }
        case QXmlStreamReader::EndElement:
            return;
        case QXmlStreamReader::Characters:
            if (!reader.isWhitespace())
                parent.text += reader.text();
            break;
        default:
            break;
        }
    }
}

template<typename Xml>
Tree parseTree(const Xml &xml)
{
    QXmlStreamReader reader(xml);
    Tree tree;
    readChildren(reader, tree.document, tree);
    if (reader.hasError())
        tree.error = reader.errorString();
    return tree;
}

bool isShiftedSection(const QString &name)
{
    return name == QLatin1String("plain") || name == QLatin1String("elements")
            || name == QLatin1String("signals");
}

enum class Zone { Outside, Shifted, Kept };

// Checks `copy` against `source` moved by (dx, dy): coordinates inside the
// shifted sections as the source value plus the offset in six significant
// digits, the four section tags bare, everything else as in the source.
// Returns the first difference, or an empty string.
QString compareCopy(const Node &source, const Node &copy, Zone zone, int dx, int dy,
                    const QString &path)
{
    const QString here = path + QLatin1Char('/') + source.name;
    if (copy.name != source.name)
        return here + QStringLiteral(": copy is named ") + copy.name;
    const bool section = zone == Zone::Outside
            && (isShiftedSection(source.name) || source.name == QLatin1String("libraries"));
    if (section)
        zone = isShiftedSection(source.name) ? Zone::Shifted : Zone::Kept;
    const auto expectedAttributes = section ? decltype(source.attributes)() : source.attributes;
    if (copy.attributes.size() != expectedAttributes.size())
        return here + QStringLiteral(": attribute count %1").arg(copy.attributes.size());
    for (int i = 0; i < expectedAttributes.size(); ++i) {
        const QString name = expectedAttributes.at(i).first;
        QString value = expectedAttributes.at(i).second;
        static const QStringList xs {"x", "x1", "x2", "x3"}, ys {"y", "y1", "y2", "y3"};
        if (zone == Zone::Shifted && (xs.contains(name) || ys.contains(name)))
            value = QString::number(value.toDouble() + (xs.contains(name) ? dx : dy), 'g', 6);
        if (copy.attributes.at(i) != qMakePair(name, value))
            return here
                    + QStringLiteral(": %1=\"%2\", expected %3=\"%4\"")
                              .arg(copy.attributes.at(i).first, copy.attributes.at(i).second, name,
                                   value);
    }
    if (copy.text != source.text)
        return here + QStringLiteral(": text \"%1\", expected \"%2\"").arg(copy.text, source.text);
    if (copy.children.size() != source.children.size())
        return here
                + QStringLiteral(": %1 children, expected %2")
                          .arg(copy.children.size())
                          .arg(source.children.size());
    for (int i = 0; i < source.children.size(); ++i) {
        const QString difference = compareCopy(source.children.at(i), copy.children.at(i), zone, dx,
                                               dy, here + QStringLiteral("[%1]").arg(i));
        if (!difference.isEmpty())
            return difference;
    }
    return QString();
}

QString compareCopy(const Tree &source, const Tree &copy, int dx, int dy)
{
    if (!copy.error.isEmpty())
        return QStringLiteral("copy does not parse: ") + copy.error;
    return compareCopy(source.document, copy.document, Zone::Outside, dx, dy, QString());
}

#define VERIFY_COPY(source, copy, dx, dy)                                                          \
    do {                                                                                           \
        const QString difference = compareCopy(source, copy, dx, dy);                              \
        QVERIFY2(difference.isEmpty(), qPrintable(difference));                                    \
    } while (false)

// A small board with something of every kind the copy treats apart.
const char handBoardXml[] = R"(<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE eagle SYSTEM "eagle.dtd">
<!-- written by hand -->
<eagle version="9.6.2">
<?tavolin hint?>
<drawing>
<grid x="1.5" unit="mm"/>
<board>
<description>Board &amp; co.</description>
<plain note="dropped"><text x="1" y="2" size="1.27">REV &lt;A&gt;</text></plain>
<libraries><library name="rcl"><packages><package name="R0603">
<smd name="1" x="-0.85" y="0"/><text x="0" y="1"><![CDATA[>NAME]]></text>
</package></packages></library></libraries>
<elements><element name="R1" library="rcl" package="R0603" x="10" y="20" rot="R90">
<attribute name="VALUE" x="11.5" y="19"/></element></elements>
<signals><signal name="GND"><contactref element="R1" pad="1"/>
<wire x1="0" y1="0" x2="10.5" y2="0" width="0.254" layer="1"/></signal></signals>
</board>
</drawing>
</eagle>
)";

// The hand board moved by (100, 50), worked out by hand.
const char handBoardShiftedXml[] = R"(<eagle version="9.6.2"><drawing><grid x="1.5" unit="mm"/>
<board><description>Board &amp; co.</description>
<plain><text x="101" y="52" size="1.27">REV &lt;A&gt;</text></plain>
<libraries><library name="rcl"><packages><package name="R0603">
<smd name="1" x="-0.85" y="0"/><text x="0" y="1">&gt;NAME</text>
</package></packages></library></libraries>
<elements><element name="R1" library="rcl" package="R0603" x="110" y="70" rot="R90">
<attribute name="VALUE" x="111.5" y="69"/></element></elements>
<signals><signal name="GND"><contactref element="R1" pad="1"/>
<wire x1="100" y1="50" x2="110.5" y2="50" width="0.254" layer="1"/></signal></signals>
</board></drawing></eagle>)";

ShiftedCopy shiftBytes(const QByteArray &bytes, int dx, int dy)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly | QIODevice::Text);
    return shiftBoard(buffer, dx, dy);
}

QByteArray nested(int wrappers, const QByteArray &section, int inside)
{
    QByteArray xml = QByteArray("<w>").repeated(wrappers);
    if (!section.isEmpty())
        xml += '<' + section + '>';
    xml += QByteArray("<g>").repeated(inside) + QByteArray("</g>").repeated(inside);
    if (!section.isEmpty())
        xml += "</" + section + '>';
    return xml + QByteArray("</w>").repeated(wrappers);
}

#ifdef Q_OS_LINUX
// Root ignores permission bits; the immutable flag keeps even root from
// opening the file for writing. Cleared again when the guard goes.
class ImmutableFlag
{
public:
    explicit ImmutableFlag(const QString &path)
        : path(path)
    {
        active = set(true);
    }
    ~ImmutableFlag()
    {
        if (active)
            set(false);
    }

private:
    bool set(bool on)
    {
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
        if (fd < 0)
            return false;
        int flags = 0;
        bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        ::close(fd);
        return done;
    }

    QString path;
    bool active = false;
};
#endif

} // namespace

class TestShiftedBoard : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void handBoard();
    void boardWithoutSections();
    void nestingCountsWholeDocument_data();
    void nestingCountsWholeDocument();
    void realBoards_data();
    void realBoards();
    void sameBoardTwice();
    void writeProtectedBoardShifts();
    void failures_data();
    void failures();

private:
    QString writeBoard(const QString &name, const QByteArray &bytes);

    QTemporaryDir dir;
};

void TestShiftedBoard::initTestCase()
{
    QVERIFY(dir.isValid());
}

QString TestShiftedBoard::writeBoard(const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    return writeWholeFile(path, bytes) ? path : QString();
}

void TestShiftedBoard::handBoard()
{
    const ShiftedCopy copy = shiftBytes(handBoardXml, 100, 50);
    QVERIFY2(copy.succeeded(), qPrintable(copy.error));
    const Tree shifted = parseTree(copy.document);
    const Tree expected = parseTree(QByteArray(handBoardShiftedXml));
    QVERIFY(expected.error.isEmpty());
    // The expected coordinates are already in six-digit form, so with no
    // offset this is plain tree equality.
    VERIFY_COPY(expected, shifted, 0, 0);
    QVERIFY(copy.document.startsWith(QStringLiteral("<?xml version=\"1.0\"")));
    for (const char *dropped : {"<!DOCTYPE", "<!--", "<?tavolin", "dropped"})
        QVERIFY2(!copy.document.contains(QLatin1String(dropped)), dropped);
    QVERIFY(copy.document.endsWith(QLatin1String("</eagle>\n")));
}

void TestShiftedBoard::boardWithoutSections()
{
    const QByteArray board = "<eagle><drawing><grid x=\"1.5\" y=\"2\"/><schematic x1=\"3\">"
                             "<sheet x=\"4\"/></schematic></drawing></eagle>";
    const ShiftedCopy copy = shiftBytes(board, 7, 9);
    QVERIFY2(copy.succeeded(), qPrintable(copy.error));
    VERIFY_COPY(parseTree(board), parseTree(copy.document), 0, 0);
}

void TestShiftedBoard::nestingCountsWholeDocument_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<bool>("tooDeep");
    // The wrappers take levels 1 to 200, the section level 201.
    QTest::newRow("section ends at level 256") << nested(200, "plain", 55) << false;
    QTest::newRow("section reaches level 257") << nested(200, "plain", 56) << true;
    QTest::newRow("libraries reach level 257") << nested(200, "libraries", 56) << true;
    QTest::newRow("no section, level 257") << nested(257, QByteArray(), 0) << true;
}

void TestShiftedBoard::nestingCountsWholeDocument()
{
    QFETCH(QByteArray, xml);
    QFETCH(bool, tooDeep);
    const ShiftedCopy copy = shiftBytes(xml, 1, 1);
    if (tooDeep) {
        QCOMPARE(copy.error, nestingFailure(xml, 257));
        QVERIFY(copy.document.isEmpty());
    } else {
        QVERIFY2(copy.succeeded(), qPrintable(copy.error));
        QCOMPARE(parseTree(copy.document).elements, parseTree(xml).elements);
    }
}

void TestShiftedBoard::realBoards_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("dx");
    QTest::addColumn<int>("dy");
    const QStringList boards = realBoardsDir().isEmpty()
            ? QStringList()
            : QDir(realBoardsDir()).entryList({QStringLiteral("*.brd")}, QDir::Files, QDir::Name);
    if (boards.isEmpty())
        QTest::newRow("no real boards") << QString() << 0 << 0;
    const QPair<int, int> offsets[] = {{0, 0}, {10, 20}, {-137, 250}};
    for (const QString &board : boards) {
        for (const auto &offset : offsets)
            QTest::addRow("%s %+d %+d", qPrintable(board), offset.first, offset.second)
                    << realBoard(board) << offset.first << offset.second;
    }
}

void TestShiftedBoard::realBoards()
{
    REQUIRE_REAL_BOARDS();
    QFETCH(QString, path);
    QFETCH(int, dx);
    QFETCH(int, dy);
    QVERIFY2(!path.isEmpty(), "no .brd file among the real boards");
    QFile file(path);
    const ShiftedCopy shifted = shiftBoardFile(file, dx, dy);
    QVERIFY2(shifted.succeeded(), qPrintable(shifted.error));
    QVERIFY(!file.isOpen());

    const Tree source = parseTree(readWholeFile(path));
    const Tree copy = parseTree(shifted.document);
    QVERIFY2(source.error.isEmpty(), qPrintable(source.error));
    QVERIFY2(copy.error.isEmpty(), qPrintable(copy.error));
    QCOMPARE(copy.elements, source.elements);
    QCOMPARE(copy.texts, source.texts);
    VERIFY_COPY(source, copy, dx, dy);
}

void TestShiftedBoard::sameBoardTwice()
{
    const QString path = writeBoard(QStringLiteral("twice.brd"), handBoardXml);
    QVERIFY(!path.isEmpty());
    QFile file(path);
    const ShiftedCopy first = shiftBoardFile(file, 0, 0);
    const ShiftedCopy second = shiftBoardFile(file, 100, 50);
    QVERIFY(first.succeeded() && second.succeeded());
    const Tree source = parseTree(QByteArray(handBoardXml));
    VERIFY_COPY(source, parseTree(first.document), 0, 0);
    VERIFY_COPY(source, parseTree(second.document), 100, 50);
}

void TestShiftedBoard::writeProtectedBoardShifts()
{
    const QString path = writeBoard(QStringLiteral("protected.brd"), handBoardXml);
    QVERIFY(!path.isEmpty());
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
#ifdef Q_OS_LINUX
    std::unique_ptr<ImmutableFlag> immutable;
    if (::geteuid() == 0)
        immutable = std::make_unique<ImmutableFlag>(path);
#endif
    if (QFile(path).open(QIODevice::ReadWrite))
        qWarning("cannot write-protect the board here; only the shift itself is checked");

    QFile file(path);
    const ShiftedCopy shifted = shiftBoardFile(file, 100, 50);
    QVERIFY2(shifted.succeeded(), qPrintable(shifted.error));
    VERIFY_COPY(parseTree(QByteArray(handBoardXml)), parseTree(shifted.document), 100, 50);
    QVERIFY(!file.isOpen());
    QCOMPARE(readWholeFile(path), QByteArray(handBoardXml));
}

void TestShiftedBoard::failures_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");
    const QByteArray board(handBoardXml);
    const QByteArray insideSection = board.left(board.indexOf("</signal>"));
    const QByteArray outsideSections = board.left(board.indexOf("</board>"));
    QByteArray mismatched = board;
    mismatched.replace("</signal>", "</signol>");
    const QByteArray tooDeep = nested(300, QByteArray(), 0);

    QTest::newRow("missing file") << "missing.brd" << false << QByteArray()
                                  << "No such file or directory";
    QTest::newRow("empty file") << "empty.brd" << true << QByteArray()
                                << readerFailure(QByteArray());
    QTest::newRow("cut off inside a section")
            << "inside.brd" << true << insideSection << readerFailure(insideSection);
    QTest::newRow("cut off outside the sections")
            << "outside.brd" << true << outsideSections << readerFailure(outsideSections);
    QTest::newRow("mismatched end tag")
            << "mismatched.brd" << true << mismatched << readerFailure(mismatched);
    QTest::newRow("nested too deeply")
            << "deep.brd" << true << tooDeep << nestingFailure(tooDeep, 257);
}

void TestShiftedBoard::failures()
{
    QFETCH(QString, fileName);
    QFETCH(bool, exists);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    QVERIFY(!reason.isEmpty());
    const QString path = exists ? writeBoard(fileName, bytes) : dir.filePath(fileName);
    QVERIFY(!path.isEmpty());

    QFile file(path);
    const ShiftedCopy shifted = shiftBoardFile(file, 10, 20);
    QVERIFY(!shifted.succeeded() && shifted.document.isEmpty());
    // Why, in the words of the reader.
    QCOMPARE(shifted.error, reason);
    QVERIFY(!file.isOpen());
    QCOMPARE(QFileInfo::exists(path), exists);
}

QTEST_MAIN(TestShiftedBoard)
#include "tst_shiftedboard.moc"
