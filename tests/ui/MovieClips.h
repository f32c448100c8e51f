#pragma once
// The committed movie clips of the tests (tests/data, see clips.md there): 3 seconds of
// 320 x 240, the top half one colour, a moving pattern below.
#include <QFileInfo>
#include <QRgb>
#include <QString>
#include <cstdlib>
#include <string>

namespace pixadra::uitest {

inline QString ClipPath(const char* name) {
    return QFileInfo(QStringLiteral(__FILE__)).absolutePath() + QStringLiteral("/../data/") + name;
}

inline std::string ClipFile(const char* name) {
    return ClipPath(name).toStdString();
}

// The top half's colour (red 200, green 50, blue 40), allowing for what compression does to it.
inline bool NearClipRed(QRgb c) {
    return std::abs(qRed(c) - 200) <= 16 && std::abs(qGreen(c) - 50) <= 16 && std::abs(qBlue(c) - 40) <= 16;
}

}  // namespace pixadra::uitest
