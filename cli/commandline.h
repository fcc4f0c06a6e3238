// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

struct PanelProblem;

// What a command-line run ends with, as its exit status.
enum class CommandLineStatus {
    Written = 0, // the panel was written and nothing was reported
    NothingWritten = 1, // an error ended the run before a panel was written
    Usage = 2, // the arguments do not say what to do
    WrittenWithProblems = 3, // the panel was written, with something reported
};

// Whether the arguments ask for a panel without a window, or for help or the
// version: whether any of them is one of the command line's own options.
// Decided before any application object exists, since only the window needs
// a display.
bool wantsCommandLine(int argc, const char *const argv[]);

// Whether the command line is asked for a picture, which it paints on the
// offscreen platform: the application it needs is a QGuiApplication.
bool wantsPicture(int argc, const char *const argv[]);

// The panel options' defaults and ranges are the limits table's, as the window's.
// Reports on stderr, one line each, and returns the exit status. --help and
// --version print to stdout and end the process.
CommandLineStatus runCommandLine(const QStringList &arguments);
