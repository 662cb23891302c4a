// The dialogs of the talvex window open with the survey's values, store what
// is typed into the right fields, refuse bad numbers with a message while
// staying open, and limit texts as the record fields do.

#include "common/fixedtext.h"
#include "common/gbk.h"
#include "common/messenger.h"
#include "talvex/analysis/soilpatterns.h"
#include "talvex/document/surveydocument.h"
#include "talvex/survey/folderimport.h"
#include "talvex/ui/dialogs/bytelimitedtextedit.h"
#include "talvex/ui/dialogs/ceditchanshudialog.h"
#include "talvex/ui/dialogs/ceditchendialog.h"
#include "talvex/ui/dialogs/ceditdaodialog.h"
#include "talvex/ui/dialogs/ceditzhudialog.h"
#include "talvex/ui/dialogs/clubodialog.h"
#include "talvex/ui/dialogs/cpointnumdialog.h"
#include "talvex/ui/dialogs/dialogfields.h"
#include "talvex/ui/dialogs/echengguodialog.h"
#include "talvex/ui/dialogs/ewuxingzhibiao.h"
#include "talvex/ui/dialogs/filedialogs.h"
#include "talvex/ui/dialogs/folderimportprogressdialog.h"
#include "talvex/ui/dialogs/patternpreview.h"
#include "talvex/ui/dialogs/typinglimitvalidator.h"
#include "tools/samplegen/syntheticsurvey.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>
#include <limits>

using namespace talvex;

namespace {

// A survey of `points` points, one per metre, through the document's New.
void newSurvey(SurveyDocument &doc, int points)
{
    HoleParameters p;
    p.holeDepth = float(points);
    p.pointSpacing = 1.0f;
    common::storeFixedText(p.projectName, "P");
    common::storeFixedText(p.holeNumber, "ZK1");
    doc.newSurvey(p);
}

DiChengOne layer(float top, float bottom)
{
    DiChengOne l;
    l.top = top;
    l.bottom = bottom;
    return l;
}

// Leaves a box the way a user does: the focus moves to another control.
void typeAndLeave(QLineEdit *edit, const QString &text)
{
    edit->setFocus(Qt::OtherFocusReason);
    QCoreApplication::processEvents();
    edit->setText(text);
    edit->clearFocus();
    QCoreApplication::processEvents();
}

// Types `text` character by character as key presses (QTest::keyClicks takes
// Latin-1 only).
void typeText(QWidget *widget, const QString &text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(widget, &release);
    }
}

QString gbk(const std::string &bytes)
{
    return common::decodeGbk(bytes);
}

} // namespace

class DialogsTest : public QObject {
    Q_OBJECT

private slots:
    void numberFieldsAcceptWhatTheFrameworkAccepted();
    void projectNameStopsAt24CharactersButKeepsALongerStoredName();
    void textsAreLimitedToTheBytesOfTheirFields();
    void filterDialogShowsTheDefaultsOfTheRememberedKind();
    void holeDialogStoresTheParametersAndRefusesBadNumbers();
    void holeDialogKeepsWhatItCannotShowExactly();
    void newSurveyDialogBuildsTheSurvey();
    void pointDialogShowsArrivalsInMsAndStoresThem();
    void layerDialogStoresOnLeavingAField();
    void surveyLogDialogStoresPatternsAndClosesGaps();
    void resultsAndSoilIndices();
    void fileDialogsAskAboutTheFileThatIsWritten();
    void folderImportStopsBetweenPointsWhenCancelled();
};

