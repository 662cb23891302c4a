#include "sedra/core/startupcheck.h"

#include "common/messenger.h"
#include "common/platform/singleinstance.h"

namespace sedra {

StartupDecision checkStartup(platform::SingleInstance &instance, const QString &shearWaveName,
                             common::Messenger &messenger)
{
    if (platform::SingleInstance::isRunning(shearWaveName)) {
        messenger.show(
            QStringLiteral("剪切波采集分析系统已经在运行!\n请关闭剪切波采集分析系统后再次运行地脉动采集分析系统!"),
            common::MessageKind::Error);
        return StartupDecision::ShearWaveHeld;
    }
    return instance.claim() ? StartupDecision::Run : StartupDecision::HandedOver;
}

} // namespace sedra
