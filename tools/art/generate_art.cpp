// Draws every picture of Vorla Setting and the program's icons.
//
// Regenerate them with
//
//     cmake --build build --target art
//
// which runs this program as
//
//     vorla-art-generator <source>/app/img <source>/packaging [--preview DIR]
//
// and rewrites, in the source tree:
//   app/img/{head,logo,close,closeh,back,about,min}.png   the window's pictures
//   app/img/{close,closeh}@2x.png                          the same, for 200 % screens
//   packaging/vorla-setting.ico                            Windows executable icon
//   packaging/icons/<N>x<N>/com.vorla_racing.VorlaSetting.png
//                                                          Linux application icons,
//                                                          named by the application id
//
// With --preview DIR (target art-preview) it also writes each picture at the
// size the window draws it, scaled without smoothing as a style sheet
// "border-image" does, plus a mock-up of the window, for checking by eye.
//
// Every window picture is an opaque 8-bit RGB PNG (no alpha channel, rows
// unfiltered; see unfilteredRgbPng) on the window's near-black (26, 25, 25),
// which it carries itself so that it merges into the window.
// Drawings are made with QPainter only; no font is used, so the output does
// not depend on what is installed. The committed pictures were drawn by a
// Qt 5 build (-DVORLA_QT_MAJOR=5), which redraws them pixel for pixel; Qt 6
// rounds 40 pixels of the header's gradient one step differently.

#include <QByteArray>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPointF>
#include <QPolygonF>
#include <QRectF>
#include <QString>
#include <QTransform>

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

const QColor kBackground(26, 25, 25);
const QColor kEmblemBackground(27, 28, 28);
const QColor kBlue(0, 116, 190);
const QColor kWhite(255, 255, 255);
const QColor kDarkOutline(8, 8, 8);

constexpr double kPi = 3.14159265358979323846;

// ---------------------------------------------------------------------------
// Helpers

QImage newCanvas(int w, int h, const QColor &fill)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(fill);
    return image;
}

// Opaque, with the outermost ring of pixels set to `border`, without alpha:
// saved so, it decodes straight into the format a pixmap keeps, where an RGBA
// file would be decoded and then copied once more to drop the alpha channel
// (for the wheel drawing, 23 MB more and a third of the time).
QImage finish(const QImage &drawn, const QColor &border)
{
    QImage image = drawn.convertToFormat(QImage::Format_ARGB32);
    const QRgb b = border.rgba();
    const int w = image.width();
    const int h = image.height();
    for (int x = 0; x < w; ++x) {
        image.setPixel(x, 0, b);
        image.setPixel(x, h - 1, b);
    }
    for (int y = 0; y < h; ++y) {
        image.setPixel(0, y, b);
        image.setPixel(w - 1, y, b);
    }
    for (int y = 0; y < h; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < w; ++x)
            line[x] = qRgba(qRed(line[x]), qGreen(line[x]), qBlue(line[x]), 255);
    }
    return image.convertToFormat(QImage::Format_RGB32);
}