void DialogsTest::numberFieldsAcceptWhatTheFrameworkAccepted()
{
    QCOMPARE(parseFloatField(QStringLiteral(" 12.5 ")), std::optional<float>(12.5f));
    QCOMPARE(parseFloatField(QStringLiteral("1e3")), std::optional<float>(1000.0f));
    QCOMPARE(parseFloatField(QStringLiteral("-.5")), std::optional<float>(-0.5f));
    for (const char *bad : {"", " ", "12a", "1,000", "inf", "nan", "1e39", "0x10"})
        QVERIFY2(!parseFloatField(QString::fromLatin1(bad)), bad);
    QCOMPARE(parseIntField(QStringLiteral(" 7 "), 0, 10), std::optional<int>(7));
    QVERIFY(!parseIntField(QStringLiteral("11"), 0, 10));
    QVERIFY(!parseIntField(QStringLiteral("2.5"), 0, 10));
    QCOMPARE(floatFieldText(15.05f), QStringLiteral("15.05"));
    QCOMPARE(floatFieldText(0.0f), QStringLiteral("0"));

    // A box still showing its value keeps the exact float; an edited one is read.
    common::RecordingMessenger messenger;
    QLineEdit edit;
    float value = 1.0f / 3.0f;
    edit.setText(floatFieldText(value));
    QVERIFY(readFloatField(&edit, messenger, value));
    QCOMPARE(value, 1.0f / 3.0f);
    edit.setText(QStringLiteral("abc"));
    QVERIFY(!readFloatField(&edit, messenger, value));
    QCOMPARE(messenger.last(), QString::fromUtf8(kFloatFieldMessage));
    QCOMPARE(value, 1.0f / 3.0f);
}

void DialogsTest::projectNameStopsAt24CharactersButKeepsALongerStoredName()
{
    SurveyDocument doc;
    newSurvey(doc, 3);
    common::RecordingMessenger messenger;
    {
        CEditChanShuDialog dialog(doc, CEditChanShuDialog::Purpose::EditHole, messenger);
        QLineEdit *name = dialog.projectNameEdit();
        name->clear();
        QTest::keyClicks(name, QString(30, QLatin1Char('x')));
        QCOMPARE(name->text().size(), 24);
        // Typed in the middle of a full box: nothing more goes in.
        name->setCursorPosition(5);
        QTest::keyClicks(name, QStringLiteral("yy"));
        QCOMPARE(name->text(), QString(24, QLatin1Char('x')));
    }

    // A stored name of 30 characters is shown whole, may get shorter, never longer,
    // and OK stores it unchanged.
    const QString longName = QString::fromUtf8("三十个字符的工程名称三十个字符的工程名称三十个字符的工程名称");
    QCOMPARE(longName.size(), 30);
    common::storeFixedText(doc.survey().header.projectName, common::encodeGbk(longName)->toStdString());
    CEditChanShuDialog dialog(doc, CEditChanShuDialog::Purpose::EditHole, messenger);
    QLineEdit *name = dialog.projectNameEdit();
    QCOMPARE(name->text(), longName);
    name->setFocus();
    name->end(false);
    QTest::keyClick(name, Qt::Key_Backspace);
    QCOMPARE(name->text().size(), 29);
    QTest::keyClicks(name, QStringLiteral("ab"));
    QCOMPARE(name->text().size(), 29);

    CEditChanShuDialog untouched(doc, CEditChanShuDialog::Purpose::EditHole, messenger);
    untouched.accept();
    QCOMPARE(untouched.result(), int(QDialog::Accepted));
    QCOMPARE(gbk(common::readFixedText(doc.survey().header.projectName)), longName);
}

void DialogsTest::textsAreLimitedToTheBytesOfTheirFields()
{
    // One-line box of a 40-byte field: 20 Chinese characters, or 40 letters.
    QLineEdit edit;
    auto *validator = new TypingLimitValidator(TypingLimitValidator::Unit::GbkBytes, 40, &edit);
    validator->setStoredText(&edit, QString());
    typeText(&edit, QString(25, QChar(0x5B54))); // 孔
    QCOMPARE(edit.text().size(), 20);
    edit.clear();
    typeText(&edit, QStringLiteral("a") + QString(25, QChar(0x5B54)));
    QCOMPARE(TypingLimitValidator::measure(TypingLimitValidator::Unit::GbkBytes, edit.text()), 39);

    // A description of 159 bytes, a line break taking CR LF.
    ByteLimitedTextEdit text(159);
    text.setStoredText(QStringLiteral("a\r\nb"));
    QCOMPARE(text.toPlainText(), QStringLiteral("a\nb"));
    QCOMPARE(text.storedText(), QStringLiteral("a\r\nb"));
    text.setStoredText(QString());
    text.setFocus();
    typeText(&text, QString(100, QChar(0x571F))); // 土
    QCOMPARE(text.toPlainText().size(), 79);
    text.setStoredText(QString(78, QChar(0x571F)) + QStringLiteral("\r\n"));
    QCOMPARE(common::encodeGbk(text.storedText())->size(), 158);
    text.moveCursor(QTextCursor::End);
    QTest::keyClicks(&text, QStringLiteral("xyz"));
    QCOMPARE(text.storedText(), QString(78, QChar(0x571F)) + QStringLiteral("\r\nx"));
}

