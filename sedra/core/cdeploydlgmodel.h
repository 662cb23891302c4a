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

    // Whether the two numeric texts are whole numbers (the dialog refuses OK
    // otherwise, naming the field).
    QString validate() const;
    // OK: the parameters with the dialog's values; texts cut to 39 and 79
    // bytes of GBK; interval and delay kept modulo 65536.
    SedraParameters accept(const SedraParameters &previous) const;
};

} // namespace sedra
