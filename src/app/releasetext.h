// The release label shown in the window: "Rel. " and the three numbers of the project version.
#pragma once

#include <QString>

QString testoRelease(int major, int minor, int patch);
// This build's own release, from the version CMake declares.
QString testoRelease();
