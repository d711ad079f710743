// Keeping a window on its screen. The frame's width is known only once the window system has
// framed the window; until then the parent window's frame stands in for it.
#include "gui/common/screenfit.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QMargins>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>
#include <QWidget>

#include <algorithm>
#include <array>
#include <limits>

namespace tarn {

namespace {

// A scroll area as large as its content would like to be (a plain one asks for at most 36 by 24
// lines): the window opens at its content's size and scrolls only when the screen is smaller.
class ContentScrollArea : public QScrollArea {
public:
    using QScrollArea::QScrollArea;
    QSize sizeHint() const override {
        const int f = 2 * frameWidth();
        const QSize content = widget() ? widget()->sizeHint() : QSize();
        return content.isValid() ? content + QSize(f, f) : QScrollArea::sizeHint();
    }
};

QMargins FrameOf(const QWidget* w) {
    const QRect frame = w->frameGeometry(), inner = w->geometry();
    return {inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
            frame.bottom() - inner.bottom()};
}

QMargins Larger(const QMargins& a, const QMargins& b) {
    return {std::max(a.left(), b.left()), std::max(a.top(), b.top()),
            std::max(a.right(), b.right()), std::max(a.bottom(), b.bottom())};
}

class ScreenKeeper : public QObject {
public:
    explicit ScreenKeeper(QWidget* w) : QObject(w), w_(w) {}

    bool eventFilter(QObject* o, QEvent* e) override {
        if (o == w_ && !busy_) {
            // The user's own moves and resizes (spontaneous events) are left alone.
            if (e->type() == QEvent::Show) Fit(false);
            else if ((e->type() == QEvent::Resize || e->type() == QEvent::Move) &&
                     !e->spontaneous() && w_->isVisible())
                Fit(true);
        }
        return false;
    }

private:
    // Cuts the window to its screen; with mayPlace also moves it onto the screen. On showing, a
    // dialog not yet placed is still to be centred on its parent by Qt: only its size is set.
    void Fit(bool mayPlace) {
        const QScreen* screen = w_->screen();
        if (!screen) screen = QGuiApplication::primaryScreen();
        if (!screen) return;
        const QRect area = screen->availableGeometry();
        QMargins frame = FrameOf(w_);
        if (const QWidget* parent = w_->parentWidget())
            frame = Larger(frame, FrameOf(parent->window()));
        const QRect outer = w_->geometry().marginsAdded(frame);
        const QRect fitted = FitRectInto(outer, area);
        if (fitted == outer) return;
        busy_ = true;
        const QRect inner = fitted.marginsRemoved(frame);
        if (mayPlace || w_->testAttribute(Qt::WA_Moved)) w_->setGeometry(inner);
        else w_->resize(inner.size());
        busy_ = false;
    }

    QWidget* w_;
    bool busy_ = false;
};

}  // namespace

QRect FitRectInto(const QRect& r, const QRect& area) {
    QRect out(r.topLeft(), r.size().boundedTo(area.size()));
    out.moveLeft(std::clamp(out.left(), area.left(), area.right() - out.width() + 1));
    out.moveTop(std::clamp(out.top(), area.top(), area.bottom() - out.height() + 1));
    return out;
}

namespace {

long long Covered(const QRect& a, const QRect& b) {
    const QRect both = a.intersected(b);
    return both.isEmpty() ? 0 : static_cast<long long>(both.width()) * both.height();
}

}  // namespace

QPoint PlaceBeside(QSize size, const QRect& mainWindow, const QRect& keepClear,
                   const QRect& available) {
    const int w = size.width(), h = size.height();
    const std::array<QPoint, 8> candidates{
        QPoint(mainWindow.right() + 1, mainWindow.top()),
        QPoint(mainWindow.left() - w, mainWindow.top()),
        QPoint(mainWindow.right() + 1, mainWindow.bottom() + 1 - h),
        QPoint(mainWindow.left() - w, mainWindow.bottom() + 1 - h),
        QPoint(keepClear.left(), keepClear.bottom() + 1),
        QPoint(keepClear.left(), keepClear.top() - h),
        QPoint(keepClear.right() + 1, keepClear.top()),
        QPoint(keepClear.left() - w, keepClear.top()),
    };
    QPoint best;
    long long least = std::numeric_limits<long long>::max();
    for (const QPoint& c : candidates) {
        const QPoint at = FitRectInto(QRect(c, size), available).topLeft();
        const long long covered = Covered(QRect(at, size), keepClear);
        if (covered == 0) return at;
        if (covered < least) {
            least = covered;
            best = at;
        }
    }
    return best;
}

void KeepOnScreen(QWidget* w) {
    if (QLayout* content = w->layout()) {
        QWidget* menu = content->menuBar();
        content->setMenuBar(nullptr);
        auto* inner = new QWidget;
        inner->setObjectName(QStringLiteral("ScrolledContent"));
        inner->setLayout(content);  // takes the layout and its widgets from the window
        auto* scroll = new ContentScrollArea(w);
        scroll->setObjectName(QStringLiteral("ContentScroll"));
        scroll->setFrameShape(QFrame::NoFrame);
        scroll->setWidgetResizable(true);
        scroll->setWidget(inner);
        auto* outer = new QVBoxLayout(w);
        outer->setContentsMargins(0, 0, 0, 0);
        outer->setSpacing(0);
        if (menu) outer->setMenuBar(menu);
        outer->addWidget(scroll);
    }
    w->installEventFilter(new ScreenKeeper(w));
}

}  // namespace tarn
