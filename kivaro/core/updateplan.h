#pragma once
// What an upgrade sends: the size, version and checksum as the page shows
// them (read back from their text, so a stored version of 1.19999993 shown as
// "1.2" is compared as 1.2) and the image bytes of the loaded file.

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace kivaro {

struct UpdatePlan {
    std::int32_t size = 0;
    float version = 0.0f;
    std::int32_t checksum = 0;
    QByteArray image;

    static UpdatePlan fromShownText(const QString &size, const QString &version, const QString &checksum,
                                    const QByteArray &image)
    {
        UpdatePlan plan;
        plan.size = size.trimmed().toInt();
        plan.version = version.trimmed().toFloat();
        plan.checksum = checksum.trimmed().toInt();
        plan.image = image;
        return plan;
    }
};

} // namespace kivaro