bool savePng(const QImage &image, const QString &path)
{
    if (!image.save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("wrote %s (%dx%d)\n", qPrintable(path), image.width(), image.height());
    return true;
}

QPen roundPen(const QColor &color, double width)
{
    QPen pen(color, width);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

// ---------------------------------------------------------------------------
// The emblem: a ring (the wheel's rim) holding a bold V whose arms run into
// the rim at the upper left and upper right and whose point meets it at the
// bottom. Built on a radius of 1000, since path operations flatten curves to
// a fixed tolerance, and scaled to the size wanted when drawn.

constexpr double kEmblemRadius = 1000.0;

QPainterPath emblemPath()
{
    const double R = kEmblemRadius;
    QPainterPath ring;
    ring.addEllipse(QPointF(0, 0), R, R);
    QPainterPath hole;
    hole.addEllipse(QPointF(0, 0), 0.78 * R, 0.78 * R);
    ring = ring.subtracted(hole);

    // The V: two arms of equal width meeting in a point at the bottom.
    const double armWidth = 0.30 * R;  // measured horizontally
    QPolygonF v;
    v << QPointF(-0.98 * R, -0.62 * R) << QPointF(-0.98 * R + armWidth, -0.62 * R)
      << QPointF(0.0, 0.30 * R)
      << QPointF(0.98 * R - armWidth, -0.62 * R) << QPointF(0.98 * R, -0.62 * R)
      << QPointF(0.10 * R, 0.95 * R) << QPointF(-0.10 * R, 0.95 * R);
    QPainterPath vPath;
    vPath.addPolygon(v);
    vPath.closeSubpath();
    QPainterPath inside;
    inside.addEllipse(QPointF(0, 0), 0.9 * R, 0.9 * R);
    vPath = vPath.intersected(inside);

    return ring.united(vPath);
}

void drawEmblem(QPainter &p, const QPointF &centre, double radius, const QColor &color)
{
    QTransform t;
    t.translate(centre.x(), centre.y());
    t.scale(radius / kEmblemRadius, radius / kEmblemRadius);
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPath(t.map(emblemPath()));
    p.restore();
}

// ---------------------------------------------------------------------------
// The wordmark "VORLA", built from geometric shapes on a cap height of 100.

struct Wordmark {
    QPainterPath path;
    double width = 0;
};

Wordmark wordmarkPath()
{
    const double H = 100.0;   // cap height
    const double S = 19.0;    // stem width
    const double gap = 17.0;  // space between letters
    Wordmark w;
    double x = 0;

    auto rect = [](double x0, double y0, double ww, double hh) {
        QPainterPath r;
        r.addRect(QRectF(x0, y0, ww, hh));
        return r;
    };

    // V
    {
        const double W = 86, s1 = 23, b = 7;
        const double yi = H * (W / 2 - s1) / (W / 2 - b);
        QPolygonF v;
        v << QPointF(0, 0) << QPointF(s1, 0) << QPointF(W / 2, yi) << QPointF(W - s1, 0)
          << QPointF(W, 0) << QPointF(W / 2 + b, H) << QPointF(W / 2 - b, H);
        QPainterPath p;
        p.addPolygon(v.translated(x, 0));
        p.closeSubpath();
        w.path.addPath(p);
        x += W + gap;
    }
    // O: a stadium ring
    {
        const double W = 92, r = H / 2;
        QPainterPath outer;
        outer.addRoundedRect(QRectF(x, 0, W, H), r, r);
        QPainterPath inner;
        inner.addRoundedRect(QRectF(x + S, S, W - 2 * S, H - 2 * S), r - S, r - S);
        w.path.addPath(outer.subtracted(inner));
        x += W + gap;
    }
    // R
    {
        const double W = 78, bowlH = 60, r = bowlH / 2;
        QPainterPath p = rect(x, 0, S, H);
        QPainterPath bowl;
        bowl.moveTo(x, 0);
        bowl.lineTo(x + W - r, 0);
        bowl.arcTo(QRectF(x + W - 2 * r, 0, 2 * r, 2 * r), 90, -180);
        bowl.lineTo(x, bowlH);
        bowl.closeSubpath();
        QPainterPath hole;
        const double ri = r - S;
        hole.moveTo(x + S, S);
        hole.lineTo(x + W - r, S);
        hole.arcTo(QRectF(x + W - r - ri, S, 2 * ri, 2 * ri), 90, -180);
        hole.lineTo(x + S, bowlH - S);
        hole.closeSubpath();
        p = p.united(bowl.subtracted(hole));
        const double legW = 24;
        QPolygonF leg;
        leg << QPointF(x + 32, bowlH - S) << QPointF(x + 32 + legW, bowlH - S)
            << QPointF(x + W + 2, H) << QPointF(x + W + 2 - legW, H);
        QPainterPath legPath;
        legPath.addPolygon(leg);
        legPath.closeSubpath();
        p = p.united(legPath);
        w.path.addPath(p);
        x += W + 2 + gap;
    }
    // L
    {
        const double W = 66;
        w.path.addPath(rect(x, 0, S, H).united(rect(x, H - S, W, S)));
        x += W + gap;
    }
    // A: a V turned upside down, with a bar
    {
        const double W = 86, s1 = 23, b = 7;
        const double yi = H * (W / 2 - s1) / (W / 2 - b);
        QPolygonF a;
        a << QPointF(W / 2 - b, 0) << QPointF(W / 2 + b, 0) << QPointF(W, H) << QPointF(W - s1, H)
          << QPointF(W / 2, H - yi) << QPointF(s1, H) << QPointF(0, H);
        QPainterPath p;
        p.addPolygon(a.translated(x, 0));
        p.closeSubpath();
        QPainterPath bar = rect(x + 10, 62, W - 20, 16);
        QPainterPath outline;
        outline.addPolygon(QPolygonF() << QPointF(x + W / 2 - b, 0) << QPointF(x + W / 2 + b, 0)
                                       << QPointF(x + W, H) << QPointF(x, H));
        bar = bar.intersected(outline);
        w.path.addPath(p.united(bar));
        x += W;
    }
    w.width = x;
    return w;
}

// ---------------------------------------------------------------------------
// head.png, 2000 x 131, drawn squeezed onto 901 x 71: a blue bar in rows
// 85..113 from a slanted left end near x = 222 to the right edge, brightening
// to the right, fed by a thin wedge running down from the top-left corner.

QImage drawHead()
{
    const int W = 2000, H = 131;
    QImage image = newCanvas(W, H, kBackground);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);

    const QColor left(34, 82, 115);
    const QColor right(58, 139, 195);
    const double top = 85, bottom = 114;       // rows 85..113
    const QPointF tip(3, 3);                   // the wedge's point
    const QPointF joint(222, top);             // the bar's upper left corner
    const double slope = (joint.x() - tip.x()) / (joint.y() - tip.y());  // x per row
    const double endBottomX = joint.x() + slope * (bottom - top);

    // The bar; its slanted left end continues the wedge's lower edge.
    QPainterPath bar;
    bar.moveTo(joint);
    bar.lineTo(W - 1, top);
    bar.lineTo(W - 1, bottom);
    bar.lineTo(endBottomX, bottom);
    bar.closeSubpath();
    QLinearGradient barGradient(joint.x(), 0, W - 1, 0);
    barGradient.setColorAt(0, left);
    barGradient.setColorAt(1, right);
    p.setBrush(barGradient);
    p.drawPath(bar);

    // The wedge: from the point to the bar's top edge, widening downwards.
    const double wedgeFoot = 40;  // its width where it meets the bar
    QPainterPath wedge;
    wedge.moveTo(tip);
    wedge.lineTo(joint.x() + wedgeFoot, top + 0.5);
    wedge.lineTo(joint.x(), top + 0.5);
    wedge.closeSubpath();
    QLinearGradient wedgeGradient(tip, joint);
    wedgeGradient.setColorAt(0, QColor(30, 52, 68));
    wedgeGradient.setColorAt(1, left);
    p.setBrush(wedgeGradient);
    p.drawPath(wedge);
    p.end();
    return finish(image, kBackground);
}

// ---------------------------------------------------------------------------
// logo.png 128 x 128: the emblem in blue on (27, 28, 28).

QImage drawLogo()
{
    QImage image = newCanvas(128, 128, kEmblemBackground);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    drawEmblem(p, QPointF(64, 64), 56, kBlue);
    p.end();
    return finish(image, kEmblemBackground);
}

// ---------------------------------------------------------------------------
// Window buttons, 32 x 32, drawn at 24 x 24. Their "@2x" variants, 48 x 48,
// are the same drawings at 1.5 times the size: one picture pixel per screen
// pixel at 200 %, where Qt picks them instead of the originals.

constexpr int kButtonSize = 32;
constexpr int kButtonSize2x = 48;

QImage drawClose(int size = kButtonSize)
{
    const double s = double(size) / kButtonSize;
    QImage image = newCanvas(size, size, kBackground);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(roundPen(kWhite, 3.2 * s));
    p.drawLine(QPointF(8, 8) * s, QPointF(24, 24) * s);
    p.drawLine(QPointF(24, 8) * s, QPointF(8, 24) * s);
    p.end();
    return finish(image, kBackground);
}

QImage drawCloseHover(int size = kButtonSize)
{
    const double s = double(size) / kButtonSize;
    QImage image = newCanvas(size, size, kBackground);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QLineF a(QPointF(10, 10) * s, QPointF(22, 22) * s);
    const QLineF b(QPointF(22, 10) * s, QPointF(10, 22) * s);
    p.setPen(roundPen(kDarkOutline, 6.4 * s));
    p.drawLine(a);
    p.drawLine(b);
    p.setPen(roundPen(kWhite, 3.0 * s));
    p.drawLine(a);
    p.drawLine(b);
    p.end();
    return finish(image, kBackground);
}

QImage drawMinimise()
{
    QImage image = newCanvas(32, 32, kBackground);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(roundPen(kWhite, 3.2));
    p.drawLine(QPointF(8, 16), QPointF(24, 16));
    p.end();
    return finish(image, kBackground);
}

// ---------------------------------------------------------------------------
// about.png 800 x 250: the emblem in blue beside the wordmark in white.

QImage drawAbout()
{
    QImage image = newCanvas(800, 250, kBackground);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    // Emblem and wordmark side by side, centred as a group.
    const Wordmark mark = wordmarkPath();
    const double radius = 86;
    const double spacing = 52;
    const double scale = 0.96;  // the wordmark's cap height is 96 px
    const double groupWidth = 2 * radius + spacing + mark.width * scale;
    const double left = (800 - groupWidth) / 2;
    drawEmblem(p, QPointF(left + radius, 125), radius, kBlue);
    const double x0 = left + 2 * radius + spacing, y0 = 125 - 50 * scale;
    QTransform t;
    t.translate(x0, y0);
    t.scale(scale, scale);
    p.setPen(Qt::NoPen);
    p.setBrush(kWhite);
    p.drawPath(t.map(mark.path));
    p.end();
    return finish(image, kBackground);
}

// ---------------------------------------------------------------------------
// back.png 3200 x 1800, drawn at 640 x 360: the wheel's front face.

// The controls under the LED page's buttons, by the buttons' rectangles on
// the page. The drawing places each control's centre at its button's centre.
enum class ControlKind { PushButton, Rotary, ThumbControl };

struct Control {
    const char *button;
    int x, y, w, h;
    ControlKind kind;
};

const Control kControls[] = {
    // Two columns of six push buttons.
    {"pbB1", 150, 37, 24, 24, ControlKind::PushButton},
    {"pbB2", 211, 67, 24, 24, ControlKind::PushButton},
    {"pbB3", 238, 139, 25, 25, ControlKind::PushButton},
    {"pbB4", 267, 220, 24, 24, ControlKind::PushButton},
    {"pbB5", 242, 269, 24, 24, ControlKind::PushButton},
    {"pbB6", 227, 317, 24, 24, ControlKind::PushButton},
    {"pbB9", 589, 37, 24, 24, ControlKind::PushButton},
    {"pbB10", 527, 67, 24, 24, ControlKind::PushButton},
    {"pbB11", 500, 139, 25, 25, ControlKind::PushButton},
    {"pbB12", 472, 220, 24, 24, ControlKind::PushButton},
    {"pbB13", 496, 269, 24, 24, ControlKind::PushButton},
    {"pbB14", 512, 317, 24, 24, ControlKind::PushButton},
    // Four large rotary controls, an upper and a lower pair.
    {"pbD13", 300, 122, 26, 25, ControlKind::Rotary},
    {"pbD16", 300, 276, 26, 25, ControlKind::Rotary},
    {"pbD26", 437, 276, 26, 25, ControlKind::Rotary},
    {"pbD23", 437, 122, 26, 25, ControlKind::Rotary},
    // Thumb controls at the inner edge of the upper grips.
    {"pbD3", 183, 110, 25, 25, ControlKind::ThumbControl},
    {"pbD4", 555, 110, 25, 25, ControlKind::ThumbControl},
};

// The drawing lies at (61, 11) on its page at one fifth of its size.
constexpr double kDrawingScale = 5.0;
constexpr double kPageX = 61.0, kPageY = 11.0;

QPointF drawingCentre(const Control &c)
{
    return QPointF((c.x + c.w / 2.0 - kPageX) * kDrawingScale,
                   (c.y + c.h / 2.0 - kPageY) * kDrawingScale);
}

// The wheel is symmetric about this column.
constexpr double kAxis = 1602.0;

QPainterPath mirrored(const QPainterPath &leftHalf)
{
    return QTransform(-1, 0, 0, 1, 2 * kAxis, 0).map(leftHalf);
}

// Joins a left half running from the top of the axis to the bottom of it with
// its mirror image into one closed outline.
QPainterPath symmetricOutline(const QPainterPath &leftHalf)
{
    QPainterPath whole = leftHalf;
    whole.connectPath(mirrored(leftHalf).toReversed());
    whole.closeSubpath();
    return whole;
}

// The outline of the wheel's face: grips at the sides, a shoulder over each,
// and a notch in the middle of the top edge. The paddle page lays widgets
// over the drawing (drawing pixel = (page position - (61, 11)) x 5), which
// the outline keeps clear of: the check box in the top-left corner, the
// bite-point caption and slider in the notch (x 1240..1950, y 20..255), and
// the Save button just below the bottom edge (the last 60 rows stay empty).
QPainterPath bodyOutline()
{
    QPainterPath p;
    p.moveTo(kAxis, 300);
    p.lineTo(1330, 300);
    p.cubicTo(1200, 300, 1120, 140, 960, 112);
    p.cubicTo(840, 90, 700, 62, 560, 60);
    p.cubicTo(390, 58, 262, 110, 222, 240);
    p.cubicTo(176, 430, 168, 700, 176, 950);
    p.cubicTo(184, 1200, 210, 1420, 282, 1560);
    p.cubicTo(330, 1655, 420, 1708, 560, 1712);
    p.lineTo(kAxis, 1712);
    return symmetricOutline(p);
}

// The rubber insert of the left grip.
QPainterPath gripInsert()
{
    QPainterPath p;
    p.moveTo(300, 340);
    p.cubicTo(420, 320, 520, 330, 548, 360);
    p.cubicTo(560, 600, 560, 1150, 548, 1440);
    p.cubicTo(520, 1480, 420, 1490, 330, 1470);
    p.cubicTo(262, 1350, 240, 1150, 238, 920);
    p.cubicTo(236, 700, 250, 480, 300, 340);
    p.closeSubpath();
    return p;
}

// The opening between the left grip and the hub.
QPainterPath leftWindow()
{
    QPainterPath p;
    p.moveTo(705, 940);
    p.cubicTo(705, 880, 760, 856, 812, 884);
    p.cubicTo(900, 935, 948, 1040, 944, 1120);
    p.cubicTo(940, 1225, 880, 1300, 836, 1385);
    p.cubicTo(806, 1450, 784, 1482, 748, 1482);
    p.cubicTo(718, 1482, 705, 1455, 705, 1410);
    p.closeSubpath();
    return p;
}

// The left shift paddle, of which only what shows beside the grip is drawn.
QPainterPath leftPaddle()
{
    QPainterPath p;
    p.moveTo(300, 170);
    p.cubicTo(200, 150, 110, 170, 90, 250);
    p.lineTo(62, 640);
    p.cubicTo(58, 700, 90, 740, 160, 745);
    p.lineTo(300, 745);
    p.closeSubpath();
    return p;
}

void drawKnurledRing(QPainter &p, const QPointF &c, double rInner, double rOuter, int teeth)
{
    QPainterPath ring;
    const int steps = teeth * 4;
    for (int i = 0; i <= steps; ++i) {
        const double a = 2 * kPi * i / steps;
        const int phase = i % 4;
        const double r = (phase == 0 || phase == 1) ? rOuter : rInner;
        const QPointF pt(c.x() + r * std::cos(a), c.y() + r * std::sin(a));
        if (i == 0)
            ring.moveTo(pt);
        else
            ring.lineTo(pt);
    }
    ring.closeSubpath();
    p.drawPath(ring);
}

void drawPushButton(QPainter &p, const QPointF &c)
{
    p.setPen(roundPen(kWhite, 11));
    p.drawEllipse(c, 76, 76);
    p.setPen(roundPen(kWhite, 8));
    p.drawEllipse(c, 44, 44);
}

void drawRotary(QPainter &p, const QPointF &c)
{
    // Position marks round the knob.
    p.setPen(roundPen(kWhite, 8));
    for (int i = 0; i < 12; ++i) {
        const double a = (-225.0 + i * 270.0 / 11.0) * kPi / 180.0;
        const QPointF d(std::cos(a), std::sin(a));
        p.drawLine(c + d * 152, c + d * 176);
    }
    p.setPen(QPen(kWhite, 10, Qt::SolidLine, Qt::RoundCap, Qt::MiterJoin));
    drawKnurledRing(p, c, 114, 128, 28);
    p.setPen(roundPen(kWhite, 10));
    p.drawEllipse(c, 86, 86);
    p.setPen(roundPen(kWhite, 8));
    p.drawEllipse(c, 48, 48);
}

void drawThumbControl(QPainter &p, const QPointF &c)
{
    p.setPen(QPen(kWhite, 9, Qt::SolidLine, Qt::RoundCap, Qt::MiterJoin));
    drawKnurledRing(p, c, 72, 84, 16);
    p.setPen(roundPen(kWhite, 8));
    p.drawEllipse(c, 46, 46);
}

QImage drawBack()
{
    const int W = 3200, H = 1800;
    QImage image = newCanvas(W, H, kBackground);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setBrush(Qt::NoBrush);

    const QPainterPath body = bodyOutline();

    // Paddles first, only where the body does not cover them.
    {
        QPainterPath outside;
        outside.addRect(QRectF(0, 0, W, H));
        outside = outside.subtracted(body);
        p.save();
        p.setClipPath(outside);
        p.setPen(roundPen(kWhite, 11));
        const QPainterPath paddle = leftPaddle();
        p.drawPath(paddle);
        p.drawPath(mirrored(paddle));
        // The paddle's bevelled edge.
        p.setPen(roundPen(kWhite, 7));
        QPainterPath bevel;
        bevel.moveTo(300, 228);
        bevel.cubicTo(220, 214, 150, 226, 140, 290);
        bevel.lineTo(118, 640);
        bevel.cubicTo(116, 672, 132, 690, 170, 690);
        bevel.lineTo(300, 690);
        p.drawPath(bevel);
        p.drawPath(mirrored(bevel));
        p.restore();
    }

    p.setPen(roundPen(kWhite, 14));
    p.drawPath(body);

    p.setPen(roundPen(kWhite, 10));
    const QPainterPath insert = gripInsert();
    p.drawPath(insert);
    p.drawPath(mirrored(insert));
    // Grooves across the grips.
    p.setPen(roundPen(kWhite, 7));
    for (double y = 500; y <= 1340; y += 105) {
        const QLineF groove(QPointF(290, y), QPointF(500, y));
        p.drawLine(groove);
        p.drawLine(QLineF(QPointF(2 * kAxis - 290, y), QPointF(2 * kAxis - 500, y)));
    }

    p.setPen(roundPen(kWhite, 12));
    const QPainterPath window = leftWindow();
    p.drawPath(window);
    p.drawPath(mirrored(window));

    // The display in the top of the hub.
    p.setPen(roundPen(kWhite, 10));
    p.drawRoundedRect(QRectF(kAxis - 160, 360, 320, 200), 26, 26);
    p.setPen(roundPen(kWhite, 6));
    p.drawRoundedRect(QRectF(kAxis - 132, 386, 264, 148), 14, 14);

    // A vent in the lower part of the hub.
    p.setPen(roundPen(kWhite, 7));
    for (int i = 0; i < 3; ++i)
        p.drawRoundedRect(QRectF(kAxis - 110, 1530 + 52 * i, 220, 24), 12, 12);

    // The hub and the emblem.
    p.setPen(roundPen(kWhite, 8));
    p.drawEllipse(QPointF(kAxis, 900), 132, 132);
    drawEmblem(p, QPointF(kAxis, 900), 84, kWhite);

    for (const Control &c : kControls) {
        switch (c.kind) {
        case ControlKind::PushButton:
            drawPushButton(p, drawingCentre(c));
            break;
        case ControlKind::Rotary:
            drawRotary(p, drawingCentre(c));
            break;
        case ControlKind::ThumbControl:
            drawThumbControl(p, drawingCentre(c));
            break;
        }
    }

    p.end();
    return finish(image, kBackground);
}

// ---------------------------------------------------------------------------
// Icons: the emblem in blue on a transparent square.

QImage drawIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    drawEmblem(p, QPointF(size / 2.0, size / 2.0), size * 0.46, kBlue);
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

void putU16(QByteArray &out, quint16 v)
{
    out.append(char(v & 0xff));
    out.append(char((v >> 8) & 0xff));
}

void putU32(QByteArray &out, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        out.append(char((v >> (8 * i)) & 0xff));
}

// A Windows icon file holding one 32-bit image with alpha and its 1-bit mask.
QByteArray icoFile(const QImage &icon)
{
    const int n = icon.width();
    const int maskStride = ((n + 31) / 32) * 4;
    const quint32 pixelBytes = quint32(n * n * 4);
    const quint32 maskBytes = quint32(maskStride * n);
    const quint32 imageBytes = 40 + pixelBytes + maskBytes;

    QByteArray out;
    // ICONDIR
    putU16(out, 0);  // reserved
    putU16(out, 1);  // type: icon
    putU16(out, 1);  // one image
    // ICONDIRENTRY
    out.append(char(n < 256 ? n : 0));
    out.append(char(n < 256 ? n : 0));
    out.append(char(0));  // no palette
    out.append(char(0));  // reserved
    putU16(out, 1);       // planes
    putU16(out, 32);      // bits per pixel
    putU32(out, imageBytes);
    putU32(out, 6 + 16);  // offset of the image
    // BITMAPINFOHEADER; the height counts the colour rows and the mask rows.
    putU32(out, 40);
    putU32(out, quint32(n));
    putU32(out, quint32(2 * n));
    putU16(out, 1);
    putU16(out, 32);
    putU32(out, 0);  // BI_RGB
    putU32(out, pixelBytes + maskBytes);
    putU32(out, 0);
    putU32(out, 0);
    putU32(out, 0);
    putU32(out, 0);
    // Colour rows, bottom-up, BGRA with straight alpha.
    for (int y = n - 1; y >= 0; --y) {
        for (int x = 0; x < n; ++x) {
            const QRgb px = icon.pixel(x, y);
            out.append(char(qBlue(px)));
            out.append(char(qGreen(px)));
            out.append(char(qRed(px)));
            out.append(char(qAlpha(px)));
        }
    }
    // Mask rows, bottom-up: a set bit lets the background through.
    for (int y = n - 1; y >= 0; --y) {
        QByteArray row(maskStride, '\0');
        for (int x = 0; x < n; ++x) {
            if (qAlpha(icon.pixel(x, y)) == 0)
                row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
        }
        out.append(row);
    }
    return out;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("wrote %s (%d bytes)\n", qPrintable(path), int(bytes.size()));
    return true;
}

// The window's pictures as 8-bit RGB PNGs whose rows are all stored unfiltered
// (filter type 0) and deflated at the highest level. The drawings are large
// flat areas, so the file is smaller than with QImage::save's adaptive
// filters, and decoding skips undoing a filter on every byte: the wheel
// drawing decodes in about half the time.

void appendBigEndian(QByteArray &out, quint32 value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.append(char((value >> shift) & 0xff));
}

quint32 crc32(const QByteArray &bytes)
{
    static quint32 table[256];
    if (table[1] == 0)
        for (quint32 n = 0; n < 256; ++n) {
            quint32 c = n;
            for (int k = 0; k < 8; ++k)
                c = c & 1 ? 0xedb88320u ^ (c >> 1) : c >> 1;
            table[n] = c;
        }
    quint32 crc = 0xffffffffu;
    for (char byte : bytes)
        crc = table[(crc ^ quint8(byte)) & 0xff] ^ (crc >> 8);
    return crc ^ 0xffffffffu;
}

void appendChunk(QByteArray &png, const char *type, const QByteArray &data)
{
    appendBigEndian(png, quint32(data.size()));
    const QByteArray typed = QByteArray(type) + data;
    png += typed;
    appendBigEndian(png, crc32(typed));
}

QByteArray unfilteredRgbPng(const QImage &picture)
{
    const QImage image = picture.convertToFormat(QImage::Format_RGB888);
    const int w = image.width();
    const int h = image.height();
    QByteArray header;
    appendBigEndian(header, quint32(w));
    appendBigEndian(header, quint32(h));
    header += QByteArray("\x08\x02\x00\x00\x00", 5); // 8 bits, RGB, deflate, no filter method, not interlaced

    QByteArray rows;
    rows.reserve(h * (1 + 3 * w));
    for (int y = 0; y < h; ++y) {
        rows.append('\0'); // filter type 0: none
        rows.append(reinterpret_cast<const char *>(image.constScanLine(y)), 3 * w);
    }
    // qCompress gives a zlib stream behind a 4-byte length of its own.
    const QByteArray deflated = qCompress(rows, 9).mid(4);

    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    appendChunk(png, "IHDR", header);
    appendChunk(png, "IDAT", deflated);
    appendChunk(png, "IEND", QByteArray());
    return png;
}

bool saveWindowPicture(const QImage &image, const QString &path)
{
    return writeFile(path, unfilteredRgbPng(image));
}

// ---------------------------------------------------------------------------
// Previews: the pictures as the window draws them (no smoothing), and a
// mock-up of the window's frame with the LED page.

QImage shown(const QImage &image, int w, int h)
{
    return image.scaled(w, h, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

QImage windowMockup(const QImage &head, const QImage &logo, const QImage &close,
                    const QImage &back, bool withLeds)
{
    QImage window = newCanvas(900, 500, kBackground);
    QPainter p(&window);
    p.drawImage(0, 0, shown(head, 901, 71));
    p.drawImage(310, 10, shown(logo, 31, 31));
    p.drawImage(860, 10, shown(close, 24, 24));
    p.fillRect(140, 80, 751, 1, QColor(112, 112, 112));
    p.setPen(QColor(112, 112, 112));
    for (int i = 0; i < 5; ++i)
        p.drawRect(0, 80 + 84 * i, 130, 80);
    const QPoint page(140, 90);
    p.drawImage(page + QPoint(61, 11), shown(back, 640, 360));
    if (withLeds) {
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(QPen(kWhite, 1));
        p.setBrush(QColor(150, 3, 9));
        for (const Control &c : kControls)
            p.drawRoundedRect(QRectF(page.x() + c.x + 0.5, page.y() + c.y + 0.5, c.w - 1, c.h - 1),
                              12, 12);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setBrush(Qt::NoBrush);
        p.drawRect(page.x() + 300, page.y() + 369, 160, 30);
    }
    p.end();
    return window;
}

}  // namespace

int main(int argc, char **argv)
{
    QString imageDir, packagingDir, previewDir;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--preview") == 0 && i + 1 < argc)
            previewDir = QString::fromLocal8Bit(argv[++i]);
        else if (imageDir.isEmpty())
            imageDir = QString::fromLocal8Bit(argv[i]);
        else if (packagingDir.isEmpty())
            packagingDir = QString::fromLocal8Bit(argv[i]);
    }
    if (imageDir.isEmpty() || packagingDir.isEmpty()) {
        std::fprintf(stderr, "usage: %s IMAGE_DIR PACKAGING_DIR [--preview DIR]\n", argv[0]);
        return 2;
    }

    const QImage head = drawHead();
    const QImage logo = drawLogo();
    const QImage close = drawClose();
    const QImage closeHover = drawCloseHover();
    const QImage back = drawBack();
    const QImage about = drawAbout();
    const QImage minimise = drawMinimise();

    const QDir images(imageDir);
    bool ok = saveWindowPicture(head, images.filePath("head.png"));
    ok = saveWindowPicture(logo, images.filePath("logo.png")) && ok;
    ok = saveWindowPicture(close, images.filePath("close.png")) && ok;
    ok = saveWindowPicture(closeHover, images.filePath("closeh.png")) && ok;
    ok = saveWindowPicture(drawClose(kButtonSize2x), images.filePath("close@2x.png")) && ok;
    ok = saveWindowPicture(drawCloseHover(kButtonSize2x), images.filePath("closeh@2x.png")) && ok;
    ok = saveWindowPicture(back, images.filePath("back.png")) && ok;
    ok = saveWindowPicture(about, images.filePath("about.png")) && ok;
    ok = saveWindowPicture(minimise, images.filePath("min.png")) && ok;

    const QDir packaging(packagingDir);
    ok = writeFile(packaging.filePath("vorla-setting.ico"), icoFile(drawIcon(48))) && ok;
    for (int size : {48, 128, 256}) {
        const QString dir = QStringLiteral("icons/%1x%1").arg(size);
        packaging.mkpath(dir);
        ok = savePng(drawIcon(size), packaging.filePath(dir + "/com.vorla_racing.VorlaSetting.png")) && ok;
    }

    if (!previewDir.isEmpty()) {
        QDir().mkpath(previewDir);
        const QDir out(previewDir);
        ok = savePng(shown(head, 901, 71), out.filePath("head-901x71.png")) && ok;
        ok = savePng(shown(logo, 31, 31), out.filePath("logo-31x31.png")) && ok;
        ok = savePng(shown(close, 24, 24), out.filePath("close-24x24.png")) && ok;
        ok = savePng(shown(closeHover, 24, 24), out.filePath("closeh-24x24.png")) && ok;
        ok = savePng(shown(back, 640, 360), out.filePath("back-640x360.png")) && ok;
        ok = savePng(shown(about, 400, 125), out.filePath("about-400x125.png")) && ok;
        ok = savePng(windowMockup(head, logo, close, back, false), out.filePath("window-inputs.png"))
             && ok;
        ok = savePng(windowMockup(head, logo, close, back, true), out.filePath("window-rgb.png"))
             && ok;
    }
    return ok ? 0 : 1;
}
