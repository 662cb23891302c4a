#include "common/gbk.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace common {

std::optional<QByteArray> encodeGbk(const QString &text)
{
    QStringEncoder encoder("GBK");
    QByteArray bytes = encoder.encode(text);
    if (!encoder.isValid() || encoder.hasError())
        return std::nullopt;
    return bytes;
}

QString unencodableGbk(const QString &text)
{
    QString bad;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype len = (text.at(i).isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        const QString ch = text.mid(i, len);
        i += len - 1;
        if (!encodeGbk(ch) && !bad.contains(ch))
            bad += ch;
    }
    return bad;
}

QString decodeGbk(std::string_view bytes)
{
    QStringDecoder decoder("GBK");
    return decoder.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
}

QString decodeGbk(const QByteArray &bytes)
{
    return decodeGbk(std::string_view(bytes.constData(), std::size_t(bytes.size())));
}

std::string gbkToUtf8(std::string_view bytes)
{
    return decodeGbk(bytes).toStdString();
}

} // namespace common
