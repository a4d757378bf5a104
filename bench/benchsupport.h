// What the benchmarks share beyond the test-support library: the process's memory.
#pragma once

#include <QtGlobal>

// Peak resident memory of this process so far (VmHWM), in KiB; -1 when it cannot be read.
qint64 peakResidentKiB();
// Resident memory of this process now (VmRSS), in KiB; -1 when it cannot be read.
qint64 residentKiB();
// Bytes the C heap has handed out and not taken back, in KiB.
qint64 heapInUseKiB();
