// The About box: what the program is, where it comes from, and where comments go.
#pragma once

#include <QDialog>

namespace tarn {

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);
};

}  // namespace tarn
