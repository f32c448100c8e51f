#include "Artwork.h"

#include <QLinearGradient>
#include <algorithm>
#include <functional>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <array>
#include <cmath>

namespace pixadra::artwork {
namespace {

// One palette for everything: deep blue, teal, amber, coral and a soft paper white.
const QColor kNavy(0x1c, 0x3d, 0x5a);
const QColor kTeal(0x1f, 0x8a, 0x9b);
const QColor kAmber(0xf2, 0xa5, 0x41);
const QColor kCoral(0xe4, 0x57, 0x2e);
const QColor kSky(0x8e, 0xc5, 0xe6);
const QColor kPaper(0xf4, 0xf6, 0xf8);
const QColor kInk(0x2b, 0x33, 0x3b);

// A small deterministic generator so the tiles look hand-placed but never change.
class Jitter {
public:
    explicit Jitter(uint32_t seed) : state_(seed) {}
    double Next() {
        state_ = state_ * 1664525u + 1013904223u;
        return static_cast<double>(state_ >> 8) / static_cast<double>(1u << 24);
    }

private:
    uint32_t state_;
};

QColor Mix(const QColor& a, const QColor& b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    return QColor::fromRgbF(static_cast<float>(a.redF() + (b.redF() - a.redF()) * t),
                            static_cast<float>(a.greenF() + (b.greenF() - a.greenF()) * t),
                            static_cast<float>(a.blueF() + (b.blueF() - a.blueF()) * t));
}

// Colour of a sunset scene at (u, v) in 0..1: sky above, sun, water below.
QColor SceneColor(double u, double v) {
    const double horizon = 0.58;
    if (v < horizon) {
        QColor sky = Mix(kNavy, kCoral, v / horizon);
        const double d = std::hypot(u - 0.62, (v - 0.46) * 1.4);
        if (d < 0.14) return Mix(kAmber, QColor(0xff, 0xe0, 0x9a), 1.0 - d / 0.14);
        return Mix(sky, kAmber, std::max(0.0, 0.3 - d) * 1.6);
    }
    const double w = (v - horizon) / (1.0 - horizon);
    QColor water = Mix(kTeal, kNavy, w);
    if (std::abs(u - 0.62) < 0.12 * (1.0 - w) && std::fmod(v * 40, 2.0) < 1.0) water = Mix(water, kAmber, 0.6);
    return water;
}

// Fills a rectangle with small tiles of the scene, each slightly varied, like a mosaic.
void PaintMosaic(QPainter& p, const QRectF& area, double tile, uint32_t seed, double fadeFrom = 2.0) {
    Jitter jitter(seed);
    p.setPen(Qt::NoPen);
    for (double y = area.top(); y < area.bottom(); y += tile) {
        for (double x = area.left(); x < area.right(); x += tile) {
            const double u = (x - area.left()) / area.width();
            const double v = (y - area.top()) / area.height();
            QColor c = SceneColor(u, v);
            c = c.lighter(90 + static_cast<int>(jitter.Next() * 25));
            if (u > fadeFrom) c.setAlphaF(static_cast<float>(std::max(0.0, 1.0 - (u - fadeFrom) / (1.0 - fadeFrom))));
            p.setBrush(c);
            p.drawRoundedRect(QRectF(x + 0.5, y + 0.5, tile - 1.0, tile - 1.0), 1.5, 1.5);
        }
    }
}

QPixmap Blank(QSize size) {
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

}  // namespace

QPixmap Decoration(QSize size) {
    QPixmap pixmap = Blank(size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    // A calm blue column that fades into the window's own colour at its right edge.
    QLinearGradient column(0, 0, size.width(), 0);
    column.setColorAt(0.0, Mix(kNavy, kTeal, 0.15));
    column.setColorAt(0.70, Mix(kNavy, kTeal, 0.45));
    column.setColorAt(0.86, QColor(kPaper.red(), kPaper.green(), kPaper.blue(), 0));
    p.fillRect(pixmap.rect(), column);
    // Mosaic tiles below the preview, thinning out towards the right.
    PaintMosaic(p, QRectF(0, 360, 270, size.height() - 360), 15, 7, 0.55);
    // One white card holding the preview picture and, under it, the size of the mosaic.
    QRectF card(6, 7, 251, 345);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 60));
    p.drawRoundedRect(card.translated(2, 3), 5, 5);
    p.setBrush(kPaper);
    p.drawRoundedRect(card, 5, 5);
    p.setBrush(QColor(0xe3, 0xe8, 0xec));
    p.drawRect(QRectF(13, 14, 237, 317));
    return pixmap;
}

QPixmap Banner(QSize size) {
    QPixmap pixmap = Blank(size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient base(0, 0, size.width(), 0);
    base.setColorAt(0.0, QColor(kTeal.red(), kTeal.green(), kTeal.blue(), 0));
    base.setColorAt(0.35, kTeal);
    base.setColorAt(1.0, kNavy);
    p.fillRect(pixmap.rect(), base);
    PaintMosaic(p, QRectF(size.width() * 0.32, 0, size.width() * 0.68, size.height()), 10, 3, 2.0);
    // Darken the mosaic a little so white text and icons stand out on it.
    QLinearGradient shade(0, 0, size.width(), 0);
    shade.setColorAt(0.0, QColor(0, 0, 0, 0));
    shade.setColorAt(0.5, QColor(kNavy.red(), kNavy.green(), kNavy.blue(), 110));
    shade.setColorAt(1.0, QColor(kNavy.red(), kNavy.green(), kNavy.blue(), 170));
    p.fillRect(pixmap.rect(), shade);
    return pixmap;
}

QPixmap WelcomePicture(QSize size) {
    QPixmap pixmap = Blank(size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    // Left: the photograph; right: the same scene as a mosaic; an arrow between them.
    const double side = size.height() - 20;
    const QRectF photo(10, 10, side * 0.85, side);
    const QRectF mosaic(size.width() - 10 - side * 0.85, 10, side * 0.85, side);
    for (const QRectF& r : {photo, mosaic}) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 50));
        p.drawRoundedRect(r.adjusted(-4, -4, 4, 4).translated(2, 3), 4, 4);
        p.setBrush(Qt::white);
        p.drawRoundedRect(r.adjusted(-4, -4, 4, 4), 4, 4);
    }
    for (int y = 0; y < static_cast<int>(photo.height()); ++y) {
        for (int x = 0; x < static_cast<int>(photo.width()); x += 2) {
            p.fillRect(QRectF(photo.left() + x, photo.top() + y, 2, 1),
                       SceneColor(x / photo.width(), y / photo.height()));
        }
    }
    PaintMosaic(p, mosaic, 9, 11);
    QPainterPath arrow;
    const double cx = size.width() / 2.0, cy = size.height() / 2.0;
    arrow.moveTo(cx - 28, cy - 9);
    arrow.lineTo(cx + 6, cy - 9);
    arrow.lineTo(cx + 6, cy - 20);
    arrow.lineTo(cx + 28, cy);
    arrow.lineTo(cx + 6, cy + 20);
    arrow.lineTo(cx + 6, cy + 9);
    arrow.lineTo(cx - 28, cy + 9);
    arrow.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(kAmber);
    p.drawPath(arrow);
    return pixmap;
}

