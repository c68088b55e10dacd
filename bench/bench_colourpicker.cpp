// The colour picker's pictures: one 256 x 256 plane fill (goal: under 1 ms, so that dragging on
// the strip keeps up with the pointer), one 32 x 256 slider fill, and a full redraw of the
// picker on a mode change (both fills and the painting of both pictures with their markers).
#include "UBMPUtil.h"
#include "UfrmColorPicker.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QRadioButton>

#include <benchmark/benchmark.h>

namespace {

void BM_FillPlaneForHue(benchmark::State& state) {
    TBitmap24 plane(256, 256);
    BeginPlaneBuffer(plane);
    double hue = 0;
    for (auto _ : state) {
        FillPlaneForHue(plane, hue);
        benchmark::DoNotOptimize(plane.Bits.data());
        hue = hue >= 1 ? 0 : hue + 1.0 / 255;
    }
    EndPlaneBuffer();
    state.SetItemsProcessed(state.iterations() * 65536);
}
BENCHMARK(BM_FillPlaneForHue)->Unit(benchmark::kMicrosecond);

void BM_FillPlaneForRed(benchmark::State& state) {
    TBitmap24 plane(256, 256);
    BeginPlaneBuffer(plane);
    uint8_t red = 0;
    for (auto _ : state) {
        FillPlaneForRed(plane, red++);
        benchmark::DoNotOptimize(plane.Bits.data());
    }
    EndPlaneBuffer();
    state.SetItemsProcessed(state.iterations() * 65536);
}
BENCHMARK(BM_FillPlaneForRed)->Unit(benchmark::kMicrosecond);

void BM_FillHueSlider(benchmark::State& state) {
    TBitmap24 strip(32, 256);
    double saturation = 0;
    for (auto _ : state) {
        FillHueSlider(strip, saturation, 1);
        benchmark::DoNotOptimize(strip.Bits.data());
        saturation = saturation >= 1 ? 0 : saturation + 1.0 / 255;
    }
}
BENCHMARK(BM_FillHueSlider)->Unit(benchmark::kMicrosecond);

void BM_PickerFullRedraw(benchmark::State& state) {
    TfrmColorPicker form;
    form.SetCurrentColor(0x3366CC);
    QImage pad(256, 256, QImage::Format_RGB32);
    QImage strip(32, 256, QImage::Format_RGB32);
    size_t mode = 0;
    for (auto _ : state) {
        mode = (mode + 1) % 6;
        form.rbModes[mode]->click(); // refills both pictures
        QPainter padPainter(&pad);
        form.DrawPad(padPainter);
        QPainter stripPainter(&strip);
        form.DrawStrip(stripPainter);
    }
}
BENCHMARK(BM_PickerFullRedraw)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
