// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The wait cursor over the whole application for as long as it lives, so
// that a long run does not look like a hung window.
class BusyCursor
{
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};

// The normal cursor for as long as it lives, over an application that shows
// a busy cursor: a message box asks to be read and answered, which a wait
// cursor would deny. The busy cursor comes back when it goes. Changes
// nothing while no cursor is overridden.
class NormalCursor
{
public:
    NormalCursor();
    ~NormalCursor();
    NormalCursor(const NormalCursor &) = delete;
    NormalCursor &operator=(const NormalCursor &) = delete;

private:
    bool overriding;
};
