// Property checks for the fuzz targets. A broken property prints what broke and aborts, so
// that libFuzzer keeps the input that broke it, like any crash.
#pragma once

#include <QString>
#include <cstdio>
#include <cstdlib>

[[noreturn]] inline void fuzzPropertyBroken(const char* file, int line, const char* condition,
                                            const QString& detail = {}) {
    std::fprintf(stderr, "%s:%d: property broken: %s\n", file, line, condition);
    if (!detail.isEmpty()) std::fprintf(stderr, "  %s\n", qPrintable(detail));
    std::fflush(stderr);
    std::abort();
}

#define FUZZ_CHECK(condition)                                                 \
    do {                                                                      \
        if (!(condition)) fuzzPropertyBroken(__FILE__, __LINE__, #condition); \
    } while (false)

// The same, with a text that tells what the values were.
#define FUZZ_CHECK_MSG(condition, detail)                                             \
    do {                                                                              \
        if (!(condition)) fuzzPropertyBroken(__FILE__, __LINE__, #condition, detail); \
    } while (false)

// Lone halves of surrogate pairs: text that no font can show and no file should get.
inline bool hasLoneSurrogate(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate()) {
            if (i + 1 >= text.size() || !text.at(i + 1).isLowSurrogate()) return true;
            ++i;
        } else if (c.isLowSurrogate()) {
            return true;
        }
    }
    return false;
}
