// Every text a window shows can be read whole at both font settings: each drawn text and each
// label lies inside its window (and inside the widget that draws it) and under no control. The
// texts are caught where they are drawn, with the font they are drawn in, by a paint device that
// records every text item; their ink boxes come from that font's metrics.
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/model/dimensions.h"
#include "core/variation/commit.h"
#include "dialogs_support.h"
#include "gui/common/pictureexport.h"
#include "gui/common/qpaintercanvas.h"
#include "gui/diagrams/diagramwindow.h"
#include "tools_support.h"

using namespace tarn;

namespace {

struct DrawnText {
    QString text;
    QRect box;  // the ink, in the device's pixels
};

// A paint device that keeps the text items painted on it and draws nothing.
class TextRecorder : public QPaintDevice {
public:
    TextRecorder() : engine_(this) {}
    ~TextRecorder() override = default;
    QPaintEngine* paintEngine() const override { return &engine_; }
    std::vector<DrawnText> texts;

protected:
    int metric(PaintDeviceMetric m) const override {
        switch (m) {
            case PdmWidth:
            case PdmHeight: return 4000;
            case PdmWidthMM:
            case PdmHeightMM: return 4000 * 254 / 960;
            case PdmDpiX:
            case PdmDpiY:
            case PdmPhysicalDpiX:
            case PdmPhysicalDpiY: return 96;
            case PdmDepth: return 32;
            case PdmNumColors: return 0x7fffffff;
            case PdmDevicePixelRatio: return 1;
            case PdmDevicePixelRatioScaled: return static_cast<int>(devicePixelRatioFScale());
            default: return QPaintDevice::metric(m);
        }
    }

private:
    class Engine : public QPaintEngine {
    public:
        explicit Engine(TextRecorder* device) : QPaintEngine(AllFeatures), device_(device) {}
        bool begin(QPaintDevice*) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState&) override {}
        Type type() const override { return User; }
        void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
        void drawImage(const QRectF&, const QImage&, const QRectF&,
                       Qt::ImageConversionFlags) override {}
        void drawTiledPixmap(const QRectF&, const QPixmap&, const QPointF&) override {}
        void drawRects(const QRectF*, int) override {}
        void drawRects(const QRect*, int) override {}
        void drawLines(const QLineF*, int) override {}
        void drawLines(const QLine*, int) override {}
        void drawEllipse(const QRectF&) override {}
        void drawEllipse(const QRect&) override {}
        void drawPath(const QPainterPath&) override {}
        void drawPoints(const QPointF*, int) override {}
        void drawPoints(const QPoint*, int) override {}
        void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
        void drawPolygon(const QPoint*, int, PolygonDrawMode) override {}
        void drawTextItem(const QPointF& p, const QTextItem& item) override {
            // Blanks draw no ink (yet they would widen the glyphs' box).
            const QString text = item.text();
            qsizetype lead = 0;
            while (lead < text.size() && text[lead].isSpace()) ++lead;
            const QString inked = text.mid(lead).trimmed();
            if (inked.isEmpty()) return;
            const QFontMetrics fm(item.font());
            const QRectF at =
                QRectF(fm.tightBoundingRect(inked))
                    .translated(p + QPointF(fm.horizontalAdvance(text.left(lead)), 0));
            device_->texts.push_back(
                {item.text(), painter()->deviceTransform().mapRect(at).toAlignedRect()});
        }

    private:
        TextRecorder* device_;
    };
    mutable Engine engine_;
};

// A text as the window shows it: its ink box in the window's co-ordinates and the widget that
// draws it (whose area clips it).
struct ShownText {
    QString text;
    QRect box;
    const QWidget* owner;
};

QRect InWindow(const QWidget* w, const QWidget* window) {
    return QRect(w->mapTo(window, QPoint(0, 0)), w->size());
}

