// The sheet is laid out once with the font's real widths; the drawing then only places texts and
// lines, so the pixels and the vector copy are the same picture.
#include "gui/diagrams/eventssheet.h"

#include <QFontMetrics>
#include <QImage>

#include <algorithm>
#include <memory>

#include "gui/common/qpaintercanvas.h"

namespace tarn {

namespace {

constexpr int kMargin = 8;
constexpr int kPad = 4;
constexpr int kRowHeight = 16;
constexpr Rgb kRule = 0xB0B0B0;
constexpr Rgb kBeyondText = 0xC00000;

// A canvas that draws on another one moved by (dx, dy): the curve below the table.
class ShiftedCanvas : public Canvas {
public:
    ShiftedCanvas(Canvas& inner, int dx, int dy) : inner_(inner), dx_(dx), dy_(dy) {}
    void Ellipse(int x1, int y1, int x2, int y2) override {
        Sync();
        inner_.Ellipse(x1 + dx_, y1 + dy_, x2 + dx_, y2 + dy_);
    }
    void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) override {
        Sync();
        inner_.Arc(x1 + dx_, y1 + dy_, x2 + dx_, y2 + dy_, x3 + dx_, y3 + dy_, x4 + dx_, y4 + dy_);
    }
    void TextOut(int x, int y, std::string_view text) override {
        Sync();
        inner_.TextOut(x + dx_, y + dy_, text);
    }
    void SetPixel(int x, int y, Rgb c) override { inner_.SetPixel(x + dx_, y + dy_, c); }
    // The sheet was cleared white before its parts were drawn.
    void Clear(Rgb) override {}

protected:
    void DrawLine(int x1, int y1, int x2, int y2) override {
        Sync();
        inner_.MoveTo(x1 + dx_, y1 + dy_);
        inner_.LineTo(x2 + dx_, y2 + dy_);
    }

private:
    void Sync() {
        inner_.SetPenColor(PenColor());
        inner_.SetPenWidth(PenWidth());
        inner_.SetFontColor(FontColor());
        inner_.SetFont(Font());
        inner_.SetTextBackground(TextOpaque(), TextBackground());
    }
    Canvas& inner_;
    int dx_, dy_;
};

struct PlacedText {
    int x, y;
    std::string text;
    bool bold;
    Rgb colour;
};

struct Layout {
    std::vector<PlacedText> texts;
    std::vector<std::array<int, 4>> rules;  // x1, y1, x2, y2
    int width = 0, tableBottom = 0;
};

Layout LayOut(const EventsSheet& s) {
    const QFontMetrics plain(QFontFor(FontSpec{}));
    const QFontMetrics bold(QFontFor(FontSpec{FontFamily::Sans, 8, true, false}));
    auto w = [&](const std::string& t, bool b = false) {
        return (b ? bold : plain).horizontalAdvance(QString::fromStdString(t));
    };
    Layout l;
    int y = kMargin;
    l.texts.push_back({kMargin, y, s.title, true, kBlack});
    y += kRowHeight + kPad;

    const std::size_t n = s.grid.columns.size();
    // Column widths: the row titles, then three columns per position wide enough for their
    // cells and, together, for the position's heading.
    std::vector<int> widths(1 + 3 * n, 0);
    widths[0] = w(s.corner);
    for (const EventRowInfo& row : kEventGridRows)
        widths[0] = std::max(widths[0], w(EventRowTitle(row.row)));
    for (std::size_t c = 0; c < n; ++c) {
        const GridColumn& col = s.grid.columns[c];
        const std::array<std::string, 3> titles{"Front", "Rear", s.thirdTitle};
        for (std::size_t e = 0; e < 3; ++e) {
            int& cw = widths[1 + 3 * c + e];
            cw = w(titles[e]);
            if (col.error.empty())
                for (const auto& row : col.cells) cw = std::max(cw, w(row[e].text));
        }
        const int need = std::max(w(col.heading, true), col.error.empty() ? 0 : w(col.error));
        const int have = widths[1 + 3 * c] + widths[2 + 3 * c] + widths[3 + 3 * c] + 4 * kPad;
        if (need > have)
            for (std::size_t e = 0; e < 3; ++e) widths[1 + 3 * c + e] += (need - have + 2) / 3;
    }
    std::vector<int> left(widths.size() + 1, kMargin);
    for (std::size_t i = 0; i < widths.size(); ++i) left[i + 1] = left[i] + widths[i] + 2 * kPad;
    const int right = left.back();

    const int top = y;
    // Heading line, column titles, then the event rows.
    l.texts.push_back({left[0] + kPad, y, s.corner, true, kBlack});
    for (std::size_t c = 0; c < n; ++c) {
        const std::string& h = s.grid.columns[c].heading;
        const int x0 = left[1 + 3 * c], x1 = left[4 + 3 * c];
        l.texts.push_back({x0 + (x1 - x0 - w(h, true)) / 2, y, h, true, kBlack});
    }
    y += kRowHeight;
    for (std::size_t c = 0; c < n; ++c) {
        const std::array<std::string, 3> titles{"Front", "Rear", s.thirdTitle};
        for (std::size_t e = 0; e < 3; ++e) {
            const std::size_t i = 1 + 3 * c + e;
            l.texts.push_back({left[i + 1] - kPad - w(titles[e]), y, titles[e], false, kBlack});
        }
    }
    y += kRowHeight;
    for (const EventRowInfo& info : kEventGridRows) {
        const auto row = static_cast<std::size_t>(info.row);
        l.texts.push_back({left[0] + kPad, y, EventRowTitle(info.row), false, kBlack});
        for (std::size_t c = 0; c < n; ++c) {
            const GridColumn& col = s.grid.columns[c];
            if (!col.error.empty()) {
                if (row == 0)
                    l.texts.push_back({left[1 + 3 * c] + kPad, y, col.error, false, kRed});
                continue;
            }
            for (std::size_t e = 0; e < 3; ++e) {
                const GridCell& cell = col.cells[row][e];
                const std::string t = cell.value ? cell.text : "-";
                const std::size_t i = 1 + 3 * c + e;
                l.texts.push_back(
                    {left[i + 1] - kPad - w(t), y, t, false, cell.beyond ? kBeyondText : kBlack});
            }
        }
        y += kRowHeight;
    }
    // Rules: under the headings, between the positions, round the table.
    const int bottom = y + 2;
    l.rules.push_back({kMargin, top - 2, right, top - 2});
    l.rules.push_back({kMargin, top + 2 * kRowHeight - 1, right, top + 2 * kRowHeight - 1});
    l.rules.push_back({kMargin, bottom, right, bottom});
    for (std::size_t c = 0; c <= n; ++c)
        l.rules.push_back({left[1 + 3 * c], top - 2, left[1 + 3 * c], bottom});
    l.rules.push_back({kMargin, top - 2, kMargin, bottom});
    y = bottom + kPad;
    for (const std::string& note : s.notes) {
        l.texts.push_back({kMargin, y, note, false, kBlack});
        l.width = std::max(l.width, kMargin + w(note));
        y += kRowHeight;
    }
    l.width = std::max({l.width, right, kMargin + w(s.title, true)}) + kMargin;
    l.tableBottom = y + kPad;
    return l;
}

}  // namespace

