// Program start: the application owns the one Model; the main window comes first, then every
// other window, all created once; the message loop runs until the main window closes.
#include <QApplication>
#include <string_view>

#include "cli/cli.h"
#include "core/model/model.h"
#include "gui/mainwin/appwindows.h"
#include "gui/mainwin/mainform.h"

int main(int argc, char** argv) {
    // Script use (--events, --data-files, --help, -h, -?, --version) needs no display: answered
    // before Qt starts.
    if (argc > 1 && argv[1] != nullptr) {
        const std::string_view first = argv[1];
        if (first.starts_with("--") || first == "-h" || first == "-?")
            return tarn::RunEventsCli(argc, argv);
    }
    QApplication app(argc, argv);
    tarn::Model model;
    tarn::TMainForm form(model);
    tarn::CreateAppWindows(model, form);
    // "tarn1 DESIGN.dti" (a double click in a file manager) opens that design.
    tarn::OpenStartDesign(form, QApplication::arguments());
    form.show();
    return app.exec();
}
