#include "sedra/core/predominantperiod.h"

#include "dsp/filters.h"
#include "dsp/frequencydomain.h"
#include "sedra/card/acquisitioncard.h"

#include <algorithm>
#include <cmath>

namespace sedra {

namespace {

bool isViewLength(int n)
{
    return n == 1024 || n == 2048 || n == 4096;
}

void spectrumOf(SpectrumState &state, int k, float interval, int n)
{
    std::int16_t *buffer = state.spectrum[std::size_t(k)].data();
    dsp::RemoveDC(buffer, 0, n);
    dsp::SpectrumPeak peak;
    dsp::AmplitudeSpectrum(peak, buffer, interval, n, 1);
    state.peakFrequency[std::size_t(k)] = peak.peakFrequency;
    state.frequencyStep[std::size_t(k)] = peak.frequencyStep;
}

} // namespace

void ConditionAcquisition(RecordChannels &record, SpectrumState &state)
{
    const int n = std::clamp(record.sampleCount, 0, kRecordSamples);
    const int channels = std::clamp(record.channelCount, 0, kRecordChannels);
    const float interval = float(record.sampleInterval);
    for (int ch = 0; ch < channels; ++ch) {
        std::int16_t *working = record.working[std::size_t(ch)].data();
        ConvertRawCodes(working, n);
        if (ch < kSpectrumChannels)
            std::copy_n(working, n, state.spectrum[std::size_t(ch)].data());
        dsp::LowPassFilter(working, interval, n, 1000.0f);
        dsp::SmoothWave(working, n, 5);
        if (ch < kSpectrumChannels && n > 0 && interval > 0.0f)
            spectrumOf(state, ch, interval, n);
    }
    state.viewSampleCount = n > 0 ? n : state.viewSampleCount;
    state.labelInterval = record.sampleInterval;
    record.unfiltered = record.working;
}

void ComputeSpectra(const RecordChannels &record, SpectrumState &state)
{
    const bool valid = isViewLength(record.sampleCount);
    const int n = valid ? record.sampleCount : 1024;
    const float interval = float(record.sampleInterval);
    for (int k = 0; k < kSpectrumChannels; ++k) {
        std::copy_n(record.working[std::size_t(k)].data(), n, state.spectrum[std::size_t(k)].data());
        if (interval > 0.0f) {
            spectrumOf(state, k, interval, n);
        } else {
            // Without an interval there is no frequency axis.
            state.spectrum[std::size_t(k)].fill(0);
            state.peakFrequency[std::size_t(k)] = 0.0f;
            state.frequencyStep[std::size_t(k)] = 0.0f;
        }
    }
    if (valid) {
        state.viewSampleCount = n;
        state.labelInterval = record.sampleInterval;
    } else {
        state.labelInterval = 0;
    }
}

void ComputeSpectraAfterFilter(RecordChannels &record, SpectrumState &state)
{
    ComputeSpectra(record, state);
    const int n = std::clamp(record.sampleCount, 0, kRecordSamples);
    for (int k = 0; k < kSpectrumChannels; ++k)
        dsp::SmoothWave(record.working[std::size_t(k)].data(), n, 3);
}

QString periodText(float fm)
{
    if (fm == 0.0f || !std::isfinite(fm))
        return QStringLiteral("--");
    return QString::asprintf("%.2f", double(1.0f / fm));
}

CursorReadout cursorReadout(const RecordChannels &record, const SpectrumState &state, int channel, double t,
                            int spectrumPoint, int interval, int delay)
{
    CursorReadout r;
    const std::size_t k = std::size_t(std::clamp(channel, 0, kSpectrumChannels - 1));
    const int u = std::clamp(int(t), 0, kRecordSamples - 1);
    r.seconds = (t * interval / 1000.0 + delay) / 1000.0;
    r.millivolts = float(record.working[k][std::size_t(u)]) * 5000.0f / 8192.0f;
    if (spectrumPoint >= 0) {
        r.fm = float(spectrumPoint) * state.frequencyStep[k];
        r.fmText = QString::asprintf("Fm: %0.2fHz", double(r.fm));
    } else {
        r.fm = state.peakFrequency[k];
        r.fmText = QString::asprintf("Fm: %.2fHz", double(r.fm));
    }
    r.timeText = QString::asprintf("时间: %.4f s", r.seconds);
    r.amplitudeText = QString::asprintf("振幅电压: %0.0f mv", double(r.millivolts));
    r.periodText = QStringLiteral("卓越周期: %1s ").arg(periodText(r.fm));
    return r;
}

} // namespace sedra