void DialogsTest::filterDialogShowsTheDefaultsOfTheRememberedKind()
{
    common::RecordingMessenger messenger;
    FilterSettings remembered{10, 20, FilterKind::BandStop};
    CLuBoDialog dialog(remembered, messenger);
    auto edits = dialog.findChildren<QLineEdit *>();
    QCOMPARE(edits.size(), 2);
    QLineEdit *upper = edits[0];
    QLineEdit *lower = edits[1];
    QCOMPARE(upper->text(), QStringLiteral("55"));
    QCOMPARE(lower->text(), QStringLiteral("45"));
    QStringList labels;
    for (QLabel *l : dialog.findChildren<QLabel *>())
        labels << l->text();
    QVERIFY(labels.contains(QStringLiteral("高端频率")));

    // Choosing low-pass: the upper edge only, back at 800.
    auto *lowPass = dialog.findChildren<QRadioButton *>().at(0);
    lowPass->click();
    QCOMPARE(upper->text(), QStringLiteral("800"));
    QVERIFY(upper->isEnabled());
    QVERIFY(!lower->isEnabled());
    // A number too large is told its range, not that it is no integer.
    upper->setText(QStringLiteral("70000"));
    dialog.accept();
    QCOMPARE(messenger.last(), intRangeMessage(-32768, 32767));
    QVERIFY(dialog.result() != QDialog::Accepted);
    upper->setText(QStringLiteral("300"));
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.settings(), (FilterSettings{0, 300, FilterKind::LowPass}));

    // For a trace sampled every 50 us (Nyquist 10000 Hz) the CLI's rule
    // holds: an edge at or above it, or not positive, is refused and the
    // dialog stays open; so is a band whose lower edge is not below its upper.
    CLuBoDialog sampled(FilterSettings{}, messenger, 50.0f);
    auto sampledEdits = sampled.findChildren<QLineEdit *>();
    sampledEdits[0]->setText(QStringLiteral("10000"));
    sampled.accept();
    QVERIFY(sampled.result() != QDialog::Accepted);
    QVERIFY(messenger.last().contains(QStringLiteral("10000 Hz")));
    sampled.findChildren<QRadioButton *>().at(2)->click(); // band-pass
    sampledEdits[0]->setText(QStringLiteral("300"));
    sampledEdits[1]->setText(QStringLiteral("-5"));
    sampled.accept();
    QVERIFY(sampled.result() != QDialog::Accepted);
    QVERIFY(messenger.last().contains(QString::fromUtf8("正整数")));
    sampledEdits[1]->setText(QStringLiteral("400"));
    sampled.accept();
    QVERIFY(sampled.result() != QDialog::Accepted);
    sampledEdits[1]->setText(QStringLiteral("20"));
    sampled.accept();
    QCOMPARE(sampled.result(), int(QDialog::Accepted));
    QCOMPARE(sampled.settings(), (FilterSettings{20, 300, FilterKind::BandPass}));

    CPointNumDialog points(5, messenger);
    auto *window = points.findChild<QLineEdit *>();
    QCOMPARE(window->text(), QStringLiteral("5"));
    window->setText(QStringLiteral("x"));
    points.accept();
    QCOMPARE(points.value(), 5);
    QCOMPARE(messenger.last(), QString::fromUtf8(kIntFieldMessage));
    window->setText(QStringLiteral("99999999999999999999"));
    points.accept();
    QCOMPARE(points.value(), 5);
    QCOMPARE(messenger.last(), intRangeMessage(std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
    QVERIFY(points.result() != QDialog::Accepted);
    window->setText(QStringLiteral("9"));
    points.accept();
    QCOMPARE(points.value(), 9);
}

void DialogsTest::holeDialogStoresTheParametersAndRefusesBadNumbers()
{
    SurveyDocument doc;
    newSurvey(doc, 5);
    doc.survey().header.method = 2; // written by another program: a cross-hole test
    doc.survey().setModified(false);
    common::RecordingMessenger messenger;
    CEditChanShuDialog dialog(doc, CEditChanShuDialog::Purpose::EditHole, messenger);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("测孔参数修改"));
    auto combos = dialog.findChildren<QComboBox *>();
    QComboBox *method = combos[1];
    QCOMPARE(method->currentText(), QStringLiteral("跨孔"));

    QList<QLineEdit *> edits = dialog.findChildren<QLineEdit *>();
    // project, hole, personnel, date, then the six numbers in order
    QLineEdit *holeNumber = edits[1];
    QLineEdit *holeDepth = edits[4];
    QLineEdit *overburden = edits[8];
    QCOMPARE(holeNumber->text(), QStringLiteral("ZK1"));
    QCOMPARE(holeDepth->text(), QStringLiteral("5"));

    holeDepth->setText(QStringLiteral("5米"));
    dialog.accept();
    QCOMPARE(messenger.last(), QString::fromUtf8(kFloatFieldMessage));
    QVERIFY(dialog.result() != QDialog::Accepted);

    holeDepth->setText(QStringLiteral("30"));
    overburden->setText(QStringLiteral("250"));
    dialog.accept();
    QVERIFY(messenger.last().contains(QStringLiteral("200")));
    QVERIFY(dialog.result() != QDialog::Accepted);
    QCOMPARE(doc.survey().header.holeDepth, 5.0f);
    QVERIFY(!doc.isModified());

    overburden->setText(QStringLiteral("25"));
    holeNumber->setText(QString::fromUtf8("孔2"));
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(doc.survey().header.holeDepth, 30.0f);
    QCOMPARE(doc.survey().header.overburden, 25.0f);
    QCOMPARE(doc.survey().header.method, std::uint8_t(2));
    QCOMPARE(gbk(common::readFixedText(doc.survey().header.holeNumber)), QString::fromUtf8("孔2"));
    QVERIFY(doc.isModified());
    QVERIFY(doc.canUndo());
}

