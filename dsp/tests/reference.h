// Straightforward step-by-step versions of the library routines, written
// independently of the library code and kept deliberately plain (whole
// buffers, no helpers shared with the library). The tests compare the
// library bit for bit against them, so a change of operation order, of
// precision or of buffer layout in the library shows up as a difference.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

namespace dsp::reference {

inline std::int16_t toSample(float v)
{
    long long t = static_cast<long long>(v); // toward zero
    if (t > 32767) {
        t = 32767;
    }
    if (t < -32768) {
        t = -32768;
    }
    return static_cast<std::int16_t>(t);
}

inline std::vector<std::int16_t> lowPass(const std::vector<std::int16_t> &in, float dt, float fc)
{
    const int count = static_cast<int>(in.size());
    const int L = count + 96;
    std::vector<int> x(count + 100, 0);
    std::vector<float> y(count + 100, 0.0f);
    for (int i = 0; i < count; i++) {
        x[64 + i] = in[i];
    }
    float T = dt / 1000000.0f;
    float c = (float)(6.283185306 * (double)fc);
    float d = 2.0f / T;
    float cube = c * c * c;
    float a0 = cube + 2.25f * c * c * d + 1.95f * c * d * d + d * d * d;
    float a1 = 3.0f * c * c * c + 2.25f * c * c * d - 1.95f * c * d * d - 3.0f * d * d * d;
    float a2 = 3.0f * c * c * c - 2.25f * c * c * d - 1.95f * c * d * d + 3.0f * d * d * d;
    float a3 = cube - 2.25f * c * c * d + 1.95f * c * d * d - d * d * d;
    float b0 = cube;
    float b1 = 3.0f * c * c * c;
    for (int n = 3; n <= L - 1; n++) {
        float acc = b0 * (float)(x[n] + x[n - 3]);
        acc = acc + b1 * (float)(x[n - 1] + x[n - 2]);
        acc = acc - a1 * y[n - 1];
        acc = acc - a2 * y[n - 2];
        acc = acc - a3 * y[n - 3];
        y[n] = acc / a0;
    }
    for (int n = 0; n <= L - 1; n++) {
        x[n] = (int)y[n];
        y[n] = 0.0f;
    }
    for (int n = L - 4; n >= 0; n--) {
        float acc = b0 * (float)(x[n] + x[n + 3]);
        acc = acc + b1 * (float)(x[n + 1] + x[n + 2]);
        acc = acc - a1 * y[n + 1];
        acc = acc - a2 * y[n + 2];
        acc = acc - a3 * y[n + 3];
        y[n] = acc / a0;
    }
    std::vector<std::int16_t> out(count);
    for (int i = 0; i < count; i++) {
        out[i] = toSample(y[64 + i]);
    }
    return out;
}

inline std::vector<std::int16_t> highPass(const std::vector<std::int16_t> &in, float dt, float fc)
{
    const int count = static_cast<int>(in.size());
    const int L = count + 96;
    std::vector<int> x(count + 100, 0);
    std::vector<float> y(count + 100, 0.0f);
    for (int i = 0; i < count; i++) {
        x[64 + i] = in[i];
    }
    float K = (float)std::tan(6.283185306 * (double)fc * 0.5 * (double)dt / 1000000.0);
    float r2 = (float)std::sqrt(2.0);
    float A0 = K * K + r2 * K + 1.0f;
    float A1 = 2.0f * (K * K - 1.0f);
    float A2 = K * K - r2 * K + 1.0f;
    for (int n = 2; n <= L - 1; n++) {
        float acc = (float)(x[n] - 2 * x[n - 1] + x[n - 2]);
        acc = acc - A1 * y[n - 1];
        acc = acc - A2 * y[n - 2];
        y[n] = acc / A0;
    }
    std::vector<std::int16_t> out(count);
    for (int i = 0; i < count; i++) {
        out[i] = toSample(y[64 + i]);
    }
    return out;
}

inline std::vector<std::int16_t> bandStop(const std::vector<std::int16_t> &in, float dt, float f1, float f2)
{
    const int count = static_cast<int>(in.size());
    const int L = count + 96;
    std::vector<int> x(count + 100, 0);
    std::vector<float> y(count + 100, 0.0f);
    for (int i = 0; i < count; i++) {
        x[64 + i] = in[i];
    }
    float T = dt / 1000000.0f;
    float w1 = (float)(6.283185306 * (double)f1);
    float w2 = (float)(6.283185306 * (double)f2);
    float h = (w2 - w1) * 0.5f * T;
    float m = (w2 + w1) * 0.5f * T;
    float K = (float)std::tan((double)h);
    float q = (float)(-2.0 * std::cos((double)m) / std::cos((double)h));
    float D = 1.0f + K;
    float E = 1.0f - K;
    for (int pass = 1; pass <= 2; pass++) {
        if (pass == 2) {
            for (int n = 0; n <= L - 1; n++) {
                x[n] = (int)y[n];
                y[n] = 0.0f;
            }
        }
        for (int n = 2; n <= L - 1; n++) {
            float acc = (float)x[n] + q * (float)x[n - 1];
            acc = acc + (float)x[n - 2];
            acc = acc - q * y[n - 1];
            acc = acc - E * y[n - 2];
            y[n] = acc / D;
        }
    }
    std::vector<std::int16_t> out(count);
    for (int i = 0; i < count; i++) {
        out[i] = toSample(y[64 + i]);
    }
    return out;
}

// Smoothing recomputing each window sum from the array as it stands.
inline void smooth(std::vector<std::int16_t> &s, int w)
{
    const int count = static_cast<int>(s.size());
    if (w <= 0) {
        return;
    }
    int half = w / 2;
    int first = (w % 2 == 0) ? half - 1 : half;
    if (first >= count - half) {
        return;
    }
    for (int k = 0; k <= count - half - first - 1; k++) {
        int sum = 0;
        for (int j = k; j <= k + first + half; j++) {
            sum += s[j];
        }
        s[first + k] = (std::int16_t)(sum / w);
    }
}

inline void fft(std::vector<float> &re, std::vector<float> &im)
{
    const int n = static_cast<int>(re.size());
    int j = 0;
    for (int i = 0; i <= n - 2; i++) {
        if (i < j) {
            float t = re[i];
            re[i] = re[j];
            re[j] = t;
            t = im[i];
            im[i] = im[j];
            im[j] = t;
        }
        int k = n / 2;
        while (k <= j) {
            j = j - k;
            k = k / 2;
        }
        j = j + k;
    }
    std::vector<float> wr(n), wi(n);
    for (int k = 0; k < n; k++) {
        wr[k] = (float)std::cos(6.283185306 * k / n);
        wi[k] = (float)(-std::sin(6.283185306 * k / n));
    }
    for (int m = 1; m < n; m = m * 2) {
        for (int jj = 0; jj < m; jj++) {
            int w = jj * (n / (2 * m));
            for (int i = jj; i < n; i += 2 * m) {
                int p = i + m;
                float tr, ti;
                if (jj == 0) {
                    tr = re[p];
                    ti = im[p];
                } else {
                    tr = wr[w] * re[p] - wi[w] * im[p];
                    ti = wr[w] * im[p] + wi[w] * re[p];
                }
                re[p] = re[i] - tr;
                im[p] = im[i] - ti;
                re[i] = re[i] + tr;
                im[i] = im[i] + ti;
            }
        }
    }
}

struct Spectrum {
    float peakFrequency;
    float frequencyStep;
    std::vector<std::int16_t> display; // the first min(N, count) values written back
};

// Reads only the count samples given and returns what the library writes
// back over them.
inline Spectrum spectrum(const std::vector<std::int16_t> &s, float dt, int step)
{
    const int count = static_cast<int>(s.size());
    int e = (int)(std::log2((double)count) + 0.1);
    if (e < 8) {
        e = 8;
    }
    if (e > 12) {
        e = 12;
    }
    int N = 1;
    for (int i = 0; i < e; i++) {
        N *= 2;
    }
    int K = count / step;
    std::vector<float> re(N, 0.0f), im(N, 0.0f);
    float scale;
    if (K < 1024) {
        scale = 2.0f / (float)K;
    } else {
        scale = 2.0f / (float)N;
    }
    for (int i = 0; i < K && i < N; i++) {
        re[i] = (float)s[i * step];
    }
    fft(re, im);
    std::vector<float> A(N / 2 + 1);
    A[0] = scale * std::sqrt(re[0] * re[0] + im[0] * im[0]);
    for (int k = 1; k <= N / 2 - 1; k++) {
        A[k] = scale * std::sqrt(re[k] * re[k] + im[k] * im[k] + re[N - k] * re[N - k] + im[N - k] * im[N - k]);
    }
    int best = 0;
    for (int k = 1; k <= N / 2 - 1; k++) {
        if (A[k] > A[best]) {
            best = k;
        }
    }
    float df = 1000000.0f / (float)N / dt / (float)step;
    Spectrum r;
    r.peakFrequency = df * (float)best;
    r.frequencyStep = df;
    float mx = A[best];
    if (mx == 0.0f) {
        mx = 1.0f;
    }
    float u = mx / 65535.0f;
    std::vector<std::int16_t> full(N);
    for (int i = 0; i <= N / 2 - 1; i++) {
        int t = (int)(A[i] / u - 32767.0f);
        full[i] = (std::int16_t)(t / 2);
    }
    for (int i = N / 2; i < N; i++) {
        full[i] = full[N / 2 - 1];
    }
    r.display.assign(full.begin(), full.begin() + (count < N ? count : N));
    return r;
}

} // namespace dsp::reference