void Collect(std::vector<ShownText>& out, const TextRecorder& r, const QWidget* owner,
             const QWidget* window) {
    const QPoint at = owner->mapTo(window, QPoint(0, 0));
    for (const DrawnText& t : r.texts) out.push_back({t.text, t.box.translated(at), owner});
}

// The texts a window paints on itself and those of its label controls.
std::vector<ShownText> WidgetTexts(QWidget* window) {
    std::vector<ShownText> out;
    {
        TextRecorder r;
        window->render(&r, QPoint(), QRegion(), QWidget::DrawWindowBackground);
        Collect(out, r, window, window);
    }
    for (QLabel* l : window->findChildren<QLabel*>()) {
        if (!l->isVisible()) continue;
        TextRecorder r;
        l->render(&r, QPoint(), QRegion(), QWidget::DrawWindowBackground);
        Collect(out, r, l, window);
    }
    return out;
}

// The texts of a picture drawn through the canvas, shown by the widget owner.
void PictureTexts(std::vector<ShownText>& out, const Picture& p, const QWidget* owner,
                  const QWidget* window) {
    TextRecorder r;
    {
        QPainterCanvas canvas(&r);
        p.draw(canvas);
    }
    Collect(out, r, owner, window);
}

// Every control the user sees in the window: the visible child widgets that are not labels.
struct Control {
    QString name;
    QRect box;
    const QWidget* widget;
};
std::vector<Control> ControlsOf(QWidget* window) {
    std::vector<Control> out;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisible() || w->isWindow() || qobject_cast<QLabel*>(w)) continue;
        out.push_back({w->objectName(), InWindow(w, window), w});
    }
    return out;
}

// Fails for each text cut by its window or the widget drawing it, or lying under a control.
void ExpectTextsFree(QWidget* window, const std::vector<ShownText>& texts) {
    ASSERT_FALSE(texts.empty());
    const std::vector<Control> controls = ControlsOf(window);
    for (const ShownText& t : texts) {
        const std::string what = t.text.toStdString();
        const QRect owner = InWindow(t.owner, window) & window->rect();
        EXPECT_TRUE(owner.contains(t.box))
            << '"' << what << "\" at " << t.box.x() << ',' << t.box.y() << ' ' << t.box.width()
            << 'x' << t.box.height() << " is cut: " << t.owner->objectName().toStdString()
            << " shows " << owner.x() << ',' << owner.y() << ' ' << owner.width() << 'x'
            << owner.height();
        for (const Control& c : controls) {
            // The text of a control itself, or of a widget inside one, is that control's own.
            if (c.widget == t.owner || c.widget->isAncestorOf(t.owner)) continue;
            EXPECT_FALSE(c.box.intersects(t.box))
                << '"' << what << "\" at " << t.box.x() << ',' << t.box.y() << ' ' << t.box.width()
                << 'x' << t.box.height() << " lies under " << c.name.toStdString() << " at "
                << c.box.x() << ',' << c.box.y() << ' ' << c.box.width() << 'x' << c.box.height();
        }
    }
}

// ---------------------------------------------------------------- the windows

struct Scenario {
    tarn::testing::Program& p;
    void Trigger(const char* item) const { p.Action(item)->trigger(); }
    // Four dimensions on the dynamic-variable slots, each left with a new value: undo holds them.
    void ChooseDimensions() const {
        for (int id : {14, 113, 3, 6}) {
            p.m.undo.EditChanged = true;
            CommitDimensionField(p.m, id, std::to_string(GetDimension(p.m, id) + 0.01f));
        }
    }
};

std::vector<ShownText> MainTexts(tarn::testing::Program& p) {
    TMainForm& form = *p.form;
    form.Timer1Timer();  // the pivots of this design on the screen
    std::vector<ShownText> out = WidgetTexts(&form);
    PictureTexts(out, form.ShownPicture(), form.centralWidget(), &form);
    return out;
}

using Shown = std::pair<QWidget*, std::vector<ShownText>>;

struct WindowCase {
    const char* name;
    // Puts the window into its state, shows it and returns it with its texts.
    std::function<Shown(const Scenario&)> show;
};

