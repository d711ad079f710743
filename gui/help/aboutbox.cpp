// Eight fixed lines about the program, over an OK button.
#include "gui/help/aboutbox.h"

#include <QLabel>
#include <QPushButton>

namespace tarn {

namespace {

constexpr const char* kLines[8] = {
    "TARN1 Inside Admission   Version " TARN_VERSION,  // NOLINT(bugprone-suspicious-missing-comma)
    "A simulator of a radial valve gear driven from the main rod,",
    "with inside-admission piston valves.",
    "It grew from a design aid for locomotive and model engineers",
    "into a tool that shows the valve events, laps and cut-off",
    "of a gear while its dimensions are varied.",
    "Comments and suggestions are welcome:",
    "please send them through the project's issue tracker.",
};

}  // namespace

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About TARN1 Inside Admission"));
    setFixedSize(340, 143);
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(11);
    for (int i = 0; i < 8; ++i) {
        auto* l = new QLabel(QString::fromLatin1(kLines[i]), this);
        l->setObjectName(QStringLiteral("Line%1").arg(i + 1));
        l->setFont(font);
        l->setGeometry(10, 6 + 13 * i, 320, 13);
        if (i == 0) {
            QFont bold = font;
            bold.setBold(true);
            l->setFont(bold);
        }
    }
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setAutoDefault(false);
    ok->setDefault(false);
    ok->setGeometry(140, 116, 60, 22);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace tarn
