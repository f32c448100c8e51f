#include "PathShortening.h"

#include <QFontMetrics>
#include <QStringList>

namespace pixadra {

QString ShortenPath(const QString& path, const QFontMetrics& metrics, int width) {
    const auto fits = [&](const QString& text) { return metrics.horizontalAdvance(text) <= width; };
    if (fits(path)) return path;
    const int slash = path.lastIndexOf(u'/');
    if (slash < 0) return path;
    const QString fileName = path.mid(slash + 1);
    const bool absolute = path.startsWith(u'/');
    QStringList folders = path.left(slash).split(u'/', Qt::SkipEmptyParts);
    const QString lead = absolute ? QStringLiteral("/...") : QStringLiteral("...");
    while (!folders.isEmpty()) {
        folders.removeFirst();
        QString candidate = lead + u'/';
        for (const QString& folder : folders) candidate += folder + u'/';
        candidate += fileName;
        if (fits(candidate)) return candidate;
    }
    return fileName;
}

}  // namespace pixadra
