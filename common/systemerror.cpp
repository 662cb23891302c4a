#include "common/systemerror.h"

#include <cerrno>

namespace common {

QString systemErrorText(int code)
{
    switch (code) {
    case ENOENT: return QStringLiteral("文件或文件夹不存在");
    case EACCES: return QStringLiteral("没有访问权限");
    case EPERM: return QStringLiteral("不允许这样操作（没有权限）");
    case ENOSPC: return QStringLiteral("磁盘空间不足");
#ifdef EDQUOT
    case EDQUOT: return QStringLiteral("超出磁盘配额");
#endif
    case EROFS: return QStringLiteral("文件系统是只读的");
    case EISDIR: return QStringLiteral("这是一个文件夹，不是文件");
    case ENOTDIR: return QStringLiteral("路径中的一级不是文件夹");
    case ENAMETOOLONG: return QStringLiteral("文件名太长");
    case EEXIST: return QStringLiteral("文件已存在");
    case EMFILE:
    case ENFILE: return QStringLiteral("打开的文件太多");
    case EIO: return QStringLiteral("输入输出错误（磁盘或设备故障）");
    case EFBIG: return QStringLiteral("文件太大");
    case EBUSY: return QStringLiteral("设备或资源正忙");
#ifdef ETXTBSY
    case ETXTBSY: return QStringLiteral("文件正被使用");
#endif
    case EXDEV: return QStringLiteral("不能跨磁盘移动文件");
#ifdef ELOOP
    case ELOOP: return QStringLiteral("符号链接层数太多");
#endif
    case ENXIO:
    case ENODEV: return QStringLiteral("设备不存在");
    case ENOMEM: return QStringLiteral("内存不足");
    case EAGAIN: return QStringLiteral("资源暂时不可用，请稍后再试");
    case EINVAL: return QStringLiteral("无效的参数");
    case EINTR: return QStringLiteral("操作被中断");
    default: break;
    }
    return QStringLiteral("系统错误 %1").arg(code);
}

QString fileErrorText(QFileDevice::FileError kind, int code)
{
    if (code != 0)
        return systemErrorText(code);
    switch (kind) {
    case QFileDevice::NoError: return QStringLiteral("没有错误");
    case QFileDevice::ReadError: return QStringLiteral("读取出错");
    case QFileDevice::WriteError: return QStringLiteral("写入出错");
    case QFileDevice::FatalError: return QStringLiteral("严重错误");
    case QFileDevice::ResourceError: return QStringLiteral("系统资源不足（如磁盘已满）");
    case QFileDevice::OpenError: return QStringLiteral("不能打开文件");
    case QFileDevice::AbortError: return QStringLiteral("操作已中止");
    case QFileDevice::TimeOutError: return QStringLiteral("操作超时");
    case QFileDevice::RemoveError: return QStringLiteral("不能删除文件");
    case QFileDevice::RenameError: return QStringLiteral("不能给文件改名");
    case QFileDevice::PositionError: return QStringLiteral("不能定位到文件中的位置");
    case QFileDevice::ResizeError: return QStringLiteral("不能改变文件大小");
    case QFileDevice::PermissionsError: return QStringLiteral("没有访问权限");
    case QFileDevice::CopyError: return QStringLiteral("不能复制文件");
    case QFileDevice::UnspecifiedError: break;
    }
    return QStringLiteral("未知错误");
}

} // namespace common
