// SPDX-License-Identifier: GPL-3.0-or-later
#include "testsupport.h"

#include "core/xml/boardtokens.h"

#include <QAbstractButton>
#include <QApplication>
#include <QBuffer>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QXmlStreamReader>

#include <cstring>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

QString failure(QString error, qint64 line, qint64 column)
{
    if (error.endsWith(QLatin1Char('.')))
        error.chop(1);
    return QStringLiteral("%1 (line %2, column %3)").arg(error).arg(line).arg(column);
}

} // namespace

QString readerFailure(const QByteArray &bytes)
{
    QXmlStreamReader reader(bytes);
    while (!reader.atEnd())
        reader.readNext();
    return reader.hasError()
            ? failure(reader.errorString(), reader.lineNumber(), reader.columnNumber())
            : QString();
}

QString nestingFailure(const QByteArray &xml, int level)
{
    int at = -1;
    for (int opened = 0; opened < level;) {
        at = xml.indexOf('<', at + 1);
        if (at < 0)
            return QString();
        if (!QByteArray("/?!").contains(xml.at(at + 1)))
            ++opened;
    }
    return failure(QStringLiteral("Board file nested too deeply (more than 256 levels)"), 1,
                   xml.indexOf('>', at) + 1);
}

QString surrogateFailure(const QByteArray &bytes)
{
    QXmlStreamReader reader(bytes);
    const auto lone = [](QStringView text) {
        for (int i = 0; i < text.size(); ++i) {
            if (text.at(i).isHighSurrogate() && i + 1 < text.size()
                && text.at(i + 1).isLowSurrogate())
                ++i;
            else if (text.at(i).isSurrogate())
                return true;
        }
        return false;
    };
    while (!reader.atEnd()) {
        reader.readNext();
        QString all = reader.qualifiedName().toString() + reader.text().toString();
        QString names = reader.qualifiedName().toString();
        for (const QXmlStreamAttribute &attribute : reader.attributes()) {
            all += attribute.qualifiedName().toString() + attribute.value().toString();
            names += attribute.qualifiedName().toString();
        }
        const bool control =
                std::any_of(names.begin(), names.end(), [](QChar c) { return c.unicode() < 0x20; });
        if (lone(all) || control)
            return failure(QStringLiteral("Board text holds a character no XML document can carry"),
                           reader.lineNumber(), reader.columnNumber());
    }
    return QString();
}

QString realBoardsDir()
{
    const QString fromEnvironment = qEnvironmentVariable("TAVOLIN_BOARDS_DIR");
    for (const QString &dir : {fromEnvironment, QStringLiteral(TAVOLIN_BOARDS_DIR)}) {
        if (!dir.isEmpty() && QDir(dir).exists())
            return QDir(dir).absolutePath();
    }
    return QString();
}

QString realBoard(const QString &fileName)
{
    const QString dir = realBoardsDir();
    return dir.isEmpty() ? QString() : dir + QLatin1Char('/') + fileName;
}

QByteArray readWholeFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

bool writeWholeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate)
            && file.write(bytes) == bytes.size() && file.flush();
}

qint64 SequentialDevice::bytesAvailable() const
{
    return bytes.size() - offset + QIODevice::bytesAvailable();
}

qint64 SequentialDevice::readData(char *data, qint64 size)
{
    const qint64 count = qMin(size, qint64(bytes.size()) - offset);
    memcpy(data, bytes.constData() + offset, size_t(count));
    offset += count;
    return count;
}

CursorStack overrideCursors()
{
    // QGuiApplication shows only the top of its stack: take the stack apart
    // and put it back together.
    CursorStack stack;
    for (const QCursor *cursor = QGuiApplication::overrideCursor(); cursor;
         cursor = QGuiApplication::overrideCursor()) {
        stack.append(cursor->shape());
        QGuiApplication::restoreOverrideCursor();
    }
    for (auto shape = stack.crbegin(); shape != stack.crend(); ++shape)
        QGuiApplication::setOverrideCursor(*shape);
    return stack;
}

DialogScript::DialogScript()
{
    connect(&timer, &QTimer::timeout, this, &DialogScript::poll);
    timer.start(5);
}

DialogScript::~DialogScript() = default;

void DialogScript::answer(Answer answer)
{
    answers.append(std::move(answer));
}

void DialogScript::chooseFile(const QString &path)
{
    chooseFiles({path});
}