void DialogsTest::holeDialogKeepsWhatItCannotShowExactly()
{
    SurveyDocument doc;
    newSurvey(doc, 5);
    doc.survey().header.sourceDistance = 1.0f / 3.0f;
    common::RecordingMessenger messenger;
    CEditChanShuDialog dialog(doc, CEditChanShuDialog::Purpose::EditHole, messenger);
    auto combos = dialog.findChildren<QComboBox *>();
    combos[1]->setCurrentIndex(0); // single hole chosen
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(doc.survey().header.sourceDistance, 1.0f / 3.0f);
    QCOMPARE(doc.survey().header.method, std::uint8_t(0));
}

void DialogsTest::newSurveyDialogBuildsTheSurvey()
{
    SurveyDocument doc;
    newSurvey(doc, 3);
    common::RecordingMessenger messenger;
    CEditChanShuDialog dialog(doc, CEditChanShuDialog::Purpose::NewSurvey, messenger);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("建立新文件对话框"));
    QList<QLineEdit *> edits = dialog.findChildren<QLineEdit *>();
    const QDate today = QDate::currentDate();
    QCOMPARE(edits[3]->text(), QStringLiteral("%1-%2-%3").arg(today.year()).arg(today.month()).arg(today.day()));
    QCOMPARE(edits[1]->text(), QStringLiteral("ZK1"));
    // The hole dialog's model refuses what would give a survey without
    // points, as talvex-cli new does.
    edits[5]->setText(QStringLiteral("-1"));
    dialog.accept();
    QVERIFY(dialog.result() != QDialog::Accepted);
    QCOMPARE(messenger.last(), QStringLiteral("测点间隔: 请输入一个大于 0 的数。"));
    QCOMPARE(doc.survey().points.size(), std::size_t(3));
    edits[4]->setText(QStringLiteral("2"));
    edits[5]->setText(QStringLiteral("3"));
    dialog.accept();
    QVERIFY(dialog.result() != QDialog::Accepted);
    QVERIFY(messenger.last().contains(QStringLiteral("新测试将没有测点")));
    edits[4]->setText(QStringLiteral("10"));
    dialog.reject();
    QCOMPARE(doc.survey().points.size(), std::size_t(3));
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(doc.survey().points.size(), std::size_t(3));
    QCOMPARE(doc.survey().points[2].depth, 9.0f);
    QCOMPARE(doc.survey().header.holeDepth, 10.0f);
}

