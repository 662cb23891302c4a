// manualpdf: prints a Markdown text (UTF-8) to an A4 PDF with page numbers,
// and optionally to HTML, through QTextDocument. Each output is written
// completely or not at all.

#include <QCommandLineParser>
#include <QFile>
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
#include <cstdio>

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
    const QString text = QString::fromUtf8(bytes);
    if (text.trimmed().isEmpty())
        return fail(QStringLiteral("%1 holds no text").arg(args[0]));

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
        htmlFile.write(document.toHtml().toUtf8());
        if (!htmlFile.commit())
            return fail(QStringLiteral("cannot write %1: %2").arg(args[2], htmlFile.errorString()));
    }
    return 0;
}
