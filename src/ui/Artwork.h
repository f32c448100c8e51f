#pragma once
// The window's pictures, drawn at start-up so they stay sharp and need no files: the left
// column's decoration, the banner, the shape pictures, the link icons and the button glyphs.
#include <QIcon>
#include <QPixmap>
#include <QSize>

namespace pixadra::artwork {

enum class Glyph { Next, Prev, Cancel, Open, Save, Folder, Preview, Delete, Export, DeleteDatabase, Film, Play, Stop };
enum class Shape { Landscape, Portrait, Square };

QPixmap Decoration(QSize size);
QPixmap Banner(QSize size);
QPixmap WelcomePicture(QSize size);
QPixmap DonePicture(QSize size);
QPixmap ShapePicture(Shape shape, QSize size);
QPixmap SourcePicture(bool movie, QSize size);
QIcon MailIcon(int side);
QIcon WebIcon(int side);
QIcon ButtonGlyph(Glyph glyph);

}  // namespace pixadra::artwork
