#pragma once
// The system's reasons for a failed file operation, in Chinese: every
// message the user reads names them this way (the system's own texts are
// English). One table for the whole suite.

#include <QFileDevice>
#include <QString>

namespace common {

// The reason for a C library / system error code (errno), e.g. ENOENT
// "文件或文件夹不存在"; an unknown code gives "系统错误 N".
QString systemErrorText(int code);

// The reason a QFile / QSaveFile operation failed: the error code's text
// when the code is known (it is more precise), else the text of Qt's error
// kind ("写入出错", ...). `code` 0 means none was recorded.
QString fileErrorText(QFileDevice::FileError kind, int code);

} // namespace common
