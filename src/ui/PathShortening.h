#pragma once
// Shortens a path to a width in pixels for a label: folders from the front give way to
// "..." one by one, then the leading "/..." goes, and the file name alone is never cut.
#include <QString>

class QFontMetrics;

namespace pixadra {

// "/a/b/c/x.jpg" -> "/.../b/c/x.jpg" -> "/.../c/x.jpg" -> "/.../x.jpg" -> "x.jpg".
QString ShortenPath(const QString& path, const QFontMetrics& metrics, int width);

}  // namespace pixadra
