// Program start: the application owns the one Model and the windows.
#include <QApplication>
#include <QLabel>

#include "model/model.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    tarn::Model model;
    tarn::StartUp(model);
    // The main window comes next; until then a placeholder shows that the program starts.
    QLabel placeholder("TARN1 Inside Admission");
    placeholder.setWindowTitle("TARN1 Inside Admission");
    placeholder.resize(632, 380);
    placeholder.show();
    return app.exec();
}
