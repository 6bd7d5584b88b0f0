#include "practice/qt_mood_pictures.h"

#include <QPainter>
#include <QPainterPath>

#include <array>

namespace tavola {

namespace {

constexpr int kSide = 96;

void face(QPainter& p, QColor skin)
{
    p.setPen(QPen(QColor(60, 60, 60), 2));
    p.setBrush(skin);
    p.drawEllipse(8, 8, 80, 80);
}

void heart(QPainter& p, QColor colour)
{
    QPainterPath path;
    path.moveTo(48, 84);
    path.cubicTo(8, 56, 8, 18, 30, 16);
    path.cubicTo(40, 15, 46, 22, 48, 30);
    path.cubicTo(50, 22, 56, 15, 66, 16);
    path.cubicTo(88, 18, 88, 56, 48, 84);
    p.setPen(QPen(colour.darker(150), 2));
    p.setBrush(colour);
    p.drawPath(path);
}

QImage draw(Mood mood)
{
    QImage image(kSide, kSide, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink(40, 40, 40);
    auto eyes = [&](int dy) {
        p.setBrush(ink);
        p.drawEllipse(QPoint(34, 40 + dy), 4, 5);
        p.drawEllipse(QPoint(62, 40 + dy), 4, 5);
    };
    switch (mood) {
    case Mood::Gaoh: // a little monster with its mouth wide open
        face(p, QColor(120, 200, 90));
        p.setBrush(ink);
        p.drawPolygon(QPolygon({{20, 14}, {28, 2}, {34, 14}}));
        p.drawPolygon(QPolygon({{62, 14}, {68, 2}, {76, 14}}));
        eyes(-4);
        p.setBrush(QColor(170, 20, 20));
        p.drawChord(24, 44, 48, 34, 0, -180 * 16);
        break;
    case Mood::Namida: // tears
        face(p, QColor(255, 220, 170));
        eyes(0);
        p.setPen(QPen(ink, 2));
        p.drawArc(34, 60, 28, 16, 0, 180 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(80, 150, 255));
        p.drawEllipse(26, 50, 7, 12);
        p.drawEllipse(62, 50, 7, 12);
        break;
    case Mood::Nanda: // puzzled
        face(p, QColor(255, 220, 170));
        eyes(0);
        p.setPen(QPen(ink, 3));
        p.drawLine(36, 66, 60, 62);
        p.setFont(QFont("Sans", 16, QFont::Bold));
        p.drawText(70, 24, "?");
        break;
    case Mood::Sleep: // sleepy
        face(p, QColor(255, 220, 170));
        p.setPen(QPen(ink, 3));
        p.drawLine(28, 42, 40, 42);
        p.drawLine(56, 42, 68, 42);
        p.drawEllipse(QPoint(48, 66), 5, 4);
        p.setFont(QFont("Sans", 12, QFont::Bold));
        p.drawText(70, 22, "Zz");
        break;
    case Mood::Happy:
        face(p, QColor(255, 215, 80));
        eyes(0);
        p.setPen(QPen(ink, 3));
        p.setBrush(Qt::NoBrush);
        p.drawArc(28, 40, 40, 30, 200 * 16, 140 * 16);
        break;
    case Mood::GreenHeart:
        heart(p, QColor(40, 170, 60));
        break;
    case Mood::Kutta: // beaming
        face(p, QColor(255, 200, 60));
        p.setPen(QPen(ink, 3));
        p.setBrush(Qt::NoBrush);
        p.drawArc(26, 34, 16, 12, 0, 180 * 16);
        p.drawArc(54, 34, 16, 12, 0, 180 * 16);
        p.setBrush(QColor(200, 40, 40));
        p.drawChord(26, 46, 44, 30, 0, -180 * 16);
        break;
    case Mood::RedHeart:
        heart(p, QColor(230, 30, 40));
        break;
    }
    return image;
}

} // namespace

const QImage& moodPicture(Mood mood)
{
    static std::array<QImage, 8> pictures;
    QImage& picture = pictures[static_cast<std::size_t>(mood)];
    if (picture.isNull()) picture = draw(mood);
    return picture;
}

} // namespace tavola
