// The drawing interface on a Qt paint device: the main picture, the diagrams and the dialogs'
// drawn labels all go through it. It draws in logical pixels; on a device with a pixel ratio
// above 1 (a high-resolution screen) lines, arcs and texts come out at the device's resolution.
// On a QImage (RGB32) single pixels, and at ratio 1 lines of width 1, are written straight into
// the image; everything else goes through a QPainter. Smooth lines draw every line, ellipse, arc
// and text antialiased through the painter instead.
#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QStaticText>

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/model/canvas.h"

namespace tarn {

// The Qt font of a FontSpec: Liberation Sans or Serif at a fixed pixel size (8 pt = 11 px,
// 14 pt = 19 px), whatever the desktop's resolution.
QFont QFontFor(const FontSpec& f);
QColor QColorOf(Rgb c);

// Start and span, in sixteenths of a degree as QPainter::drawArc takes them, of the arc of the
// box (l, t)-(r, b) from the ray through (x3, y3) to the ray through (x4, y4), counter-clockwise
// on screen; a full turn when the rays coincide.
struct ArcSixteenths {
    int start, span;
};
ArcSixteenths QtArcAngles(int l, int t, int r, int b, int x3, int y3, int x4, int y4);

// An image that is drawn afresh every frame, w x h logical pixels at a device pixel ratio. It
// remembers, tile by tile, what the last frame and this one drew on: making it white again
// touches only the last frame's tiles (the rest is still white), and two frames can differ only
// on the tiles either drew on.
struct FrameBuffer {
    static constexpr int kTile = 16;  // logical pixels a side
    static constexpr std::uint8_t kThisFrame = 1, kLastFrame = 2;

    FrameBuffer(int w, int h, qreal ratio = 1);
    // The tiles a box of logical pixels (any part of it) lies on are drawn on by this frame.
    void Touch(const QRect& box);
    // All tiles: after the image was changed by other means.
    void TouchAll();
    // This frame's tiles become the last frame's, the new frame has drawn on none yet.
    void NextFrame();
    // Who drew on tile (column, row): kThisFrame, kLastFrame, both or none (0).
    std::uint8_t Tile(int column, int row) const { return tiles[row * columns + column]; }
    QRect TileRect(int column, int row) const {
        return QRect(column * kTile, row * kTile, kTile, kTile) & QRect(QPoint(0, 0), size);
    }

    QSize size;    // logical pixels
    QImage image;  // device pixels, its ratio set
    int columns = 0, rows = 0;
    std::vector<std::uint8_t> tiles;
    // Texts laid out once, by font and text: the read-outs come round again as the crank turns.
    struct LaidOutText {
        QStaticText text;
        QRect ink;  // the glyphs' box from the text's top left corner
        int advance = 0;
    };
    std::unordered_map<std::string, LaidOutText> texts;
};

class QPainterCanvas : public Canvas {
public:
    // Draws one frame on a frame buffer: Clear(white) whitens only what the last frame drew.
    explicit QPainterCanvas(FrameBuffer& frame);
    // Draws on an image; an RGB32 image gets the direct pixel path.
    explicit QPainterCanvas(QImage& image);
    // Draws on any paint device (a widget in its paint event, a printer ...).
    explicit QPainterCanvas(QPaintDevice* device);
    ~QPainterCanvas() override;
    QPainterCanvas(const QPainterCanvas&) = delete;
    QPainterCanvas& operator=(const QPainterCanvas&) = delete;

    void Ellipse(int x1, int y1, int x2, int y2) override;
    void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) override;
    void TextOut(int x, int y, std::string_view text) override;
    void SetPixel(int x, int y, Rgb c) override;
    void Clear(Rgb c) override;
    int TextWidth(std::string_view text) override;
    int TextHeight() override;

    // Antialiased lines, curves and texts from here on; off (the start) draws exact pixels.
    void SetSmooth(bool on);
    bool Smooth() const { return smooth_; }

    // Ends painting early (the destructor does it otherwise).
    void End();
    QPainter& Painter() { return painter_; }

protected:
    void DrawLine(int x1, int y1, int x2, int y2) override;

private:
    void SyncPen();
    void SyncFont();
    const FrameBuffer::LaidOutText& LaidOut(std::string_view text);
    void PlotLine(int x1, int y1, int x2, int y2, std::uint32_t argb);
    // What a drawing touched, on a frame buffer: a box (corners in any order), a line, the ring
    // of an ellipse in its box; each widened by a margin.
    void Touch(int x1, int y1, int x2, int y2, int margin);
    void TouchLine(int x1, int y1, int x2, int y2, int margin);
    void TouchRing(int l, int t, int r, int b, int margin);
    void Attach(QImage& image);
    void Begin(QPaintDevice* device);
    // The device pixels of a box of logical pixels, within the image.
    QRect DeviceRect(const QRect& logical) const;
    void Fill(const QRect& device, std::uint32_t argb);

    QPainter painter_;
    std::uint32_t* bits_ = nullptr;         // RGB32 pixels of an image target, else null
    qsizetype stride_ = 0;                  // in pixels
    int imageWidth_ = 0, imageHeight_ = 0;  // device pixels of an image target
    int width_ = 0, height_ = 0;            // logical pixels
    qreal ratio_ = 1;                       // device pixels per logical pixel
    // At a ratio other than 1 the painter is moved by half a logical pixel, so that lines and
    // circles pass through the middle of the logical pixels they name, as they do at ratio 1.
    qreal shift_ = 0;
    Rgb penColour_ = 0xFFFFFFFFu;  // what the painter's pen was last set to
    int penWidth_ = -1;
    bool smooth_ = false;
    bool plainTextAntialiasing_ = false;  // the painter's own text setting, kept while not smooth
    std::optional<FontSpec> font_;
    std::optional<QFontMetrics> metrics_;
    FrameBuffer* frame_ = nullptr;
};

}  // namespace tarn
