#pragma once
// The printed report as one vector PDF file (A4 portrait): the same pages,
// drawn by the same code as the printer's, with text kept as text.

#include "talvex/report/reportcontext.h"

#include <QString>

namespace talvex::report {

// Title of the document: project name and hole number of the survey (the
// page heading when both are empty).
QString pdfTitle(const ReportContext &context);

// Writes the report to `path`. The document's title is pdfTitle(), its
// author the survey's personnel (creator in the document information, and
// the author in its XMP metadata). The file is replaced only when the whole
// document was written: on failure an existing file stays as it was, and
// `error` says why (also when the page setup selects no page).
bool WritePdfReport(const QString &path, ReportContext &context, QString *error = nullptr);

} // namespace talvex::report
