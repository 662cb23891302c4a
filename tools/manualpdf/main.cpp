// manualpdf: prints a Markdown text (UTF-8) to an A4 PDF with page numbers,
// and optionally to HTML, through QTextDocument. Each output is written
// completely or not at all.
//
// Pictures (![caption](images/x.png)) are read from the --images folder, the
// folder the HTML is written to, so that the HTML finds them beside it; a
// picture that is missing or unreadable fails the run, so a manual is never
// printed with a hole where a picture belongs. They are scaled down to the
// width of the page. A line "<!-- insert NAME -->" is replaced by the text of
// the file given as --insert NAME=FILE, as a preformatted block (the
// programs' own --help, captured at build time).

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>
#include <QUrl>
#include <QFont>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextTable>
#include <QTextDocument>
#include <QTextStream>
#include <algorithm>
#include <cstdio>
#include <map>
#include <vector>

namespace {

int fail(const QString &message)
{
    std::fprintf(stderr, "manualpdf: %s\n", qPrintable(message));
    return 1;
}

// A Song-style Chinese face for the body text where one is installed, then any
// Chinese face, so that no character is printed as a box.
QFont bodyFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("SimSun"), QStringLiteral("AR PL UMing CN"), QStringLiteral("Noto Serif CJK SC"),
                      QStringLiteral("WenQuanYi Micro Hei")});
    font.setPointSizeF(10.5);
    return font;
}

// The widest a picture is drawn, in the document's pixels: in the PDF the
// text width of the A4 page (the printed text block is about 125 mm, 470
// pixels at 96 dpi); in the HTML a window at its size up to a common screen's
// width.
constexpr int kPrintedPictureWidth = 460;
constexpr int kHtmlPictureWidth = 1000;

// Replaces the insert lines by the files' texts. Fails on an insert without
// its file or a file that cannot be read.
bool insertFiles(QString &text, const QStringList &inserts, QString *error)
{
    std::map<QString, QString> files;
    for (const QString &insert : inserts) {
        const QString name = insert.section(QLatin1Char('='), 0, 0);
        const QString path = insert.section(QLatin1Char('='), 1);
        QFile file(path);
        if (name.isEmpty() || !file.open(QIODevice::ReadOnly)) {
            *error = QStringLiteral("cannot read the insert %1").arg(insert);
            return false;
        }
        files[name] = QString::fromUtf8(file.readAll()).trimmed();
    }
    static const QRegularExpression marker(QStringLiteral("^<!-- insert ([A-Za-z0-9_.-]+) -->$"),
                                           QRegularExpression::MultilineOption);
    QString result;
    qsizetype last = 0;
    for (auto it = marker.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        const auto found = files.find(match.captured(1));
        if (found == files.end()) {
            *error = QStringLiteral("no --insert for %1").arg(match.captured(1));
            return false;
        }
        result += text.mid(last, match.capturedStart() - last);
        result += QStringLiteral("```text\n") + found->second + QStringLiteral("\n```");
        last = match.capturedEnd();
    }
    text = result + text.mid(last);
    return true;
}

// Loads every picture of the document from `folder` and sets its drawn size
// (at most `maxWidth` wide).
// Returns the number of pictures, or -1 with `error` set.
int loadPictures(QTextDocument &document, const QString &folder, int maxWidth, QString *error)
{
    // The pictures are found first and changed after, as a change of format
    // may rearrange the fragments being walked.
    struct Picture {
        int position;
        int length;
        QTextImageFormat format;
    };
    std::vector<Picture> pictures;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.charFormat().isImageFormat())
                pictures.push_back({fragment.position(), fragment.length(), fragment.charFormat().toImageFormat()});
        }
    }
    for (Picture &picture : pictures) {
        const QString name = picture.format.name();
        const QImage image(QDir(folder).filePath(name));
        if (image.isNull()) {
            *error = QStringLiteral("cannot read the picture %1 in %2").arg(name, folder);
            return -1;
        }
        document.addResource(QTextDocument::ImageResource, QUrl(name), image);
        const double width = std::min<double>(image.width(), maxWidth);
        picture.format.setWidth(width);
        picture.format.setHeight(width * image.height() / image.width());
        QTextCursor cursor(&document);
        cursor.setPosition(picture.position);
        cursor.setPosition(picture.position + picture.length, QTextCursor::KeepAnchor);
        cursor.setCharFormat(picture.format);
    }
    return int(pictures.size());
}

} // namespace

