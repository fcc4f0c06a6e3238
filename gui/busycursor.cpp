// SPDX-License-Identifier: GPL-3.0-or-later
#include "busycursor.h"

#include <QCursor>
#include <QGuiApplication>

BusyCursor::BusyCursor()
{
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
}

BusyCursor::~BusyCursor()
{
    QGuiApplication::restoreOverrideCursor();
}

NormalCursor::NormalCursor()
    : overriding(QGuiApplication::overrideCursor() != nullptr)
{
    if (overriding)
        QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
}

NormalCursor::~NormalCursor()
{
    if (overriding)
        QGuiApplication::restoreOverrideCursor();
}
