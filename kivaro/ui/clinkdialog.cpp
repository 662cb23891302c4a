#include "kivaro/ui/clinkdialog.h"

#include "kivaro/ui/caboutdialog.h"
#include "kivaro/ui/csenddialog.h"
#include "kivaro/ui/cupdatedialog.h"

#include <QApplication>
#include <QMenuBar>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

namespace kivaro {

CLinkDialog::CLinkDialog(KivaroSettings &settings, common::Messenger &messenger, QWidget *parent)
    : QDialog(parent), m_settings(settings), m_values(settings.load())
{
    setWindowTitle(QStringLiteral("KIVARO 数据传输程序"));
    setWindowIcon(QApplication::style()->standardIcon(QStyle::SP_DriveNetIcon));
    resize(460, 470);

    auto *menuBar = new QMenuBar(this);
    auto *menu = menuBar->addMenu(QStringLiteral("系统(&S)"));
    m_helpTopics = menu->addAction(QStringLiteral("帮助主题(&H)..."), this,
                                   [this, &messenger] { openManual(common::ManualForm::Html, messenger); });
    m_helpTopics->setShortcut(QKeySequence(Qt::Key_F1));
    m_userManual = menu->addAction(QStringLiteral("用户手册(&M)"), this,
                                   [this, &messenger] { openManual(common::ManualForm::Pdf, messenger); });
    menu->addSeparator();
    menu->addAction(QStringLiteral("关于 KIVARO(&A)..."), this, &CLinkDialog::showAbout);

    const auto resolver = [&settings](int portNumber) { return settings.devicePath(portNumber); };
    m_sheet = new QTabWidget(this);
    m_send = new CSendDialog(m_values, resolver, messenger, m_sheet);
    m_update = new CUpdateDialog(m_values.portIndex, resolver, messenger, m_sheet);
    m_sheet->addTab(m_send, QStringLiteral("仪器数据传输"));
    m_sheet->addTab(m_update, QStringLiteral("升级仪器内程序"));

    auto *layout = new QVBoxLayout(this);
    layout->setMenuBar(menuBar);
    layout->addWidget(m_sheet);
}

void CLinkDialog::done(int result)
{
    if (!m_saved) {
        m_saved = true;
        m_values.portIndex = m_send->portIndex();
        m_values.baudIndex = m_send->baudIndex();
        m_values.savePath = m_send->savePath();
        m_settings.save(m_values);
    }
    QDialog::done(result);
}

void CLinkDialog::openManual(common::ManualForm form, common::Messenger &messenger)
{
    common::openManual(QStringLiteral("KIVARO"), form, m_programFolder, m_documentOpener, messenger);
}

void CLinkDialog::showAbout()
{
    CAboutDialog about(this);
    about.exec();
}

} // namespace kivaro