void DialogScript::chooseFiles(const QStringList &paths)
{
    // One name is typed as it is; several are typed each in quotes, which is
    // how the dialog itself shows a selection of several files.
    QString typed = paths.value(0);
    if (paths.size() > 1)
        typed = QLatin1Char('"') + paths.join(QStringLiteral("\" \"")) + QLatin1Char('"');
    answer([this, typed](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        if (!dialog) {
            modal->close();
            return;
        }
        fileDialogFolders.append(dialog->directory().absolutePath());
        // Typed into the file name field, as a user would: selectFile()
        // leaves the field alone once it has the focus.
        if (auto *field = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
            field->setText(typed);
        else
            dialog->selectFile(typed);
        static_cast<QDialog *>(dialog)->accept(); // what pressing Open or Save does
    });
}

void DialogScript::cancelFile()
{
    answer([this](QWidget *modal) {
        if (auto *fileDialog = qobject_cast<QFileDialog *>(modal))
            fileDialogFolders.append(fileDialog->directory().absolutePath());
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
        else
            modal->close();
    });
}

void DialogScript::dismissMessage()
{
    answer([this](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        if (!box) {
            unexpected.append(QString::fromLatin1(modal->metaObject()->className()));
            modal->close();
            return;
        }
        messages.append(
                {box->windowTitle(), box->text(), int(box->icon()), int(box->standardButtons())});
        QAbstractButton *button = box->button(QMessageBox::Ok);
        if (!button)
            button = box->button(QMessageBox::Yes);
        if (button)
            button->click();
        else
            box->reject();
    });
}

void DialogScript::poll()
{
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible())
        return;
    // A dialog answered once stays answered: a file dialog that asked a
    // question becomes the active modal widget again for a moment before
    // it closes.
    answered.removeAll(QPointer<QWidget>());
    if (answered.contains(modal))
        return;
    answered.append(modal);
    cursors.append(overrideCursors());
    if (answers.isEmpty()) {
        unexpected.append(QString::fromLatin1(modal->metaObject()->className()));
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
        else
            modal->close();
        return;
    }
    // Answered from a queued call, not from the timer: an answer may open a
    // nested modal loop (accepting a save dialog asks before it replaces a
    // file), and Qt does not fire a timer again while its own handler runs.
    QMetaObject::invokeMethod(
            this,
            [answer = answers.takeFirst(), target = QPointer<QWidget>(modal)] {
                if (target)
                    answer(target);
            },
            Qt::QueuedConnection);
}

namespace {

bool setImmutable(const QString &path, bool on)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    if (fd < 0)
        return false;
    int flags = 0;
    bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (done) {
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return done;
}

} // namespace

WriteProtection::WriteProtection(const QString &path)
    : path(path)
    , permissions(QFile::permissions(path))
{
    QFile::setPermissions(path,
                          permissions
                                  & ~(QFile::WriteOwner | QFile::WriteUser | QFile::WriteGroup
                                      | QFile::WriteOther));
    immutable = setImmutable(path, true);
}

WriteProtection::~WriteProtection()
{
    if (immutable)
        setImmutable(path, false);
    QFile::setPermissions(path, permissions);
}

bool WriteProtection::effective() const
{
    if (!QFileInfo(path).isDir())
        return !QFile(path).open(QIODevice::ReadWrite);
    QFile probe(path + QStringLiteral("/probe"));
    if (!probe.open(QIODevice::WriteOnly))
        return true;
    probe.remove();
    return false;
}

BoardCopy readCopy(const QByteArray &bytes, int dx, int dy, bool sequential)
{
    QBuffer buffer;
    buffer.setData(bytes);
    SequentialDevice pipe(bytes);
    QIODevice &device = sequential ? static_cast<QIODevice &>(pipe) : buffer;
    BoardCopy copy;
    copy.dx = dx;
    copy.dy = dy;
    if (device.open(QIODevice::ReadOnly) && (copy.board = readBoardTokens(device).tokens))
        copy.rules = DesignRules::of(*copy.board);
    return copy;
}

PanelAssembly assembled(const QVector<BoardCopy> &copies)
{
    QStringList known, duplicates;
    NameBook names(known, duplicates);
    return assembleCopies(copies, names);
}

namespace {

// Every token of `document` as it is written, no coordinate to move.
std::shared_ptr<const DocumentTokens> tokensAsWritten(const QString &document)
{
    auto tokens = std::make_shared<DocumentTokens>();
    DocumentTokens::Builder builder(*tokens);
    QXmlStreamReader reader(document);
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::StartElement) {
            builder.startElement(reader.name());
            for (const QXmlStreamAttribute &attribute : reader.attributes())
                builder.attribute(attribute.qualifiedName(), attribute.value(),
                                  DocumentTokens::Axis::None, attribute.namespaceUri());
        } else if (token == QXmlStreamReader::EndElement) {
            builder.endElement();
        } else if (token == QXmlStreamReader::Characters && !reader.isWhitespace()) {
            builder.characters(reader.text());
        }
    }
    builder.finish();
    return tokens;
}

} // namespace

// Equal documents share their tokens, as the copies of one board file do.
PanelAssembly assembled(const QStringList &documents)
{
    QVector<BoardCopy> copies;
    QHash<QString, std::shared_ptr<const DocumentTokens>> read;
    for (const QString &document : documents) {
        BoardCopy copy;
        std::shared_ptr<const DocumentTokens> &tokens = read[document];
        if (!tokens)
            tokens = tokensAsWritten(document);
        copy.board = tokens;
        copy.rules = DesignRules::of(*copy.board);
        copies << copy;
    }
    return assembled(copies);
}