Picture EventsSheetPicture(const EventsSheet& sheet, qreal ratio, const QString& subject) {
    auto layout = std::make_shared<const Layout>(LayOut(sheet));
    const int width = std::max(layout->width, sheet.curveWidth);
    const int height = layout->tableBottom + sheet.curveHeight;
    auto draw = [layout, curve = sheet.drawCurve, cw = sheet.curveWidth,
                 ch = sheet.curveHeight](Canvas& c) {
        c.ResetState();
        c.Clear(kWhite);
        for (const auto& r : layout->rules) {
            c.SetPenColor(kRule);
            c.MoveTo(r[0], r[1]);
            c.LineTo(r[2], r[3]);
        }
        for (const PlacedText& t : layout->texts) {
            c.SetFont(FontSpec{FontFamily::Sans, 8, t.bold, false});
            c.SetFontColor(t.colour);
            c.TextOut(t.x, t.y, t.text);
        }
        if (curve && cw > 0 && ch > 0) {
            ShiftedCanvas below(c, 0, layout->tableBottom);
            curve(below, cw, ch);
        }
    };
    QImage pixels((QSizeF(width, height) * ratio).toSize(), QImage::Format_RGB32);
    pixels.setDevicePixelRatio(ratio);
    {
        QPainterCanvas canvas(pixels);
        canvas.SetSmooth(sheet.smooth);
        draw(canvas);
    }
    return {pixels, draw, subject, sheet.smooth};
}

}  // namespace tarn
