// For the card data file's own tests: lines numbered "riga N", and the file helpers by their
// short names.
#pragma once

#include <QByteArray>
#include <QList>

#include "datafiles.h"

namespace quarzello {

using datafiles::crlf;
using datafiles::expand;
using datafiles::readBytes;
using datafiles::recordOf;
using datafiles::snapshot;
using datafiles::writeBytes;

inline QList<QByteArray> numberedLines(int count) {
    return datafiles::numberedLines(count, "riga");
}

}  // namespace quarzello
