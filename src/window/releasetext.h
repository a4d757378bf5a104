// The release label shown in the window: "Rel. " and the three numbers of the project version.
#pragma once

#include <QString>

namespace quarzello {

struct Version {
    int major = 0;
    int minor = 0;
    int patch = 0;
};

// This build's own version, as CMake declares it.
Version programVersion();
// "1.0.6": the version as the command line tells it.
QString programVersionText(const Version& version = programVersion());
// "Rel. 1.0.6" for 1.0.6: plain numbers, no leading zeros.
QString releaseText(const Version& version = programVersion());
// The one name of the program on the desktop: its desktop entry's, its icons', its metainfo's.
QString applicationId();

}  // namespace quarzello