int main(int argc, char *argv[])
{
    // Printing needs fonts but no screen.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("manualpdf"));
    QGuiApplication::setApplicationVersion(QStringLiteral(MANUALPDF_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Prints a Markdown text to PDF (and HTML)."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption({QStringLiteral("images"), QStringLiteral("the folder the pictures' names are relative to"),
                      QStringLiteral("DIR")});
    parser.addOption({QStringLiteral("insert"), QStringLiteral("a file whose text replaces <!-- insert NAME -->"),
                      QStringLiteral("NAME=FILE")});
    parser.addPositionalArgument(QStringLiteral("SOURCE.md"), QStringLiteral("the text, UTF-8 Markdown"));
    parser.addPositionalArgument(QStringLiteral("OUT.pdf"), QStringLiteral("the PDF to write"));
    parser.addPositionalArgument(QStringLiteral("OUT.html"), QStringLiteral("the HTML to write (optional)"),
                                 QStringLiteral("[OUT.html]"));
    parser.process(app);
    const QStringList args = parser.positionalArguments();
    if (args.size() < 2 || args.size() > 3)
        return fail(QStringLiteral("expected SOURCE.md OUT.pdf [OUT.html]; see --help"));

    QFile source(args[0]);
    if (!source.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot read %1: %2").arg(args[0], source.errorString()));
    const QByteArray bytes = source.readAll();
    QString text = QString::fromUtf8(bytes);
    if (text.trimmed().isEmpty())
        return fail(QStringLiteral("%1 holds no text").arg(args[0]));
    QString error;
    if (!insertFiles(text, parser.values(QStringLiteral("insert")), &error))
        return fail(error);

    QTextDocument document;
    document.setDefaultFont(bodyFont());
    document.setMarkdown(text);
    // Tables get room around their cells, which Markdown cannot say.
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (QTextTable *table = QTextCursor(block).currentTable()) {
            QTextTableFormat format = table->format();
            if (format.cellPadding() < 3) {
                format.setCellPadding(3);
                format.setCellSpacing(0);
                format.setBorderCollapse(true);
                table->setFormat(format);
            }
        }
    }
    const QString pictureFolder = parser.isSet(QStringLiteral("images"))
        ? parser.value(QStringLiteral("images"))
        : (args.size() == 3 ? QFileInfo(args[2]).path() : QFileInfo(args[0]).path());
    if (loadPictures(document, pictureFolder, kPrintedPictureWidth, &error) < 0)
        return fail(error);
    // Preformatted blocks (the programs' usage texts, commands) are set a
    // little smaller and wrap at the page's edge instead of running off it.
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QTextBlockFormat format = block.blockFormat();
        if (!format.nonBreakableLines())
            continue;
        format.setNonBreakableLines(false);
        QTextCursor cursor(block);
        cursor.setBlockFormat(format);
        cursor.select(QTextCursor::BlockUnderCursor);
        QTextCharFormat smaller;
        smaller.setFontPointSize(8.5);
        cursor.mergeCharFormat(smaller);
    }
    // The first level-one heading names the document.
    const QString title = text.section(QLatin1Char('\n'), 0, 0).remove(QLatin1Char('#')).trimmed();
    document.setMetaInformation(QTextDocument::DocumentTitle, title);

    QSaveFile pdfFile(args[1]);
    if (!pdfFile.open(QIODevice::WriteOnly))
        return fail(QStringLiteral("cannot write %1: %2").arg(args[1], pdfFile.errorString()));
    {
        QPdfWriter writer(&pdfFile);
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("manualpdf"));
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(20, 18, 20, 18),
                                         QPageLayout::Millimeter));
        document.print(&writer);
    }
    if (!pdfFile.commit())
        return fail(QStringLiteral("cannot write %1: %2").arg(args[1], pdfFile.errorString()));

    if (args.size() == 3) {
        QSaveFile htmlFile(args[2]);
        if (!htmlFile.open(QIODevice::WriteOnly))
            return fail(QStringLiteral("cannot write %1: %2").arg(args[2], htmlFile.errorString()));
        if (loadPictures(document, pictureFolder, kHtmlPictureWidth, &error) < 0)
            return fail(error);
        htmlFile.write(document.toHtml().toUtf8());
        if (!htmlFile.commit())
            return fail(QStringLiteral("cannot write %1: %2").arg(args[2], htmlFile.errorString()));
    }
    return 0;
}
