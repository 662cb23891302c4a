// talvex-samplegen: writes synthetic downhole field records from a layered
// velocity model, for demonstrations and tests.

#include "tools/samplegen/syntheticsurvey.h"

#include <QCoreApplication>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

void usage(FILE *out)
{
    std::fprintf(out,
                 "usage: talvex-samplegen --out FOLDER [--hole NAME] [--site NAME] [--depth M] [--spacing M]\n"
                 "                        [--source-distance M] [--interval US] [--channels 1..4] [--seed N]\n"
                 "                        [--model TOP:BOTTOM:VS:VP,...] [--arrivals]\n"
                 "Writes <hole>&<depth>A.cwd and B.cwd for every receiver depth.\n"
                 "--arrivals also prints, per receiver, its number and the sample of the S-wave arrival.\n");
}

bool number(const char *text, double &out)
{
    const char *end = text + std::strlen(text);
    const auto r = std::from_chars(text, end, out);
    return r.ec == std::errc() && r.ptr == end;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    samplegen::SurveyModel model = samplegen::defaultModel();
    QString out;
    bool listArrivals = false;
    for (int i = 1; i < argc; ++i) {
        const std::string opt = argv[i];
        if (opt == "--arrivals") {
            listArrivals = true;
            continue;
        }
        if (opt == "--help") {
            usage(stdout);
            return 0;
        }
        if (opt == "--version") {
            std::printf("talvex-samplegen 1.0\n");
            return 0;
        }
        if (i + 1 >= argc) {
            usage(stderr);
            return 2;
        }
        const char *value = argv[++i];
        double v = 0;
        const bool isNumber = number(value, v);
        if (opt == "--out") {
            out = QString::fromLocal8Bit(value);
        } else if (opt == "--hole") {
            model.holeName = value;
        } else if (opt == "--site") {
            model.siteName = value;
        } else if (opt == "--model") {
            model.layers.clear();
            std::string layersText = value;
            std::size_t pos = 0;
            while (pos <= layersText.size()) {
                const std::size_t end = std::min(layersText.find(',', pos), layersText.size());
                double f[4] = {};
                std::size_t at = pos;
                for (int k = 0; k < 4; ++k) {
                    const std::size_t stop = k < 3 ? layersText.find(':', at) : end;
                    if (stop == std::string::npos || stop > end || !number(layersText.substr(at, stop - at).c_str(), f[k])) {
                        std::fprintf(stderr, "talvex-samplegen: --model wants TOP:BOTTOM:VS:VP,...\n");
                        return 2;
                    }
                    at = stop + 1;
                }
                if (f[2] <= 0 || f[3] <= 0 || f[1] <= f[0]) {
                    std::fprintf(stderr, "talvex-samplegen: a model layer needs bottom > top and positive velocities\n");
                    return 2;
                }
                model.layers.push_back({float(f[0]), float(f[1]), float(f[2]), float(f[3])});
                pos = end + 1;
            }
        } else if (isNumber && opt == "--depth" && v > 0) {
            model.holeDepth = float(v);
        } else if (isNumber && opt == "--spacing" && v > 0) {
            model.pointSpacing = float(v);
        } else if (isNumber && opt == "--source-distance" && v >= 0) {
            model.sourceDistance = float(v);
        } else if (isNumber && opt == "--interval" && v >= 1 && v <= 65535) {
            model.interval = std::uint16_t(v);
        } else if (isNumber && opt == "--channels" && v >= 1 && v <= 4) {
            model.channels = int(v);
        } else if (isNumber && opt == "--seed" && v >= 0) {
            model.seed = std::uint32_t(v);
        } else {
            std::fprintf(stderr, "talvex-samplegen: bad option or value: %s %s\n", opt.c_str(), value);
            return 2;
        }
    }
    if (out.isEmpty()) {
        usage(stderr);
        return 2;
    }
    QString error;
    const int n = samplegen::writeRecords(model, out, &error);
    if (n < 0) {
        std::fprintf(stderr, "talvex-samplegen: %s\n", error.toUtf8().constData());
        return 1;
    }
    std::printf("%d records written to %s\n", n, out.toUtf8().constData());
    if (listArrivals) {
        int point = 0;
        for (const double depth : samplegen::receiverDepths(model))
            std::printf("%d %d\n", ++point, samplegen::arrivalSample(model, depth));
    }
    return 0;
}
