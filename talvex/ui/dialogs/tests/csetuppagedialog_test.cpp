// The page setup dialog: the preview's geometry, the copy of the settings in
// and out, and number boxes that limit a typed value to their range.

#include "talvex/ui/dialogs/clampingspinbox.h"
#include "talvex/ui/dialogs/csetuppagedialog.h"
#include "talvex/ui/dialogs/pagepreviewbox.h"
#include "talvex/ui/dialogs/pagepreviewgeometry.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace talvex;

namespace {

template <typename T>
T *field(CSetupPageDialog &dialog, const char *name)
{
    return dialog.findChild<T *>(QString::fromLatin1(name));
}

QPushButton *button(CSetupPageDialog &dialog, const char *text)
{
    for (QPushButton *b : dialog.findChildren<QPushButton *>())
        if (b->text() == QString::fromUtf8(text))
            return b;
    return nullptr;
}

} // namespace

class SetupPageDialogTest : public QObject {
    Q_OBJECT

private slots:
    void previewOfTheDefaultPage()
    {
        const PagePreviewGeometry g = pagePreviewGeometry(QSize(220, 320), PrintSettings{});
        // Page outline from (5, 15) to (W − 5, Hb − 5).
        QCOMPARE(g.page.topLeft(), QPoint(5, 15));
        QCOMPARE(g.page.right() + 1, 215);
        QCOMPARE(g.page.bottom() + 1, 315);
        // Heading: left margin 16 and right 8, 2/3 of the top margin 12 down.
        QCOMPARE(g.heading, QLine(21, 23, 207, 23));
        // Footer mark 10 long around W / 2, bottom margin 8 above the bottom.
        QCOMPARE(g.footer, QLine(105, 307, 115, 307));
        // 2 columns × 10 rows, column by column: width (220−24−10)/2−5 = 88,
        // height (320−20−20)/10−5 = 23, spaced by size + 5.
        QCOMPARE(int(g.cells.size()), 20);
        QCOMPARE(g.cells.front(), QRect(21, 27, 88, 23));
        QCOMPARE(g.cells[1], QRect(21, 55, 88, 23));
        QCOMPARE(g.cells[10], QRect(114, 27, 88, 23));
        QCOMPARE(g.cells.back(), QRect(114, 27 + 9 * 28, 88, 23));
    }

    void previewFollowsMarginsAndGrid()
    {
        PrintSettings settings;
        settings.marginTop = 30;
        settings.marginLeft = 0;
        settings.columnsPerPage = 3;
        settings.rowsPerPage = 1;
        const PagePreviewGeometry g = pagePreviewGeometry(QSize(220, 320), settings);
        QCOMPARE(g.heading, QLine(5, 35, 207, 35));
        // Width (220−0−8−10)/3−5 = 62, height (320−30−8−20)/1−5 = 257.
        QCOMPARE(int(g.cells.size()), 3);
        QCOMPARE(g.cells[0], QRect(5, 45, 62, 257));
        QCOMPARE(g.cells[2], QRect(5 + 2 * 67, 45, 62, 257));

        // Fifty rows in a small box: cells of one pixel, never inverted.
        settings.rowsPerPage = 50;
        const PagePreviewGeometry crowded = pagePreviewGeometry(QSize(100, 120), settings);
        QCOMPARE(int(crowded.cells.size()), 150);
        for (const QRect &cell : crowded.cells)
            QVERIFY(cell.width() >= 1 && cell.height() >= 1);

        // Top margin 50 with 50 rows: the grid stays inside the page outline,
        // its rows in order.
        settings.marginTop = 50;
        for (const QSize box : {QSize(220, 320), QSize(100, 120), QSize(220, 60)}) {
            const PagePreviewGeometry sized = pagePreviewGeometry(box, settings);
            for (std::size_t i = 0; i < sized.cells.size(); ++i) {
                QVERIFY2(sized.page.contains(sized.cells[i]),
                         qPrintable(QStringLiteral("cell %1 in %2×%3").arg(i).arg(box.width()).arg(box.height())));
                if (i % 50 != 0)
                    QVERIFY(sized.cells[i].top() >= sized.cells[i - 1].top());
            }
        }
    }

    void copiesSettingsInAndOut()
    {
        PrintSettings in;
        in.headerText = QStringLiteral("一号孔");
        in.footerStyle = 3;
        in.firstPageNumber = 5;
        in.marginTop = 20;
        in.marginRight = 0;
        in.rowsPerPage = 7;
        in.columnsPerPage = 1;
        in.printTable = 0;
        in.printOverburden = 4; // any positive flag shows checked and comes back as 1
        in.printSiteClass = 0;
        in.curveName = 1;
        CSetupPageDialog dialog(in);
        PrintSettings expected = in;
        expected.printOverburden = 1;
        QCOMPARE(dialog.settings(), expected);
        QCOMPARE(dialog.previewBox().settings(), expected);

        field<QLineEdit>(dialog, "headerText")->setText(QStringLiteral("二号孔"));
        field<QCheckBox>(dialog, "printWaveforms")->setChecked(false);
        auto *siteClass = field<QCheckBox>(dialog, "printSiteClass");
        QCOMPARE(siteClass->text(), QStringLiteral("打印场地类别"));
        QVERIFY(!siteClass->isChecked());
        siteClass->setChecked(true);
        field<ClampingSpinBox>(dialog, "marginRight")->setValue(12);
        expected.headerText = QStringLiteral("二号孔");
        expected.printWaveforms = 0;
        expected.printSiteClass = 1;
        expected.marginRight = 12;
        QCOMPARE(dialog.settings(), expected);
        // The preview follows the margin at once.
        QCOMPARE(dialog.previewBox().settings().marginRight, 12);
    }

    void typedNumbersAreLimitedToTheirRange()
    {
        CSetupPageDialog dialog(PrintSettings{});
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const auto type = [&](const char *name, const char *text) {
            auto *box = field<ClampingSpinBox>(dialog, name);
            auto *edit = box->findChild<QLineEdit *>();
            box->setFocus();
            edit->selectAll();
            QTest::keyClicks(edit, QString::fromLatin1(text));
            QCOMPARE(edit->text(), QString::fromLatin1(text)); // not refused while typing
        };
        type("columnsPerPage", "5"); // 1...3
        type("marginTop", "2"); // 5...50
        type("rowsPerPage", "99"); // 1...50
        button(dialog, "确定")->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        const PrintSettings out = dialog.settings();
        QCOMPARE(out.columnsPerPage, 3);
        QCOMPARE(out.marginTop, 5);
        QCOMPARE(out.rowsPerPage, 50);
    }

    void previewIsRepaintedWhenAListChanges()
    {
        CSetupPageDialog dialog(PrintSettings{});
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QApplication::processEvents();
        const int before = dialog.previewBox().paintCount();
        field<QComboBox>(dialog, "curveName")->setCurrentIndex(1);
        QTRY_VERIFY(dialog.previewBox().paintCount() > before);
    }
};

QTEST_MAIN(SetupPageDialogTest)
#include "csetuppagedialog_test.moc"
