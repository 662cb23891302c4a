#include "talvex/ui/songfont.h"

#include <QFont>

namespace talvex {

QStringList songFontSubstitutes()
{
    return {QStringLiteral("SimSun"),
            QStringLiteral("AR PL UMing CN"),
            QStringLiteral("AR PL SungtiL GB"),
            QStringLiteral("Noto Serif CJK SC"),
            QStringLiteral("Source Han Serif SC"),
            QStringLiteral("WenQuanYi Micro Hei"),
            QStringLiteral("Noto Sans CJK SC")};
}

void installSongFontSubstitution()
{
    QFont::insertSubstitutions(QString::fromUtf8("宋体"), songFontSubstitutes());
}

} // namespace talvex
