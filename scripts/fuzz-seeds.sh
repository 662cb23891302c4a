#!/usr/bin/env bash
# Seed inputs for the fuzzers, made with the programs of a normal build:
# a sample survey document and field records.
set -euo pipefail
build=$1
seeds=$2
rm -rf "$seeds"
mkdir -p "$seeds/qsw_fuzzer" "$seeds/cwd_fuzzer" "$seeds/seg2_fuzzer" "$seeds/sac_fuzzer" "$seeds/mseed_fuzzer"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
"$build/tools/samplegen/talvex-samplegen" --out "$tmp/rec" --depth 3 --channels 2 >/dev/null
cp "$tmp/rec/"*A.cwd "$seeds/cwd_fuzzer/"
"$build/talvex/cli/talvex-cli" new "$tmp/s.qsw" --hole-depth 2 >/dev/null
cp "$tmp/s.qsw" "$seeds/qsw_fuzzer/small.qsw"
# A survey without points: a one-point survey whose point is deleted.
"$build/talvex/cli/talvex-cli" new "$tmp/e.qsw" --hole-depth 1 >/dev/null
"$build/talvex/cli/talvex-cli" delete-point "$tmp/e.qsw" --point 1 >/dev/null
cp "$tmp/e.qsw" "$seeds/qsw_fuzzer/empty.qsw"
# A SEG-2 record of one 16-bit trace of four samples: file descriptor,
# one trace pointer, the file's strings, the trace descriptor with
# SAMPLE_INTERVAL and DELAY, the samples.
{
    printf '\x55\x3a\x01\x00\x04\x00\x01\x00\x01\x00\x00\x01\x0a\x00'
    head -c 18 /dev/zero
    printf '\x34\x00\x00\x00'
    printf '\x0b\x00JOB_ID s\x00\x00\x00\x00\x00\x00'
    printf '\x22\x44\x48\x00\x08\x00\x00\x00\x04\x00\x00\x00\x01'
    head -c 19 /dev/zero
    printf '\x1b\x00SAMPLE_INTERVAL 0.000125\x00\x0a\x00DELAY 0\x00\x00\x00\x00'
    printf '\x0a\x00\xf6\xff\x00\x01\x00\x80'
} >"$seeds/seg2_fuzzer/one-trace.sg2"
# The same with five 20-bit packed samples (format 3: a word of four 4-bit
# exponents, then the mantissas; the last group holds one sample), the
# acquisition date and time and a negative delay.
{
    printf '\x55\x3a\x01\x00\x04\x00\x01\x00\x01\x00\x00\x01\x0a\x00'
    head -c 18 /dev/zero
    printf '\x64\x00\x00\x00'
    printf '\x1f\x00ACQUISITION_DATE 07/JAN/2013\x00'
    printf '\x1c\x00ACQUISITION_TIME 10:30:41\x00\x00\x00\x00\x00\x00'
    printf '\x22\x44\x4c\x00\x0e\x00\x00\x00\x05\x00\x00\x00\x03'
    head -c 19 /dev/zero
    printf '\x1b\x00SAMPLE_INTERVAL 0.000125\x00\x0f\x00DELAY -0.005\x00\x00\x00'
    printf '\xf1\x03\x64\x00\xfe\xff\xff\x7f\x00\x80\x00\x20\xf9\xff'
} >"$seeds/seg2_fuzzer/packed-20bit.sg2"
# A three-channel miniSEED recording of the simulated card's site model
# (ten minutes at the longest interval: a few Steim-2 records per channel).
SEDRA_CARD=sim SEDRA_SIM=hv:seed=1,fast "$build/sedra/cli/sedra-cli" acquire --minutes 10 --interval 65535 \
    --site seed --point 1 --mseed "$seeds/mseed_fuzzer/site-model.mseed" >/dev/null 2>&1
# A little-endian binary SAC file of four samples: 70 header floats (DELTA
# 0.01, B 0, the rest unset), 40 integers (reference time, NVHDR 6, NPTS 4,
# IFTYPE and LEVEN 1), 24 texts (KCMPNM "HHZ"), then 1, -2, 3, -4.
{
    for i in $(seq 0 69); do
        case $i in
        0) printf '\x0a\xd7\x23\x3c' ;;
        5) printf '\x00\x00\x00\x00' ;;
        *) printf '\x00\xe4\x40\xc6' ;;
        esac
    done
    for i in $(seq 0 39); do
        case $i in
        0) printf '\xe8\x07\x00\x00' ;;
        1) printf '\x20\x00\x00\x00' ;;
        2 | 3 | 4 | 5) printf '\x00\x00\x00\x00' ;;
        6) printf '\x06\x00\x00\x00' ;;
        9) printf '\x04\x00\x00\x00' ;;
        15 | 35) printf '\x01\x00\x00\x00' ;;
        *) printf '\xc7\xcf\xff\xff' ;;
        esac
    done
    for i in $(seq 0 23); do
        if [ "$i" = 20 ]; then printf 'HHZ     '; else printf -- '-12345  '; fi
    done
    printf '\x00\x00\x80\x3f\x00\x00\x00\xc0\x00\x00\x40\x40\x00\x00\x80\xc0'
} >"$seeds/sac_fuzzer/four-samples.sac"
