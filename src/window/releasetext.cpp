// The release label, from the version CMake writes into release.h.
#include "window/releasetext.h"

#include "release.h"

namespace quarzello {

Version programVersion() { return {release::major, release::minor, release::patch}; }

QString programVersionText(const Version& version) {
    return QStringLiteral("%1.%2.%3").arg(version.major).arg(version.minor).arg(version.patch);
}

QString releaseText(const Version& version) {
    return QStringLiteral("Rel. ") + programVersionText(version);
}

QString applicationId() { return QString::fromLatin1(release::appId); }

}  // namespace quarzello
