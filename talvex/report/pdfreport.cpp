#include "talvex/report/pdfreport.h"

#include "common/fileio.h"
#include "common/fixedtext.h"
#include "common/gbk.h"
#include "talvex/report/reportpages.h"
#include "talvex/report/reportpainter.h"
#include "talvex/survey/surveydata.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>

namespace talvex::report {

namespace {

template <std::size_t N>
QString fieldText(const std::array<char, N> &field)
{
    return common::decodeGbk(common::readFixedText(field)).trimmed();
}

QString xmlEscaped(const QString &text)
{
    return text.toHtmlEscaped();
}

// XMP metadata with the title and the author; the document information
// dictionary holds only title, creator and producer.
QByteArray xmpMetadata(const QString &title, const QString &author)
{
    // The packet begins with a byte order mark, as XMP asks.
    QString xmp = QStringLiteral("<?xpacket begin='") + QChar(0xFEFF)
        + QStringLiteral("' id='W5M0MpCehiHzreSzNTczkc9d'?>\n"
                         "<x:xmpmeta xmlns:x='adobe:ns:meta/'>\n"
                         "<rdf:RDF xmlns:rdf='http://www.w3.org/1999/02/22-rdf-syntax-ns#'>\n"
                         "<rdf:Description rdf:about='' xmlns:dc='http://purl.org/dc/elements/1.1/' "
                         "xmlns:xmp='http://ns.adobe.com/xap/1.0/'>\n");
    xmp += QStringLiteral("<dc:title><rdf:Alt><rdf:li xml:lang='x-default'>%1</rdf:li></rdf:Alt></dc:title>\n")
               .arg(xmlEscaped(title));
    if (!author.isEmpty())
        xmp += QStringLiteral("<dc:creator><rdf:Seq><rdf:li>%1</rdf:li></rdf:Seq></dc:creator>\n")
                   .arg(xmlEscaped(author));
    xmp += QStringLiteral("<xmp:CreatorTool>剪切波分析系统</xmp:CreatorTool>\n"
                          "</rdf:Description>\n</rdf:RDF>\n</x:xmpmeta>\n<?xpacket end='w'?>");
    return xmp.toUtf8();
}

} // namespace

QString pdfTitle(const ReportContext &context)
{
    const QString project = fieldText(context.survey.header.projectName);
    const QString hole = fieldText(context.survey.header.holeNumber);
    const QString title = (project + QLatin1Char(' ') + hole).trimmed();
    return title.isEmpty() ? context.settings.headerText : title;
}

bool WritePdfReport(const QString &path, ReportContext &context, QString *error)
{
    if (reportPages(context.settings, int(context.survey.points.size())).empty()) {
        if (error)
            *error = QStringLiteral("没有可输出的页：页面设置中没有选择波速直方图、时距深度表或原始波形图");
        return false;
    }
    // The document is made in memory and put in place in one step.
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                                         QPageLayout::Millimeter));
        const QString title = pdfTitle(context);
        const QString author = fieldText(context.survey.header.personnel);
        writer.setTitle(title);
        writer.setCreator(author.isEmpty() ? QStringLiteral("剪切波分析系统") : author);
        writer.setDocumentXmpMetadata(xmpMetadata(title, author));
        QString reason;
        if (!paintReport(writer, context, 1, 0, &reason)) {
            if (error)
                *error = reason;
            return false;
        }
    }
    const common::FileError e = common::writeFileAtomically(path, bytes);
    if (!e.ok) {
        if (error)
            *error = QStringLiteral("不能写出 %1：%2").arg(path, e.message);
        return false;
    }
    return true;
}

} // namespace talvex::report
