// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/merge/assemblepanel.h"

#include <QByteArray>
#include <QFile>
#include <QIODevice>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QVector>
#include <QWidget>

#include <functional>

// Directory of the real EAGLE boards the tests read (never copied into the
// project): $TAVOLIN_BOARDS_DIR, else the directory found at configure time.
// Empty when neither exists.
QString realBoardsDir();
// Full path of one real board, or an empty string when the boards are absent.
QString realBoard(const QString &fileName);

// Skips the calling test function when the real boards are not available.
#define REQUIRE_REAL_BOARDS()                                                                      \
    do {                                                                                           \
        if (realBoardsDir().isEmpty())                                                             \
            QSKIP("real boards not found; set TAVOLIN_BOARDS_DIR");                                \
    } while (false)

QByteArray readWholeFile(const QString &path);

// Why a plain reader stops in `bytes`, and where, in the words of the message
// a board that cannot be read gets: "Premature end of document (line 3,
// column 1)". Empty for a well-formed document.
QString readerFailure(const QByteArray &bytes);
// The same for a document on one line that the reader refuses at the
// nesting limit, at the start tag of level `level`.
QString nestingFailure(const QByteArray &xml, int level);
// The message for a board whose first tag or text holding a surrogate without
// its pair, or a name holding a control character, is refused there.
QString surrogateFailure(const QByteArray &bytes);
bool writeWholeFile(const QString &path, const QByteArray &bytes);

// A copy of the board `bytes` as a make-panel run reads it, moved by dx and
// dy mm, read through a device that cannot seek when `sequential`. Its board
// is null when the read failed.
BoardCopy readCopy(const QByteArray &bytes, int dx = 0, int dy = 0, bool sequential = false);
// The make-panel run's assembly of `copies`, or of `documents` each taken as
// it is, names counted afresh.
PanelAssembly assembled(const QVector<BoardCopy> &copies);
PanelAssembly assembled(const QStringList &documents);

// A read-only device over `bytes` that cannot seek, as a pipe would be.
class SequentialDevice : public QIODevice
{
public:
    explicit SequentialDevice(const QByteArray &bytes)
        : bytes(bytes)
    { }
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override;

protected:
    qint64 readData(char *data, qint64 size) override;
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray bytes;
    qint64 offset = 0;
};

// The application's override cursors, the one in force first; empty when
// the normal cursor of each widget shows.
using CursorStack = QList<Qt::CursorShape>;
CursorStack overrideCursors();

// A message box as the user saw it.
struct SeenMessage
{
    QString title;
    QString text;
    int icon = 0; // QMessageBox::Icon
    int buttons = 0; // QMessageBox::StandardButtons
};

// Answers the modal dialogs a test provokes, one after the other, as a user
// would: a timer watches QApplication::activeModalWidget() and applies the
// next queued answer to each new modal widget. A modal widget that appears
// with no answer queued is recorded in `unexpected` and rejected, so a test
// can never hang on a forgotten dialog.
class DialogScript : public QObject
{
public:
    using Answer = std::function<void(QWidget *modal)>;

    DialogScript();
    ~DialogScript() override;

    void answer(Answer answer);
    // Next dialog is a file dialog: select `path` in it and accept.
    void chooseFile(const QString &path);
    // Next dialog is a file dialog that takes several files: select `paths`
    // in it, in this order, and accept.
    void chooseFiles(const QStringList &paths);
    // Next dialog is a file dialog: cancel it.
    void cancelFile();
    // Next dialog is a message box: record it in `messages`, press its Ok
    // (or, for a question, its Yes) button.
    void dismissMessage();

    int pendingAnswers() const { return answers.size(); }

    QList<SeenMessage> messages;
    QStringList unexpected; // class names of unanswered modal widgets
    QList<CursorStack> cursors; // override cursors while each modal widget was open
    QStringList fileDialogFolders; // the folder each answered file dialog started in

private:
    void poll();

    QList<Answer> answers;
    QList<QPointer<QWidget>> answered; // alive and answered
    QTimer timer;
};

// Makes a file or folder write-protected for as long as it lives: no write
// mode bits and, where the file system allows it, the immutable flag, so that
// even root can neither write the file nor create a file in the folder.
// `effective()` tells whether such an attempt now fails.
class WriteProtection
{
public:
    explicit WriteProtection(const QString &path);
    ~WriteProtection();
    WriteProtection(const WriteProtection &) = delete;
    WriteProtection &operator=(const WriteProtection &) = delete;

    bool effective() const;

private:
    QString path;
    QFile::Permissions permissions; // restored at the end
    bool immutable = false;
};
