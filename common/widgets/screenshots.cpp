#include "common/widgets/screenshots.h"

#include <QApplication>
#include <QDialog>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

namespace common {

QString saveScreenshot(QWidget &widget, const QString &path)
{
    QCoreApplication::processEvents();
    const QPixmap picture = widget.grab();
    if (picture.isNull())
        return QStringLiteral("不能截取 %1 的图像").arg(widget.windowTitle());
    if (!picture.save(path, "PNG"))
        return QStringLiteral("不能写出 %1").arg(path);
    return QString();
}

QString screenshotModal(const std::function<void()> &open, const QString &path,
                        const std::function<void(QWidget &)> &prepare, bool accept, QWidget *under)
{
    QString error = QStringLiteral("没有出现对话框（%1）").arg(path);
    constexpr int kPollMs = 50;
    constexpr int kPolls = 5000 / kPollMs;
    int polls = 0;
    QTimer poll;
    poll.setInterval(kPollMs);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || modal == under || !modal->isVisible()) {
            if (++polls > kPolls)
                poll.stop();
            return;
        }
        poll.stop();
        if (prepare)
            prepare(*modal);
        error = saveScreenshot(*modal, path);
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            accept ? dialog->accept() : dialog->reject();
        else
            modal->close();
    });
    poll.start();
    open();
    poll.stop();
    return error;
}

} // namespace common
