#include "common/widgets/screenshots.h"

#include "common/qttranslations.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

#include <cstdio>

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

ScreenshotRun::ScreenshotRun(int &argc, char **argv, const QString &name, int words, const char *usage) : m_name(name)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    m_app = std::make_unique<QApplication>(argc, argv);
    QApplication::setApplicationName(name);
    installQtTranslations(*m_app);
    m_words = QApplication::arguments().mid(1);
    if (m_words.size() != words) {
        std::fprintf(stderr, "usage: %s %s\n", name.toUtf8().constData(), usage);
        m_failed = 2;
        return;
    }
    // Absolute, since a tool may change the current folder.
    m_out = QFileInfo(m_words.last()).absoluteFilePath();
    if (!QDir().mkpath(m_out)) {
        std::fprintf(stderr, "%s: cannot make %s\n", name.toUtf8().constData(), m_out.toUtf8().constData());
        m_failed = 1;
    }
}

ScreenshotRun::~ScreenshotRun() = default;

QString ScreenshotRun::picture(const char *name) const
{
    return QDir(m_out).filePath(QString::fromLatin1(name) + QStringLiteral(".png"));
}

void ScreenshotRun::note(const QString &error)
{
    if (!error.isEmpty())
        m_errors << error;
}

int ScreenshotRun::finish() const
{
    for (const QString &error : m_errors)
        std::fprintf(stderr, "%s: %s\n", m_name.toUtf8().constData(), error.toUtf8().constData());
    return m_errors.isEmpty() ? 0 : 1;
}

} // namespace common