QPixmap DonePicture(QSize size) {
    QPixmap pixmap = Blank(size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const double r = std::min(size.width(), size.height()) * 0.36;
    const QPointF c(size.width() / 2.0, size.height() / 2.0);
    QRadialGradient glow(c, r * 1.3);
    glow.setColorAt(0.0, kTeal.lighter(130));
    glow.setColorAt(1.0, kTeal);
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(c, r, r);
    QPainterPath tick;
    tick.moveTo(c + QPointF(-r * 0.45, 0));
    tick.lineTo(c + QPointF(-r * 0.12, r * 0.33));
    tick.lineTo(c + QPointF(r * 0.5, -r * 0.35));
    p.setPen(QPen(Qt::white, r * 0.16, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(tick);
    return pixmap;
}

QPixmap ShapePicture(Shape shape, QSize size) {
    QPixmap pixmap = Blank(size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const double h = size.height() - 8;
    QSizeF tile = shape == Shape::Landscape ? QSizeF(h * 4 / 3, h)
                  : shape == Shape::Portrait ? QSizeF(h * 3 / 4, h)
                                             : QSizeF(h, h);
    const QRectF r((size.width() - tile.width()) / 2, 4, tile.width(), tile.height());
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 45));
    p.drawRoundedRect(r.translated(1.5, 2), 3, 3);
    for (int y = 0; y < static_cast<int>(r.height()); ++y) {
        p.fillRect(QRectF(r.left(), r.top() + y, r.width(), 1), SceneColor(0.5, y / r.height()));
    }
    p.setBrush(kAmber);
    p.drawEllipse(QPointF(r.center().x() + r.width() * 0.12, r.top() + r.height() * 0.42), r.height() * 0.1,
                  r.height() * 0.1);
    p.setPen(QPen(kNavy, 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(r, 2, 2);
    return pixmap;
}

QPixmap SourcePicture(bool movie, QSize size) {
    QPixmap pixmap = Blank(size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(2, 6, size.width() - 4, size.height() - 12);
    if (movie) {
        p.setPen(Qt::NoPen);
        p.setBrush(kInk);
        p.drawRoundedRect(r, 3, 3);
        p.setBrush(kPaper);
        for (double x = r.left() + 3; x < r.right() - 3; x += 6) {
            p.drawRect(QRectF(x, r.top() + 2, 3, 3));
            p.drawRect(QRectF(x, r.bottom() - 5, 3, 3));
        }
        const QRectF frame = r.adjusted(4, 8, -4, -8);
        for (int y = 0; y < static_cast<int>(frame.height()); ++y) {
            p.fillRect(QRectF(frame.left(), frame.top() + y, frame.width(), 1),
                       SceneColor(0.5, y / frame.height()));
        }
    } else {
        p.setPen(Qt::NoPen);
        p.setBrush(kAmber.darker(115));
        QPainterPath back;
        back.addRoundedRect(QRectF(r.left(), r.top(), r.width() * 0.45, 8), 2, 2);
        back.addRoundedRect(QRectF(r.left(), r.top() + 4, r.width(), r.height() - 4), 3, 3);
        p.drawPath(back);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(r.left() + 5, r.top() + 7, r.width() - 10, r.height() - 14));
        const QRectF photo(r.left() + 8, r.top() + 10, r.width() - 16, r.height() - 20);
        for (int y = 0; y < static_cast<int>(photo.height()); ++y) {
            p.fillRect(QRectF(photo.left(), photo.top() + y, photo.width(), 1),
                       SceneColor(0.5, y / photo.height()));
        }
        p.setBrush(kAmber);
        p.drawRoundedRect(QRectF(r.left(), r.top() + r.height() * 0.55, r.width(), r.height() * 0.45), 3, 3);
    }
    return pixmap;
}

namespace {

QIcon RoundIcon(int side, const std::function<void(QPainter&, const QRectF&)>& draw) {
    QPixmap pixmap = Blank(QSize(side, side));
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF circle(1.5, 1.5, side - 3.0, side - 3.0);
    p.setPen(QPen(QColor(255, 255, 255, 200), 1.5));
    p.setBrush(QColor(255, 255, 255, 40));
    p.drawEllipse(circle);
    draw(p, circle.adjusted(side * 0.24, side * 0.24, -side * 0.24, -side * 0.24));
    return QIcon(pixmap);
}

}  // namespace

QIcon MailIcon(int side) {
    return RoundIcon(side, [](QPainter& p, const QRectF& r) {
        const QRectF env = r.adjusted(0, r.height() * 0.15, 0, -r.height() * 0.15);
        p.setPen(QPen(Qt::white, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(env, 1.5, 1.5);
        QPainterPath flap;
        flap.moveTo(env.topLeft());
        flap.lineTo(env.center().x(), env.center().y() + 1);
        flap.lineTo(env.topRight());
        p.drawPath(flap);
    });
}

QIcon WebIcon(int side) {
    return RoundIcon(side, [](QPainter& p, const QRectF& r) {
        p.setPen(QPen(Qt::white, 1.5));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(r);
        p.drawEllipse(r.adjusted(r.width() * 0.28, 0, -r.width() * 0.28, 0));
        p.drawLine(QPointF(r.left(), r.center().y()), QPointF(r.right(), r.center().y()));
        p.drawLine(QPointF(r.center().x(), r.top()), QPointF(r.center().x(), r.bottom()));
    });
}

QIcon ButtonGlyph(Glyph glyph) {
    const int side = 16;
    QPixmap pixmap = Blank(QSize(side, side));
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QPen line(kNavy, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(line);
    p.setBrush(Qt::NoBrush);
    switch (glyph) {
        case Glyph::Next:
            p.setPen(QPen(kTeal, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.drawPolyline(std::array{QPointF(5, 3), QPointF(11, 8), QPointF(5, 13)}.data(), 3);
            break;
        case Glyph::Prev:
            p.setPen(QPen(kTeal, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.drawPolyline(std::array{QPointF(11, 3), QPointF(5, 8), QPointF(11, 13)}.data(), 3);
            break;
        case Glyph::Cancel:
        case Glyph::Delete:
            p.setPen(QPen(kCoral, 2.2, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(4, 4), QPointF(12, 12));
            p.drawLine(QPointF(12, 4), QPointF(4, 12));
            break;
        case Glyph::Open:
        case Glyph::Folder:
            p.setPen(Qt::NoPen);
            p.setBrush(kAmber.darker(115));
            p.drawRoundedRect(QRectF(1.5, 3, 6, 3), 1, 1);
            p.drawRoundedRect(QRectF(1.5, 4.5, 13, 9), 1.5, 1.5);
            p.setBrush(kAmber);
            p.drawRoundedRect(QRectF(1.5, 6.5, 13, 7), 1.5, 1.5);
            break;
        case Glyph::Save:
        case Glyph::Export:
            p.drawLine(QPointF(8, 2), QPointF(8, 10));
            p.drawPolyline(std::array{QPointF(4.5, 7), QPointF(8, 10.5), QPointF(11.5, 7)}.data(), 3);
            p.setPen(QPen(kTeal, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.drawPolyline(std::array{QPointF(2.5, 11), QPointF(2.5, 14), QPointF(13.5, 14), QPointF(13.5, 11)}.data(),
                           4);
            break;
        case Glyph::Preview:
            p.drawEllipse(QRectF(1.5, 4.5, 13, 7));
            p.setBrush(kTeal);
            p.setPen(Qt::NoPen);
            p.drawEllipse(QPointF(8, 8), 2.4, 2.4);
            break;
        case Glyph::DeleteDatabase:
            p.setPen(QPen(kNavy, 1.4));
            p.drawEllipse(QRectF(2, 2, 10, 3.5));
            p.drawLine(QPointF(2, 3.75), QPointF(2, 12));
            p.drawLine(QPointF(12, 3.75), QPointF(12, 12));
            p.drawArc(QRectF(2, 10.25, 10, 3.5), 180 * 16, 180 * 16);
            p.setPen(QPen(kCoral, 2.0, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(10, 9), QPointF(15, 14));
            p.drawLine(QPointF(15, 9), QPointF(10, 14));
            break;
        case Glyph::Film:
            p.setPen(Qt::NoPen);
            p.setBrush(kInk);
            p.drawRoundedRect(QRectF(1, 3, 14, 10), 1.5, 1.5);
            p.setBrush(kPaper);
            for (int x = 2; x < 14; x += 3) {
                p.drawRect(QRectF(x, 4, 1.6, 1.6));
                p.drawRect(QRectF(x, 10.4, 1.6, 1.6));
            }
            p.setBrush(kSky);
            p.drawRect(QRectF(3, 6.3, 10, 3.4));
            break;
        case Glyph::Play:
            p.setPen(Qt::NoPen);
            p.setBrush(kTeal);
            p.drawPolygon(std::array{QPointF(4, 2.5), QPointF(13.5, 8), QPointF(4, 13.5)}.data(), 3);
            break;
        case Glyph::Stop:
            p.setPen(Qt::NoPen);
            p.setBrush(kCoral);
            p.drawRoundedRect(QRectF(3.5, 3.5, 9, 9), 1.5, 1.5);
            break;
    }
    return QIcon(pixmap);
}

}  // namespace pixadra::artwork
