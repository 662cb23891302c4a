// Speed of the document file and of the folder import on survey sizes met
// in practice: a 10,000-point survey (about 41 MB) against a plain copy of a
// file of that size, and 1,000 points imported from a folder of 2,000 records.

#include "common/fileio.h"
#include "common/messenger.h"
#include "records/fieldrecord.h"
#include "talvex/survey/folderimport.h"
#include "talvex/survey/surveyfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace talvex;

namespace {

SurveyData bigSurvey(int points)
{
    SurveyData s;
    for (int i = 0; i < points; ++i) {
        TlvOne p = TlvOne::newPoint(1.5f);
        p.depth = float(i + 1) * 0.5f;
        p.interval = 25.0f;
        for (int k = 0; k < kTraceLength; ++k) {
            p.positive[std::size_t(k)] = std::int16_t((k * 31 + i) & 0x7fff);
            p.negative[std::size_t(k)] = std::int16_t(-((k * 17 + i) & 0x7fff));
        }
        s.points.push_back(p);
    }
    return s;
}

struct Files {
    QTemporaryDir dir;
    QString survey;
    Files()
    {
        survey = dir.filePath(QStringLiteral("big.qsw"));
        SurveyData s = bigSurvey(10000);
        StoreSurvey(s, survey);
    }
};

Files &files()
{
    static Files f;
    return f;
}

void BM_CopyFile41MB(benchmark::State &state)
{
    const QString target = files().dir.filePath(QStringLiteral("copy.bin"));
    for (auto _ : state) {
        std::vector<std::uint8_t> bytes;
        common::readWholeFile(files().survey, bytes);
        common::writeFileAtomically(target, bytes);
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * QFile(files().survey).size());
}
BENCHMARK(BM_CopyFile41MB)->Unit(benchmark::kMillisecond);

void BM_StoreSurvey10k(benchmark::State &state)
{
    SurveyData s = bigSurvey(10000);
    const QString target = files().dir.filePath(QStringLiteral("store.qsw"));
    for (auto _ : state)
        StoreSurvey(s, target);
    state.SetBytesProcessed(std::int64_t(state.iterations()) * QFile(target).size());
}
BENCHMARK(BM_StoreSurvey10k)->Unit(benchmark::kMillisecond);

void BM_LoadSurvey10k(benchmark::State &state)
{
    common::RecordingMessenger m;
    SurveyData s;
    for (auto _ : state) {
        if (!LoadSurvey(s, files().survey, m))
            state.SkipWithError("load failed");
        benchmark::DoNotOptimize(s.points.data());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * QFile(files().survey).size());
}
BENCHMARK(BM_LoadSurvey10k)->Unit(benchmark::kMillisecond);

void BM_ImportFolder1000Points2000Records(benchmark::State &state)
{
    QTemporaryDir dir;
    FieldRecordData rec;
    rec.header.interval = 25;
    rec.channels.assign(3, std::vector<std::int16_t>(1024, 7));
    const auto bytes = encodeFieldRecordV2(rec);
    for (int d = 1; d <= 1000; ++d) {
        for (const char *blow : {"A", "B"})
            common::writeFileAtomically(dir.filePath(QStringLiteral("ZK1&%1%2.cwd").arg(d).arg(QLatin1String(blow))),
                                        bytes);
    }
    SurveyData s;
    for (int d = 1; d <= 1000; ++d) {
        TlvOne p = TlvOne::newPoint(1.5f);
        p.depth = float(d);
        s.points.push_back(p);
    }
    FieldRecord record;
    common::RecordingMessenger m;
    for (auto _ : state) {
        const FolderImportResult r = ImportFolder(s, record, dir.path(), 1, m);
        if (r.filesTaken != 2000)
            state.SkipWithError("files missed");
    }
}
BENCHMARK(BM_ImportFolder1000Points2000Records)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
