// The one way the windows find a wave file or an instruction text: the working directory first,
// then the data folder installed beside the program (io/datafiles.h).
#pragma once

#include <QString>

namespace tarn {

// The path to read `name` from; the plain name when it is found nowhere, so that a message
// about it names the file the user knows.
QString DataFilePath(const QString& name);

}  // namespace tarn