Shown Main(const Scenario& s) { return {s.p.form.get(), MainTexts(s.p)}; }

// A dialog of the program opened as the user sees it.
std::function<Shown(const Scenario&)> Dialog(QDialog* AppWindows::*which) {
    return [which](const Scenario& s) {
        QDialog* d = s.p.w.*which;
        test::ShowActive(*d);
        return Shown{d, WidgetTexts(d)};
    };
}

// Nine reverse-arm positions listed, about mid gear.
void ListNinePositions(Model& m) {
    const f32 c = m.motion.RevArmPositions[0];
    for (int k = 1; k <= 9; ++k)
        m.motion.RevArmPositions[static_cast<std::size_t>(k)] = c + 0.1f * static_cast<f32>(k - 5);
    m.diagrams.RevArmCount = 9;
}

const WindowCase kWindows[] = {
    {"MainAtStart", Main},
    {"MainWithEveryMode",
     [](const Scenario& s) {
         s.ChooseDimensions();
         s.Trigger("DynamicVariables");
         s.Trigger("SetUnDo");
         s.Trigger("SetPivotData");  // reference points come on with it
         Model& m = s.p.m;
         for (int k = 1; k <= 6; ++k) {
             m.refs.SlotUsed[static_cast<std::size_t>(k)] = 1;
             m.refs.DataPivots[static_cast<std::size_t>(k)] = static_cast<f32>(k + 6);
         }
         m.overlay.PivotPickPending = true;
         m.overlay.PivotPickReference = 3;  // the longer prompt
         m.readouts.FrontCutoffFrames = m.readouts.RearCutoffFrames = 50;
         m.readouts.FrontCutoffText = m.readouts.RearCutoffText = "65.5";
         return Main(s);
     }},
    {"MainWithEmptyDynamicVariables",
     [](const Scenario& s) {
         s.Trigger("SetUnDo");
         s.Trigger("DynamicVariables");
         return Main(s);
     }},
    {"MainShowingEachDimension",
     [](const Scenario& s) {
         std::vector<ShownText> all;
         for (const DimensionInfo& d : Dimensions()) {
             s.p.m.closeup.GraphicPosId = d.id;
             s.p.m.closeup.GraphicPosFrames = 1;
             const std::vector<ShownText> t = MainTexts(s.p);
             all.insert(all.end(), t.begin(), t.end());
         }
         return Shown{s.p.form.get(), all};
     }},
    {"FrameDi", Dialog(&AppWindows::FrameDi)},
    {"CylDimen", Dialog(&AppWindows::CylDimen)},
    {"DrivAng", Dialog(&AppWindows::DrivAng)},
    {"StpAng", Dialog(&AppWindows::StpAng)},
    {"RevPos", Dialog(&AppWindows::RevPos)},
    {"RefPnts", Dialog(&AppWindows::RefPnts)},
    {"GraphZoom", Dialog(&AppWindows::GraphZoom)},
    {"ValveEvents", Dialog(&AppWindows::ValveEvents)},
    {"OptimiseGear", Dialog(&AppWindows::OptimiseGear)},
    {"SetRevArm",
     [](const Scenario& s) {
         ListNinePositions(s.p.m);
         return Dialog(&AppWindows::SetRevArm)(s);
     }},
};

// A diagram window with nine positions listed, dynamic variables and the undo line on.
std::function<Shown(const Scenario&)> Diagram(QDialog* AppWindows::*which,
                                              bool bothGraphs = false) {
    return [which, bothGraphs](const Scenario& s) {
        Model& m = s.p.m;
        ListNinePositions(m);
        s.ChooseDimensions();
        m.display.DynVarOn = true;
        m.display.UndoOn = true;
        auto* d = dynamic_cast<TDiagramWindow*>(s.p.w.*which);
        d->SetRevArmDialogRunner([] {});
        d->show();
        QApplication::processEvents();  // the opening's activation draws the diagram
        if (bothGraphs) d->BothGraphs1Click();
        std::vector<ShownText> out = WidgetTexts(d);
        PictureTexts(out, d->ShownPicture(), d->findChild<QWidget*>(QStringLiteral("ClientArea")),
                     d);
        return Shown{d, out};
    };
}

