// What the benchmarks share beyond the test-support library: the process's peak memory.
#pragma once

#include <QtGlobal>

// Peak resident memory of this process so far (VmHWM), in KiB; -1 when it cannot be read.
qint64 peakResidentKiB();
