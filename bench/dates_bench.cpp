// Date conversions cost the same whatever the year: converting days near
// 1801 and near 9999 should take the same time per call.
#include <benchmark/benchmark.h>

#include "runtime/calendar/dates.h"
#include "runtime/locale/locale.h"

namespace {

void dateRoundTrip(benchmark::State& state) {
    const int32_t first = int32_t(state.range(0));
    int32_t date = first;
    varnok::CalendarDate calendar;
    for (auto _ : state) {
        varnok::dateToCalendar(date, calendar);
        benchmark::DoNotOptimize(varnok::calendarToDate(calendar.year, calendar.month, calendar.day));
        if (++date > first + 3650) date = first;
    }
}
// Early (1801), middle (about 5000) and late (about 9990) day numbers.
BENCHMARK(dateRoundTrip)->Arg(4)->Arg(1168000)->Arg(2990000);

void dateRolling(benchmark::State& state) {
    int32_t months = int32_t(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(varnok::DATE(months, 15, 1801));
}
// Months rolled over one year and over nearly eight thousand years.
BENCHMARK(dateRolling)->Arg(13)->Arg(95000);

void upperCaseText(benchmark::State& state) {
    varnok::resetLocaleToDefaults();
    std::string text(256, 'a');
    for (auto _ : state) benchmark::DoNotOptimize(varnok::upperCase(text));
}
BENCHMARK(upperCaseText);

}  // namespace
