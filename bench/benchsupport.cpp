// The process's memory, read from the kernel and from the C heap.
#include "benchsupport.h"

#include <malloc.h>

#include <QFile>

namespace {
qint64 statusKiB(const QByteArray& field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (!line.startsWith(field)) continue;
        bool ok = false;
        const qint64 kib = line.mid(field.size()).trimmed().split(' ').value(0).toLongLong(&ok);
        return ok ? kib : -1;
    }
    return -1;
}
}  // namespace

qint64 peakResidentKiB() { return statusKiB("VmHWM:"); }
qint64 residentKiB() { return statusKiB("VmRSS:"); }

qint64 heapInUseKiB() {
    const struct mallinfo2 heap = mallinfo2();
    return static_cast<qint64>((heap.uordblks + heap.hblkhd) / 1024);
}
