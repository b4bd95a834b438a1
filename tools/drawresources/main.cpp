// Draws the program's cursor, window icon and message-box pictures as PNG files.
//
// Every picture is drawn once as vectors on a 32-unit grid (16 for the small icon) and rendered at 1x and 2x
// by scaling the painter, so the high-DPI copies are real drawings rather than blown-up bitmaps.

#include <QColor>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QPolygonF>
#include <QString>

#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

using DrawFn = std::function<void(QPainter&)>;

const QColor kCream(253, 245, 230); // the window background the pictures are shown on

QImage render(int pixels, qreal scale, const DrawFn& draw) {
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scale, scale);
    draw(p);
    return image;
}

QPen outlinePen(const QColor& colour, qreal width) {
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// ---- cursor -------------------------------------------------------------------------------------------------

// Path coordinates sit on pixel centres (x.5) so that the one-unit outline covers whole pixels; the outer edge
// of the fingertip outline is then exactly the top of pixel row 1, which is where the hot spot is declared.
QPainterPath pointingHandPath() {
    QPainterPath path;
    path.moveTo(10.5, 3.5);
    path.arcTo(QRectF(10.5, 1.5, 4, 4), 180, -180); // fingertip
    path.lineTo(14.5, 11.5);
    path.arcTo(QRectF(14.5, 9.5, 4, 4), 180, -180);  // middle knuckle
    path.arcTo(QRectF(18.5, 10.5, 4, 4), 180, -180); // ring knuckle
    path.arcTo(QRectF(22.5, 12.5, 3, 3), 180, -180); // little knuckle
    path.lineTo(25.5, 19.5);
    path.cubicTo(25.5, 22.0, 24.5, 23.5, 23.5, 25.5);
    path.lineTo(9.5, 25.5);
    path.cubicTo(8.0, 23.0, 6.5, 20.5, 4.5, 17.5);  // heel of the thumb
    path.arcTo(QRectF(3.5, 14.5, 3, 3), 225, -135); // thumb tip
    path.cubicTo(6.5, 14.0, 8.5, 15.0, 10.5, 16.5);
    path.closeSubpath();
    return path;
}

void drawCursor(QPainter& p) {
    const QPainterPath hand = pointingHandPath();
    p.fillPath(hand, Qt::white);

    // Shade the side away from the light so the folded fingers read as separate bumps.
    p.save();
    p.setClipPath(hand);
    const QColor shade(184, 184, 184);
    p.fillRect(QRectF(13.0, 2.0, 1.0, 15.0), shade);
    p.fillRect(QRectF(17.0, 10.0, 1.0, 7.0), shade);
    p.fillRect(QRectF(21.0, 11.0, 1.0, 7.0), shade);
    p.fillRect(QRectF(24.0, 13.0, 1.0, 13.0), shade);
    p.fillRect(QRectF(9.0, 22.0, 17.0, 4.0), shade);
    p.restore();

    p.setPen(outlinePen(Qt::black, 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawPath(hand);
    // Creases between the folded fingers and under the thumb.
    p.drawLine(QPointF(14.5, 12.0), QPointF(14.5, 16.5));
    p.drawLine(QPointF(18.5, 12.0), QPointF(18.5, 16.0));
    p.drawLine(QPointF(22.5, 13.0), QPointF(22.5, 17.0));
    p.drawLine(QPointF(10.5, 16.5), QPointF(11.5, 19.5));

    // Cuff: dark blue sleeve with a green band.
    p.setPen(outlinePen(Qt::black, 1.0));
    p.setBrush(QColor(24, 40, 120));
    p.drawRect(QRectF(8.5, 25.5, 16, 5));
    p.fillRect(QRectF(9.0, 27.0, 15.0, 2.0), QColor(40, 160, 70));
}

// ---- window icon --------------------------------------------------------------------------------------------

const QColor kBronzeLight(224, 150, 70);
const QColor kBronzeDark(150, 70, 20);
const QColor kBronzeEdge(90, 35, 5);
const QColor kCardFill(255, 236, 190);
const QColor kCardHeader(214, 120, 60);
const QColor kArrow(80, 80, 220);

QBrush bronze(qreal left, qreal right, const QColor& light = kBronzeLight) {
    QLinearGradient gradient(QPointF(left, 0), QPointF(right, 0));
    gradient.setColorAt(0.0, light);
    gradient.setColorAt(1.0, kBronzeDark);
    return gradient;
}

// Line weights of the icon in grid units. One unit suits 32 and 64 pixels; other sizes need their own so that
// straight edges land on whole pixels and outlines keep a sensible thickness.
struct IconWeights {
    qreal outline = 1.0; // edges of the card, the figure and the plinth
    qreal ruling = 1.0;  // the lines written on the card
    qreal shift = 0.0;   // moves the drawing so the card's edges fall on pixel boundaries
};

// QPainterPath's set operations flatten curves to within half a unit, which on a 32-unit grid turns the head
// into an octagon once the icon is drawn large; uniting at a finer scale keeps the curves round at any size.
QPainterPath unite(const QPainterPath& a, const QPainterPath& b) {
    const qreal fine = 64;
    const QTransform up = QTransform::fromScale(fine, fine);
    return up.inverted().map(up.map(a).united(up.map(b)));
}

// A bronze statuette on a plinth, an index card, and an arrow carrying the figure over onto the card.
void drawWeightedIcon(QPainter& p, const IconWeights& weights) {
    p.translate(weights.shift, weights.shift);
    // The header band is clipped to the card so that it cannot poke out past a thin outline at the corners.
    QPainterPath card;
    card.addRoundedRect(QRectF(16.5, 12.5, 14, 18), 1.5, 1.5);
    p.fillPath(card, kCardFill);
    p.save();
    p.setClipPath(card);
    p.fillRect(QRectF(16.5, 12.5, 14, 4), kCardHeader);
    p.restore();
    p.strokePath(card, outlinePen(kBronzeEdge, weights.outline));
    // Each ruled line is moved to the nearest position where it covers whole pixel rows, so it stays sharp at
    // scales where the grid does not fall on pixels.
    p.setPen(outlinePen(QColor(160, 110, 80), weights.ruling));
    const QTransform toDevice = p.transform();
    const qreal rowsCovered = weights.ruling * toDevice.m22();
    for (qreal y : {20.5, 23.5, 26.5}) {
        const qreal top = std::round(toDevice.map(QPointF(0, y)).y() - rowsCovered / 2);
        const qreal snapped = toDevice.inverted().map(QPointF(0, top + rowsCovered / 2)).y();
        p.drawLine(QPointF(19.5, snapped), QPointF(27.5, snapped));
    }

    // A standing figure with arms held away from the body and legs apart, so it reads as a person rather than a
    // chess piece; built from thick strokes along a stick skeleton.
    QPainterPath skeleton;
    skeleton.moveTo(8.5, 12.0);
    skeleton.lineTo(8.5, 18.0);
    QPainterPathStroker torso(QPen(Qt::black, 4.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPainterPath figure = torso.createStroke(skeleton);
    QPainterPath limbs;
    limbs.moveTo(6.8, 12.0);
    limbs.lineTo(4.0, 19.0);
    limbs.moveTo(10.2, 12.0);
    limbs.lineTo(13.0, 19.0);
    limbs.moveTo(7.2, 18.0);
    limbs.lineTo(6.2, 26.5);
    limbs.moveTo(9.8, 18.0);
    limbs.lineTo(10.8, 26.5);
    QPainterPathStroker limb(QPen(Qt::black, 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    figure = unite(figure, limb.createStroke(limbs));
    QPainterPath head;
    head.addEllipse(QPointF(8.5, 7.0), 2.9, 2.9);
    figure = unite(figure, head);
    QPainterPath plinth;
    plinth.addRoundedRect(QRectF(1.5, 26.5, 14.0, 4.0), 1.0, 1.0);
    figure = unite(figure, plinth);
    p.setPen(outlinePen(kBronzeEdge, weights.outline));
    p.setBrush(bronze(2, 15));
    p.drawPath(figure);

    QPainterPath arc;
    arc.moveTo(9.5, 3.0);
    arc.quadTo(22.0, -0.5, 23.5, 7.5);
    p.setPen(QPen(kArrow, 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(arc);
    p.setPen(Qt::NoPen);
    p.setBrush(kArrow);
    p.drawPolygon(QPolygonF({QPointF(19.0, 6.5), QPointF(28.5, 6.5), QPointF(23.75, 12.0)}));
}

void drawIcon(QPainter& p) {
    drawWeightedIcon(p, {});
}

// At 1.5 pixels a unit, a two-pixel outline moved a quarter pixel puts the card's edges on whole pixels.
void drawIcon48(QPainter& p) {
    drawWeightedIcon(p, {4.0 / 3, 4.0 / 3, 1.0 / 6});
}

// At eight pixels a unit the one-unit outline would be a heavy eight pixels; half of it reads as an outline.
void drawIcon256(QPainter& p) {
    drawWeightedIcon(p, {0.5, 0.75, 0.0});
}

// The same idea redrawn on the 16-pixel grid: halving the large drawing turns it into mush, so here every edge
// is placed on a pixel boundary, the curved arrow becomes a bent one and the card keeps only two short lines.
void drawSmallIcon(QPainter& p) {
    p.setPen(outlinePen(kBronzeEdge, 1.0));
    p.setBrush(kCardFill);
    p.drawRect(QRectF(8.5, 6.5, 7, 9));
    p.fillRect(QRectF(9, 7, 6, 2), kCardHeader);
    p.fillRect(QRectF(10, 11, 4, 1), QColor(160, 110, 80));
    p.fillRect(QRectF(10, 13, 3, 1), QColor(160, 110, 80));

    // Pixel-sized pieces: body, arms, two legs with a gap, plinth; only the head is round.
    QPainterPath figure;
    figure.addEllipse(QPointF(4.5, 4.5), 1.5, 1.5);
    figure.addRoundedRect(QRectF(2, 6, 5, 2), 1, 1);
    figure.addRect(QRectF(3, 7, 3, 3));
    figure.addRect(QRectF(2, 7, 1, 3));
    figure.addRect(QRectF(6, 7, 1, 3));
    figure.addRect(QRectF(3, 10, 1, 3));
    figure.addRect(QRectF(5, 10, 1, 3));
    figure.addRect(QRectF(1, 13, 7, 3));
    figure.setFillRule(Qt::WindingFill);
    p.setPen(Qt::NoPen);
    p.setBrush(bronze(1, 8, QColor(196, 116, 46))); // without an outline it needs the darker end of the metal
    p.drawPath(figure);
    p.fillRect(QRectF(1, 13, 7, 1), kBronzeEdge);

    p.fillRect(QRectF(3, 0, 9, 2), kArrow);
    p.setBrush(kArrow);
    p.drawPolygon(QPolygonF({QPointF(8, 2), QPointF(14, 2), QPointF(11, 5)}));
}

// ---- message-box pictures -----------------------------------------------------------------------------------

// All three pictures share the same speaker, so the head and the bubble geometry live here.
QPainterPath headProfilePath() {
    QPainterPath path;
    path.moveTo(4.0, 32.0);
    path.lineTo(4.5, 27.0);
    path.cubicTo(2.5, 25.0, 1.0, 21.5, 1.5, 18.0);
    path.cubicTo(2.0, 13.0, 6.0, 10.5, 10.0, 10.5);
    path.cubicTo(13.5, 10.5, 15.5, 13.0, 15.5, 16.0);
    path.lineTo(15.7, 18.0);
    path.lineTo(18.0, 21.2); // nose
    path.lineTo(16.2, 22.0);
    path.lineTo(16.6, 23.2); // upper lip
    path.lineTo(15.9, 24.0);
    path.lineTo(16.3, 25.0); // lower lip
    path.cubicTo(16.0, 27.0, 15.0, 27.6, 13.5, 27.6);
    path.lineTo(12.5, 28.2);
    path.lineTo(12.5, 32.0);
    path.closeSubpath();
    return path;
}

void drawHead(QPainter& p) {
    QLinearGradient shade(QPointF(2, 12), QPointF(16, 30));
    shade.setColorAt(0.0, QColor(120, 120, 220));
    shade.setColorAt(1.0, QColor(60, 60, 150));
    p.setPen(outlinePen(QColor(40, 40, 100), 0.8));
    p.setBrush(shade);
    p.drawPath(headProfilePath());
}

// The balloon is in front of the speaker's crown; its tail stops just short of the lips.
const QRectF kBubble(11.5, 0.5, 20.0, 18.0);

void drawBubble(QPainter& p, const QColor& fill, const QColor& outline) {
    QPainterPath bubble;
    bubble.addEllipse(kBubble);
    QPainterPath tail;
    tail.moveTo(18.0, 14.0);
    tail.lineTo(19.5, 23.0);
    tail.lineTo(23.0, 16.0);
    tail.closeSubpath();
    p.setPen(outlinePen(outline, 1.0));
    p.setBrush(fill);
    p.drawPath(bubble.united(tail));
}

// Lines of "text" are one unit thick on pixel centres so they stay sharp at 1x.
void drawTalk(QPainter& p) {
    drawHead(p);
    drawBubble(p, QColor(255, 250, 190), QColor(150, 140, 90));
    p.setPen(QPen(QColor(120, 120, 120), 1.0, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(16, 5.5), QPointF(27, 5.5));
    p.drawLine(QPointF(15, 8.5), QPointF(29, 8.5));
    p.drawLine(QPointF(15, 11.5), QPointF(28, 11.5));
    p.drawLine(QPointF(17, 14.5), QPointF(23, 14.5));
}

// A raised open palm, fingers up. Fingers are two units wide with one-unit gaps so they separate at 1x without
// needing an outline.
QPainterPath openHandPath() {
    QPainterPath hand;
    hand.addRoundedRect(QRectF(17.0, 8.0, 11.0, 8.0), 3.0, 3.0);
    const qreal tops[] = {3.5, 2.5, 3.0, 4.5};
    for (int i = 0; i < 4; ++i) {
        QPainterPath finger;
        finger.addRoundedRect(QRectF(17.0 + 3 * i, tops[i], 2.0, 10.0 - tops[i]), 1.0, 1.0);
        hand = hand.united(finger);
    }
    QPainterPath thumb;
    thumb.addRoundedRect(QRectF(-1.0, -5.0, 2.0, 6.0), 1.0, 1.0);
    QTransform tilt;
    tilt.translate(17.5, 12.5);
    tilt.rotate(-35);
    return hand.united(tilt.map(thumb));
}

void drawStop(QPainter& p) {
    drawHead(p);
    drawBubble(p, QColor(215, 30, 30), QColor(120, 0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPath(openHandPath());
}

void drawAlert(QPainter& p) {
    drawHead(p);
    drawBubble(p, QColor(255, 214, 40), QColor(150, 110, 0));
    QPainterPath bar;
    bar.moveTo(20.0, 3.5);
    bar.quadTo(21.5, 2.0, 23.0, 3.5);
    bar.lineTo(22.5, 12.0);
    bar.lineTo(20.5, 12.0);
    bar.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 0, 0));
    p.drawPath(bar);
    p.drawEllipse(QRectF(20.0, 13.5, 3.0, 3.0));
}

// ---- output -------------------------------------------------------------------------------------------------

struct Output {
    QString path;
    int pixels;
    qreal scale;
    DrawFn draw;
};

std::vector<Output> outputs() {
    return {
        {"cursors/hand.png", 32, 1, drawCursor},       {"cursors/hand@2x.png", 64, 2, drawCursor},
        {"icons/lumaret.png", 32, 1, drawIcon},        {"icons/lumaret@2x.png", 64, 2, drawIcon},
        {"icons/lumaret16.png", 16, 1, drawSmallIcon}, {"icons/lumaret48.png", 48, 1.5, drawIcon48},
        {"icons/lumaret256.png", 256, 8, drawIcon256}, {"pictures/talk.png", 32, 1, drawTalk},
        {"pictures/talk@2x.png", 64, 2, drawTalk},     {"pictures/hand.png", 32, 1, drawStop},
        {"pictures/hand@2x.png", 64, 2, drawStop},     {"pictures/alert.png", 32, 1, drawAlert},
        {"pictures/alert@2x.png", 64, 2, drawAlert},
    };
}

// A nearest-neighbour enlargement of everything on the window colour, for checking the drawings by eye.
QImage contactSheet(const std::vector<QImage>& images) {
    const int cell = 256;
    const int gap = 8;
    const int columns = 4;
    const int rows = (int(images.size()) + columns - 1) / columns;
    QImage sheet(columns * (cell + 80 + gap) + gap, rows * (cell + gap) + gap, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(QColor(200, 200, 200));
    QPainter p(&sheet);
    for (int i = 0; i < int(images.size()); ++i) {
        const QImage& image = images[i];
        const int x = gap + (i % columns) * (cell + 80 + gap);
        const int y = gap + (i / columns) * (cell + gap);
        p.fillRect(x, y, cell, cell, kCream);
        p.drawImage(QRect(x, y, cell, cell), image);
        p.fillRect(x + cell, y, 80, cell, kCream);
        p.drawImage(x + cell + 8, y + 8, image);
    }
    return sheet;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <outdir> [--sheet <file.png>]\n", argv[0]);
        return 2;
    }
    const QDir outDir(QString::fromLocal8Bit(argv[1]));
    std::vector<QImage> drawn;
    for (const Output& out : outputs()) {
        const QImage image = render(out.pixels, out.scale, out.draw);
        const QString path = outDir.filePath(out.path);
        QDir().mkpath(QFileInfo(path).path());
        if (!image.save(path, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
        drawn.push_back(image);
    }
    if (argc >= 4 && QString::fromLocal8Bit(argv[2]) == "--sheet") {
        if (!contactSheet(drawn).save(QString::fromLocal8Bit(argv[3]), "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", argv[3]);
            return 1;
        }
    }
    return 0;
}
