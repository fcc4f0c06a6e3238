#pragma once

#include <QtGlobal>

// Resident memory of this process from /proc/self/status, in kilobytes; 0
// where it cannot be read.
qint64 residentKb(); // VmRSS, now
qint64 peakResidentKb(); // VmHWM, the highest VmRSS so far
