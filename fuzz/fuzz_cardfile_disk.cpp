// Fuzzes the card data file's reading from disk: any bytes written to a real file, read back
// whole and as lines, must give what the same bytes give in memory, or be refused when too big or
// binary. Slower than fuzz_cardfile (a file is written for every input), so it only checks the
// reading.
#include <unistd.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "data/cardfile.h"
#include "fuzzcheck.h"

using namespace quarzello;

namespace {

// One file per fuzzing process, written again for every input and removed at exit.
const QString& scratchPath() {
    static const QString path = QDir::temp().filePath(
        QStringLiteral("quarzello-fuzz-cardfile-%1.txt").arg(qint64(getpid())));
    return path;
}

void removeScratch() { QFile::remove(scratchPath()); }

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::atexit(removeScratch);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    {
        QFile file(scratchPath());
        FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        FUZZ_CHECK(file.write(bytes) == bytes.size());
    }
    const Result<QStringList> lines = readCardLines(scratchPath());
    const Result<QByteArray> copy = readCardFileForCopy(scratchPath());
    const QByteArray copied = joinCardLines(splitCardLines(bytes));
    // A NUL byte makes it binary, refused whole.
    if (bytes.size() > kMaxCardFileSize || bytes.contains('\0')) {
        FUZZ_CHECK(!lines && !lines.error().isEmpty());
        FUZZ_CHECK(!copy && !copy.error().isEmpty());
        return 0;
    }
    FUZZ_CHECK_MSG(lines.ok(), lines.error());
    FUZZ_CHECK(*lines == decodeCardLines(splitCardLines(bytes, kDatiSize)));
    if (copied.size() > kMaxCardFileSize) {
        FUZZ_CHECK(!copy && !copy.error().isEmpty());
    } else {
        FUZZ_CHECK_MSG(copy.ok(), copy.error());
        FUZZ_CHECK(*copy == copied);
    }
    return 0;
}
