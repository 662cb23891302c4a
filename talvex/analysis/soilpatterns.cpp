#include "talvex/analysis/soilpatterns.h"

namespace talvex {

const QStringList &patternEntries()
{
    static const QStringList entries = [] {
        const char *const names[] = {
            "00 没有选择",      "01 素填土",        "02 杂填土",        "03 冲填土",        "04 耕表土",
            "05 粉质粘土",      "06 粘土",          "07 淤泥质粘土",    "08 淤泥",          "09 粘质粉土",
            "10 砂质粉土",      "11 粉土",          "12 粉质亚砂土",    "13 亚砂土",        "14 粉质亚粘土",
            "15 黄土",          "16 黄土状亚砂土",  "17 黄土状亚粘土",  "18 红粘土",        "19 软粘土",
            "20 淤泥质亚粘土",  "21 粉细砂",        "22 细砂",          "23 粉砂",          "24 中细砂",
            "25 中砂",          "26 中粗砂",        "27 粗砂",          "28 砾砂",          "29 砾粗砂",
            "30 漂石",          "31 块石",          "32 卵石",          "33 碎石",          "34 圆砾",
            "35 角砾",          "36 微风化岩",      "37 中风化岩",      "38 强风化岩",      "39 泥炭",
            "40 角砾岩",        "41 砾岩",          "42 钙质砾岩",      "43 砂砾岩",        "44 砂岩",
            "45 泥质砂岩",      "46 钙质砂岩",      "47 粉砂岩",        "48 页岩",          "49 砂质页岩",
            "50 钙质页岩",      "51 泥岩",          "52 石灰岩",        "53 泥质灰岩",      "54 泥灰岩",
            "55 白云质灰岩",    "56 白云岩",        "57 硅质岩",        "58 橄榄岩",        "59 辉岩",
            "60 角闪岩",        "61 辉长岩",        "62 闪长岩",        "63 花岗岩",        "64 玄武岩",
            "65 安山岩",        "66 流纹岩",        "67 正长岩",        "68 板岩",          "69 千枚岩",
            "70 片岩",          "71 石英片岩",      "72 片麻岩",        "73 变粒岩",        "74 闪岩",
            "75 石英岩",        "76 变质砂岩",      "77 大理岩",        "78 白云质大理岩",  "79 断层泥",
            "80 断层角砾岩",    "81 凝灰岩",        "82 残积土",        "241 自定义图例一", "242 自定义图例二",
            "243 自定义图例三", "244 自定义图例四", "245 自定义图例五",
        };
        QStringList list;
        for (const char *name : names)
            list.append(QString::fromUtf8(name));
        return list;
    }();
    return entries;
}

std::uint8_t patternCodeForEntry(int index)
{
    if (index < 0 || index >= kPatternEntryCount)
        return 0;
    return std::uint8_t(index > kLastBuiltInPattern ? index + kUserPatternOffset : index);
}

int patternEntryForCode(std::uint8_t code)
{
    if (code <= kLastBuiltInPattern)
        return code;
    if (code >= kFirstUserPattern && code <= kLastUserPattern)
        return code - kUserPatternOffset;
    return 0;
}

} // namespace talvex