void DialogsTest::pointDialogShowsArrivalsInMsAndStoresThem()
{
    SurveyDocument doc;
    newSurvey(doc, 50);
    TlvOne p = doc.survey().points[1];
    p.interval = 50.0f;
    p.sArrival = 301;
    p.gain = 8;
    doc.survey().points[1] = p;
    doc.view().currentPoint = 2;
    common::RecordingMessenger messenger;

    CEditDaoDialog dialog(doc, messenger);
    QVERIFY(dialog.hasPoint());
    QCOMPARE(dialog.field(4)->text(), QStringLiteral("15.05"));
    QCOMPARE(dialog.field(7)->text(), QStringLiteral("8"));
    QVERIFY(dialog.field(7)->isReadOnly());
    dialog.field(0)->setText(QStringLiteral("60"));
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(doc.survey().points[1].sArrival, std::int16_t(301));
    QCOMPARE(doc.survey().points[1].depth, 60.0f);
    QCOMPARE(doc.survey().header.holeDepth, 60.0f);
    QVERIFY(doc.canUndo());

    // The model's refusals keep the dialog open.
    CEditDaoDialog again(doc, messenger);
    again.field(1)->setText(QStringLiteral("0"));
    again.accept();
    QVERIFY(again.result() != QDialog::Accepted);
    QVERIFY(!messenger.messages.isEmpty());
    QCOMPARE(doc.survey().points[1].interval, 50.0f);
}

void DialogsTest::layerDialogStoresOnLeavingAField()
{
    SurveyDocument doc;
    newSurvey(doc, 10);
    doc.survey().layers = {layer(0, 2), layer(2, 5), layer(5, 9)};
    for (DiChengOne &l : doc.survey().layers)
        common::storeFixedText(l.description, "x");
    doc.survey().layers[2].velocity = 123.0f;
    common::RecordingMessenger messenger;
    CEditZhuDialog dialog(doc, messenger);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.list()->count(), 3);
    QCOMPARE(dialog.list()->item(0)->text(), QStringLiteral("土层 1"));

    dialog.list()->setCurrentRow(1);
    QCOMPARE(dialog.topEdit()->text(), QStringLiteral("2"));
    typeAndLeave(dialog.bottomEdit(), QStringLiteral("6"));
    QCOMPARE(doc.survey().layers[1].bottom, 6.0f);
    QCOMPARE(doc.survey().layers[2].top, 6.0f);
    QCOMPARE(gbk(common::readFixedText(doc.survey().layers[2].description)), QStringLiteral("x"));

    // An end above the start is refused and the layer stays.
    typeAndLeave(dialog.bottomEdit(), QStringLiteral("1"));
    QCOMPARE(doc.survey().layers[1].bottom, 6.0f);
    QVERIFY(!messenger.messages.isEmpty());

    dialog.bottomEdit()->setText(QStringLiteral("6"));
    typeAndLeave(dialog.velocityEdit(), QStringLiteral("300"));
    QCOMPARE(doc.survey().layers[1].velocity, 300.0f);
    QCOMPARE(gbk(common::readFixedText(doc.survey().layers[1].description)), QStringLiteral("中硬土"));
    QCOMPARE(dialog.descriptionEdit()->toPlainText(), QStringLiteral("中硬土"));

    dialog.deleteLayer();
    QCOMPARE(doc.survey().layers.size(), std::size_t(2));
    QCOMPARE(doc.survey().layers[1].top, 2.0f);
    QCOMPARE(dialog.list()->count(), 2);
    QCOMPARE(dialog.list()->currentRow(), 1);

    dialog.addLayer();
    QCOMPARE(doc.survey().layers.size(), std::size_t(3));
    QCOMPARE(dialog.list()->currentRow(), 2);
    QCOMPARE(dialog.topEdit()->text(), QStringLiteral("9"));

    // Enter while typing in a box stores it before closing.
    dialog.bottomEdit()->setFocus();
    dialog.bottomEdit()->setText(QStringLiteral("12"));
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(doc.survey().layers[2].bottom, 12.0f);
    QVERIFY(doc.isModified());
}

