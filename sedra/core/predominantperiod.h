// Predominant-period analysis of a microtremor record: conditioning after an
// acquisition, amplitude spectra of channels 1 to 3, and the readouts of the
// cursors (time, amplitude, predominant frequency Fm and period 1/Fm).
#pragma once

#include "sedra/card/recordchannels.h"

#include <QString>
#include <array>
#include <cstdint>

namespace sedra {

inline constexpr int kSpectrumChannels = 3;

struct SpectrumState {
    // Display-scaled spectra of channels 1 to 3 (AmplitudeSpectrum output).
    std::array<RecordChannel, kSpectrumChannels> spectrum{};
    std::array<float, kSpectrumChannels> peakFrequency{}; // Hz
    std::array<float, kSpectrumChannels> frequencyStep{}; // Hz
    // Points across the drawing width; 1024 until a record with 1024, 2048
    // or 4096 samples is shown.
    int viewSampleCount = 1024;
    // Interval the waveform axis labels use, us (0 while the view shows no
    // record of a valid length).
    int labelInterval = 0;
};

// After an acquisition, on the raw codes in the working channels of
// `record` (C = channelCount, N = sampleCount, interval = sampleInterval):
// for each channel the codes are converted to signed samples, a copy goes to
// the spectrum buffer (channels 1 to 3), the channel is low-passed at
// 1000 Hz and smoothed (window 5); each spectrum is computed from its copy
// with the mean removed. Then the unfiltered channels are set equal to the
// working ones.
void ConditionAcquisition(RecordChannels &record, SpectrumState &state);

// Spectra of channels 1 to 3 from the working data of a loaded record. A
// sample count other than 1024, 2048 or 4096 is analysed over 1024 samples
// and leaves the view's sample count as it was.
void ComputeSpectra(const RecordChannels &record, SpectrumState &state);

// After a filter: the spectra, then channels 1 to 3 smoothed (window 3).
void ComputeSpectraAfterFilter(RecordChannels &record, SpectrumState &state);

// Predominant period 1 / Fm in seconds, "%.2f"; "--" when Fm is 0 (an
// all-zero trace has no predominant frequency).
QString periodText(float fm);

// Readouts of a cursor at point `t` (fractional) of channel k's waveform.
struct CursorReadout {
    double seconds = 0.0; // (t * interval / 1000 + delay) / 1000
    float millivolts = 0.0f; // working sample trunc(t) * 5000 / 8192
    float fm = 0.0f; // Hz
    QString timeText; // "时间: %.4f s"
    QString amplitudeText; // "振幅电压: %0.0f mv"
    QString fmText; // "Fm: %0.2fHz"
    QString periodText; // "卓越周期: %.2fs "
};

// `t` the cursor's point of the waveform band, `spectrumPoint` the point of
// the spectrum band's cursor or -1 when that cursor is not active (Fm is then
// the channel's peak frequency).
CursorReadout cursorReadout(const RecordChannels &record, const SpectrumState &state, int channel, double t,
                            int spectrumPoint, int interval, int delay);

} // namespace sedra
