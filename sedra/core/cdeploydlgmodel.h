// State and rules of the sampling parameter dialog "配置采样参数", free of
// widgets.
#pragma once

#include "sedra/core/sedrasettings.h"

#include <QStringList>

namespace sedra {

class CDeployDlgModel {
public:
    // Opening: gain 10 selects "10", 100 "100", anything else "1"; 2048
    // selects "2048", 4096 "4096", anything else "1024".
    explicit CDeployDlgModel(const SedraParameters &parameters);

    static QStringList gainTexts(); // "1", "10", "100"
    static QStringList lengthTexts(); // "1024", "2048", "4096"

    QString siteName;
    QString testPoint;
    int gainIndex = 0;
    int lengthIndex = 0;
    QString intervalText;
    QString delayText;

    // Empty when both numeric texts are whole numbers inside their ranges
    // (interval 1 to 65535 us, delay 0 to 65535 ms, as sedra-cli takes
    // them); otherwise the message naming the field and its range, and the
    // dialog refuses OK.
    QString validate() const;
    // OK: the parameters with the dialog's values; texts cut to 39 and 79
    // bytes of GBK. A numeric text that does not validate keeps the
    // previous value.
    SedraParameters accept(const SedraParameters &previous) const;
};

} // namespace sedra