void DialogsTest::surveyLogDialogStoresPatternsAndClosesGaps()
{
    SurveyDocument doc;
    newSurvey(doc, 10);
    doc.survey().logLayers = {layer(0, 2), layer(2, 5), layer(5, 9)};
    doc.survey().logLayers[2].pattern = 245;
    doc.survey().setModified(false);
    common::RecordingMessenger messenger;
    CEditChenDialog dialog(doc, messenger);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.patternList()->count(), kPatternEntryCount);

    dialog.list()->setCurrentRow(2);
    QCOMPARE(dialog.patternList()->currentText(), QStringLiteral("245 自定义图例五"));
    dialog.list()->setCurrentRow(0);
    dialog.choosePattern(83);
    QCOMPARE(doc.survey().logLayers[0].pattern, std::uint8_t(241));
    QCOMPARE(dialog.preview()->code(), 241);
    dialog.choosePattern(21);
    QCOMPARE(doc.survey().logLayers[0].pattern, std::uint8_t(21));
    QVERIFY(!dialog.preview()->grab().isNull());

    dialog.soilNameEdit()->setFocus();
    typeText(dialog.soilNameEdit(), QString::fromUtf8("粉细砂"));
    dialog.bottomEdit()->setFocus(); // leaving the name stores it
    QCoreApplication::processEvents();
    QCOMPARE(gbk(common::readFixedText(doc.survey().logLayers[0].description)), QString::fromUtf8("粉细砂"));
    typeAndLeave(dialog.bottomEdit(), QStringLiteral("3"));
    QCOMPARE(doc.survey().logLayers[1].top, 3.0f);
    QCOMPARE(doc.survey().logLayers[0].pattern, std::uint8_t(21));

    dialog.deleteLayer();
    QCOMPARE(doc.survey().logLayers.size(), std::size_t(2));
    QCOMPARE(doc.survey().logLayers[0].top, 0.0f);
    QCOMPARE(doc.survey().logLayers[0].bottom, 5.0f);
    QCOMPARE(dialog.list()->count(), 2);
    QCOMPARE(dialog.topEdit()->text(), QStringLiteral("0"));
    QVERIFY(doc.isModified());
}

void DialogsTest::resultsAndSoilIndices()
{
    SurveyDocument doc;
    newSurvey(doc, 30);
    doc.survey().points[29].equivVelocity = 300.0f;
    EChengGuoDialog results(doc.survey());
    QCOMPARE(results.list()->count(), 30);
    // The columns are made of spaces: they stay straight in a fixed-pitch
    // font, and the heading's Chinese lines up with the digits below it in a
    // face whose Chinese characters are two digits wide (where one is
    // installed).
    const QFont listFont = results.list()->font();
    QVERIFY(isFixedPitch(listFont));
    const QFontMetricsF metrics(listFont);
    const QStringList installed = QFontDatabase::families();
    if (installed.contains(QStringLiteral("Noto Sans Mono CJK SC")) || installed.contains(QStringLiteral("NSimSun")))
        QVERIFY(
            qAbs(metrics.horizontalAdvance(QStringLiteral("米")) - 2 * metrics.horizontalAdvance(QStringLiteral("0")))
            < 0.5);
    QCOMPARE(results.list()->item(29)->text(),
             QStringLiteral("30.0(米)") + QString(16, u' ') + QStringLiteral("300.0(m/s)") + QString(22, u' ')
                 + QStringLiteral("0.4000(秒)"));

    common::RecordingMessenger messenger;
    EWUXINGZHIBIAO indices(messenger);
    indices.compute(); // all 0: Vs equals Vp
    QCOMPARE(messenger.messages.size(), 1);
    QCOMPARE(indices.output(2)->text(), QStringLiteral("0"));
    indices.input(0)->setText(QStringLiteral("200"));
    indices.input(1)->setText(QStringLiteral("400"));
    indices.input(2)->setText(QStringLiteral("1.9"));
    indices.compute();
    QCOMPARE(indices.output(2)->text(), QStringLiteral("0.333333"));
    QCOMPARE(indices.output(0)->text(), QStringLiteral("76000.000000"));
    // A bad number: the message, and the indices shown stay those of the good inputs.
    indices.input(1)->setText(QStringLiteral("四百"));
    indices.compute();
    QCOMPARE(messenger.last(), QString::fromUtf8(kFloatFieldMessage));
    QCOMPARE(indices.output(2)->text(), QStringLiteral("0.333333"));
}

