#include "talvex/analysis/fieldtext.h"

#include "common/gbk.h"
#include "common/messenger.h"

namespace talvex {

std::string cutGbk(std::string bytes, std::size_t maxBytes)
{
    std::size_t end = 0;
    while (end < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[end]);
        const std::size_t width = lead >= 0x81 && lead <= 0xFE && end + 1 < bytes.size() ? 2 : 1;
        if (end + width > maxBytes)
            break;
        end += width;
    }
    bytes.resize(end);
    return bytes;
}

std::optional<std::string> encodeFieldText(const QString &text, std::size_t maxBytes, const QString &label,
                                           common::Messenger &messenger)
{
    const auto bytes = common::encodeGbk(text);
    if (!bytes) {
        messenger.show(
            QStringLiteral("%1中的字符“%2”无法保存，请修改后重新输入！").arg(label, common::unencodableGbk(text)),
            common::MessageKind::Warning);
        return std::nullopt;
    }
    return cutGbk(bytes->toStdString(), maxBytes);
}

} // namespace talvex
