#include "app/releasetext.h"

#include "release.h"

QString testoRelease(int major, int minor, int patch) {
    return QStringLiteral("Rel. %1.%2.%3").arg(major).arg(minor).arg(patch);
}

QString testoRelease() { return testoRelease(release::major, release::minor, release::patch); }