void DialogsTest::fileDialogsAskAboutTheFileThatIsWritten()
{
    auto open = makeFileDialog(FileDialogKind::OpenSurvey, nullptr);
    QCOMPARE(open->windowTitle(), QStringLiteral("打开数据文件"));
    QCOMPARE(open->fileMode(), QFileDialog::ExistingFile);
    auto table = makeFileDialog(FileDialogKind::ExportPointTable, nullptr, QStringLiteral("ZK1号孔测点波速"));
    QCOMPARE(table->acceptMode(), QFileDialog::AcceptSave);
    // The program's own table first, then a workbook and CSV.
    QCOMPARE(table->nameFilters(),
             (QStringList{QStringLiteral("Qelvorn剪切波数据文件 (*.XLS)"), QStringLiteral("Excel 工作簿 (*.xlsx)"),
                          QStringLiteral("CSV 文件，UTF-8 (*.csv)")}));
    // The export appends its extension, so Qt's own question would be about the wrong file.
    QVERIFY(table->testOption(QFileDialog::DontConfirmOverwrite));
    QCOMPARE(exportTargetName(FileDialogKind::ExportWaveforms, QStringLiteral("/d/a.txt")),
             QStringLiteral("/d/a.txt.txt"));
    QCOMPARE(exportTargetName(FileDialogKind::ExportPointTable, QStringLiteral("/d/a.XLSX")),
             QStringLiteral("/d/a.XLSX"));
    QCOMPARE(exportTargetName(FileDialogKind::ExportLayerTable, QStringLiteral("/d/a.csv")),
             QStringLiteral("/d/a.csv"));

    SurveyData survey;
    common::storeFixedText(survey.header.holeNumber, "ZK/3");
    QCOMPARE(offeredFileName(FileDialogKind::ExportLayerTable, survey), QStringLiteral("ZK_3号孔分层波速"));
}

void DialogsTest::folderImportStopsBetweenPointsWhenCancelled()
{
    QTemporaryDir dir;
    samplegen::SurveyModel model = samplegen::defaultModel();
    QString error;
    QVERIFY2(samplegen::writeRecords(model, dir.path(), &error) > 0, qPrintable(error));

    SurveyDocument doc;
    HoleParameters p;
    p.holeDepth = float(model.holeDepth);
    p.pointSpacing = float(model.pointSpacing);
    doc.newSurvey(p);
    const std::size_t count = doc.survey().points.size();
    QVERIFY(count >= 4);
    common::RecordingMessenger messenger;

    // Cancel pressed while the fourth file is read: the first two points are
    // complete, the others untouched.
    FolderImportProgressDialog progress;
    int calls = 0;
    const auto cancelling = [&](int done, int total) {
        ++calls;
        if (done == 3)
            progress.cancel();
        return progress.report(done, total);
    };
    FieldRecord record;
    const FolderImportResult result
        = ImportFolder(doc.survey(), record, dir.path(), 1, messenger, FolderImportProgress(cancelling));
    QVERIFY(result.cancelled);
    QCOMPARE(result.filesTaken, 2);
    const auto nonZero = [](const std::array<std::int16_t, 1024> &trace) {
        return std::any_of(trace.begin(), trace.end(), [](std::int16_t s) { return s != 0; });
    };
    QVERIFY(nonZero(doc.survey().points[0].positive) && nonZero(doc.survey().points[0].negative));
    QVERIFY(!nonZero(doc.survey().points[1].positive) && !nonZero(doc.survey().points[1].negative));

    // Not cancelled: every file read, and the dialog closes at the end.
    messenger.clear();
    FolderImportProgressDialog all;
    int lastDone = -1;
    int lastTotal = -1;
    const FolderImportResult complete
        = ImportFolder(doc.survey(), record, dir.path(), 2, messenger, FolderImportProgress([&](int done, int total) {
                           lastDone = done;
                           lastTotal = total;
                           return all.report(done, total);
                       }));
    QVERIFY(!complete.cancelled);
    QCOMPARE(complete.filesTaken, int(2 * count));
    QCOMPARE(lastDone, lastTotal);
    QVERIFY(!all.isVisible());
    QVERIFY(nonZero(doc.survey().points[count - 1].negative));
    QCOMPARE(messenger.messages.size(), 1);
}

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
