// The data-file lookup for the windows, with the program's folder as Qt reports it.
#include "gui/common/datafilepath.h"

#include <QCoreApplication>

#include "core/io/datafiles.h"

namespace tarn {

QString DataFilePath(const QString& name) {
    const std::filesystem::path programDir =
        QCoreApplication::instance()
            ? std::filesystem::path(QCoreApplication::applicationDirPath().toStdString())
            : RunningProgramDir();
    const std::filesystem::path found = FindDataFile(name.toStdString(), {}, programDir);
    return found.empty() ? name : QString::fromStdString(found.string());
}

}  // namespace tarn
