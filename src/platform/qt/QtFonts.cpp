#include "platform/qt/QtFonts.h"

#include <QFontDatabase>

#include "platform/qt/QtConvert.h"

namespace platform {
namespace {

bool IsHeiFace(const QString& name) {
    const QString trimmed = name.trimmed();
    return trimmed == QStringLiteral("黑体") || trimmed.compare(QStringLiteral("SimHei"), Qt::CaseInsensitive) == 0;
}

}  // namespace

QString FontFamilyFor(const std::string& faceName) {
    const QString name = ToQString(faceName);
    if (!IsHeiFace(name)) return name;
    const QStringList installed = QFontDatabase::families();
    for (const QString& candidate : {QStringLiteral("WenQuanYi Zen Hei"), QStringLiteral("Noto Sans CJK SC")}) {
        if (installed.contains(candidate, Qt::CaseInsensitive)) return candidate;
    }
    return name;
}

}  // namespace platform
