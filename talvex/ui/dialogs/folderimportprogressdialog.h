#pragma once
// Progress of "导入文件夹数据": how many of the folder's record files have
// been read, with a "取消" button that stops the import before the next file
// (a point is then either fully imported or left as it was). Appears only
// when the import takes longer than half a second.

#include "talvex/survey/folderimport.h"

#include <QProgressDialog>

namespace talvex {

class FolderImportProgressDialog : public QProgressDialog {
    Q_OBJECT
public:
    explicit FolderImportProgressDialog(QWidget *parent = nullptr);

    // One step of the import: shows `done` of `total`, lets the window
    // handle its events (so that "取消" can be pressed) and returns false once
    // it was pressed.
    bool report(int done, int total);

    // report() as the progress callback of ImportFolder.
    FolderImportProgress callback();
};

} // namespace talvex