const WindowCase kDiagrams[] = {
    {"SineDia", Diagram(&AppWindows::SineDia)},
    {"OvalDia", Diagram(&AppWindows::OvalDia)},
    {"SteamDia", Diagram(&AppWindows::SteamDia)},
    {"PortDia", Diagram(&AppWindows::PortDia)},
    {"PortDiaBothGraphs", Diagram(&AppWindows::PortDia, true)},
};

void PrintTo(const WindowCase& c, std::ostream* os) { *os << c.name; }

struct TextsFit : ::testing::TestWithParam<std::tuple<WindowCase, bool>> {};

TEST_P(TextsFit, InsideTheWindowAndUnderNoControl) {
    const auto& [window, large] = GetParam();
    tarn::testing::Program p;
    p.form->PauseAnimation();
    p.form->show();
    QApplication::processEvents();
    if (large) {
        p.Action("LargeFont")->trigger();
        QApplication::processEvents();
        ASSERT_EQ(p.m.display.FontScaleX, 1.27f);
    }
    const Scenario s{p};
    auto [shown, texts] = window.show(s);
    QApplication::processEvents();
    ExpectTextsFree(shown, texts);
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* d = qobject_cast<QDialog*>(w); d && d->isVisible()) d->reject();
}

std::string CaseName(const ::testing::TestParamInfo<TextsFit::ParamType>& info) {
    return std::string(std::get<0>(info.param).name) +
           (std::get<1>(info.param) ? "_LargeFont" : "_NormalFont");
}

INSTANTIATE_TEST_SUITE_P(Windows, TextsFit,
                         ::testing::Combine(::testing::ValuesIn(kWindows), ::testing::Bool()),
                         CaseName);
INSTANTIATE_TEST_SUITE_P(Diagrams, TextsFit,
                         ::testing::Combine(::testing::ValuesIn(kDiagrams), ::testing::Bool()),
                         CaseName);

}  // namespace

// The main window grows to hold the large layout and, with the normal font again, returns to its
// size and every control to its place; a window the user sized meanwhile keeps that size.
TEST(LargeFont, MainWindowGrowsForTheLargeLayoutAndReturns) {
    tarn::testing::Program p;
    p.form->PauseAnimation();
    p.form->show();
    QApplication::processEvents();
    QWidget* client = p.form->centralWidget();
    ASSERT_EQ(client->size(), QSize(632, 380));
    const QSize start = p.form->size();
    std::vector<QRect> places;
    const QList<QWidget*> controls = client->findChildren<QWidget*>();
    for (QWidget* w : controls) places.push_back(w->geometry());
    QAction* font = p.Action("LargeFont");

    font->trigger();
    QApplication::processEvents();
    EXPECT_EQ(client->size(), QSize(803, 464));  // 632 x 1.27 and 380 x 1.22, rounded
    // Each edge of a control moves as a text there would: Rev's 252..280 across becomes
    // 320..356 (x 1.27f) and its 25..39 down 31..48 (x 1.22f, just above the halves).
    EXPECT_EQ(p.Button("Rev")->geometry(), QRect(320, 31, 36, 17));
    font->trigger();
    QApplication::processEvents();
    EXPECT_EQ(p.form->size(), start);
    for (qsizetype i = 0; i < controls.size(); ++i)
        EXPECT_EQ(controls[i]->geometry(), places[static_cast<std::size_t>(i)])
            << controls[i]->objectName().toStdString();

    font->trigger();
    p.form->resize(1000, 700);
    QApplication::processEvents();
    font->trigger();
    QApplication::processEvents();
    EXPECT_EQ(p.form->size(), QSize(1000, 700));
}
