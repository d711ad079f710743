// Saving and opening a design through the file dialogs and the dimension-file codec; an opened
// design puts the reverse arm at mid gear and the lines-and-circles rows in line with the file.
#include "gui/mainwin/designfiles.h"

#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QTimer>

#include "core/io/dimensionfile.h"
#include "core/model/numfmt.h"
#include "gui/common/designconditions.h"
#include "gui/mainwin/mainform.h"
#include "gui/mainwin/recentdesigns.h"
#include "gui/overlay/drawlinesdialog.h"

namespace tarn {

namespace {

QString ChooseSaveFile(QWidget* parent) {
    QFileDialog d(parent, QStringLiteral("Save As....."));
    d.setObjectName(QStringLiteral("SaveDialog1"));
    d.setAcceptMode(QFileDialog::AcceptSave);
    d.setFileMode(QFileDialog::AnyFile);
    d.setNameFilters({QStringLiteral("Data File (*.dti)"), QStringLiteral("All Files (*.*)")});
    d.setDefaultSuffix(QStringLiteral("dti"));
    d.setOption(QFileDialog::DontConfirmOverwrite, false);  // ask before overwriting
    d.setSizeGripEnabled(true);
    return d.exec() == QDialog::Accepted && !d.selectedFiles().isEmpty() ? d.selectedFiles().first()
                                                                         : QString();
}

QString ChooseOpenFile(QWidget* parent) {
    // The platform's own title; read-only files are offered like any other.
    QFileDialog d(parent);
    d.setObjectName(QStringLiteral("OpenDialogWin"));
    d.setAcceptMode(QFileDialog::AcceptOpen);
    d.setFileMode(QFileDialog::ExistingFile);
    d.setNameFilters({QStringLiteral("Data File (*.dti) "), QStringLiteral("All Files (*.*)")});
    d.setDefaultSuffix(QStringLiteral("dti"));
    d.setSizeGripEnabled(true);
    return d.exec() == QDialog::Accepted && !d.selectedFiles().isEmpty() ? d.selectedFiles().first()
                                                                         : QString();
}

}  // namespace

DesignFiles::DesignFiles(Model& m, TMainForm& form)
    : QObject(&form),
      m_(m),
      form_(form),
      chooseSave_(ChooseSaveFile),
      chooseOpen_(ChooseOpenFile),
      reportError_([](QWidget* parent, const QString& message) {
          QMessageBox::critical(parent, QStringLiteral("Error"), message);
      }) {
    setObjectName(QStringLiteral("DesignFiles"));
    const MainFormControls& c = form_.Controls();
    recent_ = new RecentDesigns(c.RecentDesigns, this);
    recent_->SetChooser([this](const QString& path) { OpenRecentClick(path); });
    connect(c.SaveAsDimensions, &QAction::triggered, this, [this] { SaveAsDimensionsClick(); });
    connect(c.OpenDimensions, &QAction::triggered, this, [this] { OpenDimensionsClick(); });
}

void DesignFiles::SaveAsDimensionsClick() {
    const QString path = chooseSave_ ? chooseSave_(&form_) : QString();
    if (path.isEmpty()) return;
    const FileResult r = SaveDimensionFile(m_, path.toStdString());
    if (!r.ok) {
        if (reportError_) reportError_(&form_, QString::fromStdString(r.error));
        return;
    }
    recent_->Add(path);
    // The conditions beside it; the design itself is saved even when they cannot be.
    if (conditions_) {
        const QString why = conditions_->DesignSaved(path);
        if (!why.isEmpty() && reportError_) reportError_(&form_, why);
    }
}

void DesignFiles::OpenDimensionsClick() {
    const QString path = chooseOpen_ ? chooseOpen_(&form_) : QString();
    if (!path.isEmpty()) {
        OpenDesign(path);
        return;
    }
    // A cancelled dialog too: the rows show the overlay data.
    if (drawLines_) drawLines_->LinesDataClick();
}

void DesignFiles::OpenRecentClick(const QString& path) {
    if (!QFileInfo(path).isFile()) {
        recent_->Remove(path);
        if (reportError_)
            reportError_(&form_,
                         path + QStringLiteral(" no longer exists; it has been taken off the "
                                               "list of recent designs."));
        return;
    }
    OpenDesign(path);
}

bool DesignFiles::OpenDesign(const QString& path, Message when) {
    const FileResult r = LoadDimensionFile(m_, path.toStdString());
    if (!r.ok) {
        // A refused file leaves the design, the rows and the arm as they were.
        const QString message = QString::fromStdString(r.error);
        if (when == Message::Now) {
            if (reportError_) reportError_(&form_, message);
        } else {
            QTimer::singleShot(0, this, [this, message] {
                if (reportError_) reportError_(&form_, message);
            });
        }
    } else {
        // The model is in line with the file (mid gear, LineIndex); now the windows.
        if (drawLines_) {
            drawLines_->ClearRowLabels();
            drawLines_->HighlightCurrentRow();
        }
        form_.ResetRevArmRange();
        form_.SetRevArmBar(
            Round((static_cast<ext>(m_.motion.RevArmPositions[0]) - m_.motion.RevArmPos) * 1000));
        recent_->Add(path);
        if (conditions_) {
            const QString why = conditions_->DesignOpened(path);
            if (!why.isEmpty()) {
                if (when == Message::Now) {
                    if (reportError_) reportError_(&form_, why);
                } else {
                    QTimer::singleShot(0, this, [this, why] {
                        if (reportError_) reportError_(&form_, why);
                    });
                }
            }
        }
    }
    // In every case: the rows show the overlay data.
    if (drawLines_) drawLines_->LinesDataClick();
    return r.ok;
}

}  // namespace tarn
