#pragma once
// Code page 936 (GBK) text: every text the programs store or exchange is in
// this encoding. Conversion goes through Qt's codec.

#include <QByteArray>
#include <QString>
#include <optional>
#include <string>
#include <string_view>

namespace common {

// Encodes `text` as GBK. Returns nothing when a character of the text has no
// GBK form; the caller reports that instead of storing a substitute '?'.
std::optional<QByteArray> encodeGbk(const QString &text);

// The characters of `text` that GBK cannot represent, in order of first
// appearance, for the message that tells the user which ones to change.
QString unencodableGbk(const QString &text);

// Decodes GBK bytes. Invalid byte sequences become U+FFFD.
QString decodeGbk(std::string_view bytes);
QString decodeGbk(const QByteArray &bytes);

// Converts GBK bytes to UTF-8 (for printing and JSON).
std::string gbkToUtf8(std::string_view bytes);

} // namespace common
