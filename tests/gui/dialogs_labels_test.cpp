// Drawn labels stay level with their fields at both font settings: the reverse-arm positions
// dialog keeps the large layout's rows and its texts clear of every field, and only the
// horizontal scale moves its texts; the dimension dialogs keep each label on its field's row.
#include <gtest/gtest.h>
#include <QImage>
#include <QPainter>
#include <algorithm>

#include "dialogs_support.h"
#include "gui/dialogs/framedi.h"
#include "gui/dialogs/numericfield.h"
#include "gui/dialogs/setrevarm.h"

using namespace tarn;

namespace {

QImage Grabbed(QWidget& w) { return w.grab().toImage().convertToFormat(QImage::Format_RGB32); }

bool Ink(const QImage& img, int x, int y) { return qGray(img.pixel(x, y)) < 128; }

// The first and last row, and the first column, with ink inside r; rows -1 when there is none.
struct InkBox {
    int top = -1, bottom = -1, left = -1, right = -1;
};
InkBox InkIn(const QImage& img, QRect r) {
    InkBox b;
    r &= img.rect();
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            if (!Ink(img, x, y)) continue;
            if (b.top < 0) b.top = y;
            b.bottom = y;
            if (b.left < 0 || x < b.left) b.left = x;
            b.right = std::max(b.right, x);
        }
    return b;
}

void SetFont(Model& m, float sx, float sy) {
    m.display.FontScaleX = sx;
    m.display.FontScaleY = sy;
}

}  // namespace

TEST(DialogLabels, ReverseArmPositionTextsLineUpWithTheirFieldsAtBothSettings) {
    Model m = test::StartedModel();
    TSetRevArm d(m);
    SetFont(m, 1.0f, 1.0f);
    test::ShowActive(d);
    const QImage small = Grabbed(d);
    // The rows do not follow the vertical font scale.
    SetFont(m, 1.0f, 1.22f);
    EXPECT_EQ(Grabbed(d), small);
    // "Vertical Scale" beside field 10, "Rev Arm Position 1..4" beside fields 1..4: each text's
    // ink lies within its field's rows, in the column left of the fields.
    for (int n : {10, 1, 2, 3, 4}) {
        const QRect f = d.field(n)->geometry();
        ASSERT_FALSE(d.field(n)->isHidden()) << n;
        const InkBox b = InkIn(small, QRect(8, f.top() - 5, 120, f.height() + 4));
        ASSERT_GE(b.top, 0) << n;
        EXPECT_GE(b.top, f.top()) << n;
        EXPECT_LE(b.bottom, f.bottom()) << n;
    }
    // The large font moves the texts right by its horizontal scale, not down.
    SetFont(m, 1.27f, 1.22f);
    const QImage large = Grabbed(d);
    const QRect f1 = d.field(1)->geometry();
    const QRect band(8, f1.top() - 5, 125, f1.height() + 4);
    const InkBox s = InkIn(small, band), l = InkIn(large, band);
    EXPECT_EQ(l.top, s.top);
    EXPECT_EQ(l.bottom, s.bottom);
    EXPECT_EQ(l.left - s.left, Round(13 * static_cast<long double>(1.27f)) - 13);
}

// Every position's text can be read whole: in the rows of its field, between the fields to its
// left and its own field, its ink is as wide as the same text drawn on its own.
TEST(DialogLabels, ReverseArmPositionTextsStandClearOfEveryFieldAtBothSettings) {
    Model m = test::StartedModel();
    const float c = m.motion.RevArmPositions[0];
    for (int k = 4; k <= 9; ++k) m.motion.RevArmPositions[k] = c + 0.1f * static_cast<float>(k - 3);
    TSetRevArm d(m);
    const auto inkWidthAlone = [&](const QString& text) {
        QImage img(300, 30, QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter p(&img);
        p.setFont(d.font());
        p.setPen(Qt::black);
        p.drawText(10, 20, text);
        p.end();
        const InkBox b = InkIn(img, img.rect());
        return b.right - b.left;
    };
    for (const auto& [sx, sy] : {std::pair{1.0f, 1.0f}, std::pair{1.27f, 1.22f}}) {
        SetFont(m, sx, sy);
        test::ShowActive(d);
        const QImage img = Grabbed(d);
        for (int k = 1; k <= 9; ++k) {
            const QRect f = d.field(k)->geometry();
            ASSERT_FALSE(d.field(k)->isHidden()) << k;
            const int from = k <= 4 ? 0 : d.field(1)->geometry().right() + 1;
            const InkBox b = InkIn(img, QRect(from, f.top(), f.left() - from, f.height()));
            ASSERT_GE(b.top, 0) << k << " at " << sx;
            EXPECT_GT(b.left, from) << k << " at " << sx;
            EXPECT_LT(b.right, f.left() - 1) << k << " at " << sx;
            EXPECT_EQ(b.right - b.left,
                      inkWidthAlone(QStringLiteral("Rev Arm Position  %1").arg(k)))
                << k << " at " << sx;
        }
        d.reject();
    }
}

TEST(DialogLabels, DimensionLabelsKeepTheRowsOfTheirFields) {
    Model m = test::StartedModel();
    test::TestMain main(m);
    TFrameDi d(m, &main.form);
    SetFont(m, 1.0f, 1.0f);
    test::ShowActive(d);
    const QImage small = Grabbed(d);
    SetFont(m, 1.0f, 1.22f);
    EXPECT_EQ(Grabbed(d), small);
    // Rows of the first column: each label's ink within the 13 rows of its field.
    for (int field : {1, 2, 6, 12}) {
        const QRect f = d.findChild<NumericField*>(QStringLiteral("Edit%1").arg(field))->geometry();
        const InkBox b = InkIn(small, QRect(9, f.top(), f.left() - 10, f.height() + 1));
        ASSERT_GE(b.top, 0) << field;
        EXPECT_LE(b.bottom, f.bottom()) << field;
    }
}
