#include "talvex/ui/dialogs/folderimportprogressdialog.h"

#include <QCoreApplication>
#include <algorithm>

namespace talvex {

FolderImportProgressDialog::FolderImportProgressDialog(QWidget *parent) : QProgressDialog(parent)
{
    setWindowTitle(QStringLiteral("导入文件夹数据"));
    setLabelText(QStringLiteral("正在导入数据文件……"));
    setCancelButtonText(QStringLiteral("取消"));
    setWindowModality(Qt::WindowModal);
    setMinimumDuration(500);
    setAutoClose(true);
    setAutoReset(true);
    setMinimumWidth(320);
}

bool FolderImportProgressDialog::report(int done, int total)
{
    if (wasCanceled())
        return false;
    setMaximum(std::max(total, 1));
    setLabelText(QStringLiteral("正在导入数据文件 %1 / %2 ……").arg(done).arg(total));
    setValue(std::min(done, std::max(total, 1)));
    // A modal progress dialog handles events in setValue; a window-less one
    // (tests, a hidden parent) needs it done here so that Cancel is seen.
    QCoreApplication::processEvents();
    return !wasCanceled();
}

FolderImportProgress FolderImportProgressDialog::callback()
{
    return [this](int done, int total) { return report(done, total); };
}

} // namespace talvex
