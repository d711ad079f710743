// What goes with a design besides its dimension file: the conditions its engine runs under, kept
// in a file beside it. The window that holds them is told when a design is opened or saved, so
// that the file menu needs to know nothing of it.
#pragma once

#include <QString>

namespace tarn {

class DesignConditions {
public:
    // The design at path was opened: the conditions beside it, if any, are read. "" or why they
    // could not be (the design stays opened).
    virtual QString DesignOpened(const QString& path) = 0;
    // The design was saved at path: the conditions are written beside it. "" or why not.
    virtual QString DesignSaved(const QString& path) = 0;

protected:
    ~DesignConditions() = default;
};

}  // namespace tarn
