#pragma once

// What the parts of odomira-bench share: timing, figures over repeats and printing.

#include <QElapsedTimer>
#include <QLocale>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace odomira::bench {

// Min, median and max of the repeats of one measurement.
struct Spread {
    double min = 0;
    double median = 0;
    double max = 0;
};

inline Spread spread(std::vector<double> values)
{
    Spread s;
    if (values.empty())
        return s;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    s.min = values.front();
    s.max = values.back();
    s.median = values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
    return s;
}

inline double timeMs(const std::function<void()>& work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e6;
}

inline QString decimals(double value, int places)
{
    static const QLocale German(QLocale::German, QLocale::Germany);
    return German.toString(value, 'f', places);
}

inline void print(const QString& text)
{
    std::fputs(text.toUtf8().constData(), stdout);
    std::fflush(stdout);
}

// "min/median/max" with the unit once.
inline QString spreadText(const Spread& s, int places, const QString& unit)
{
    return decimals(s.min, places) + u'/' + decimals(s.median, places) + u'/' + decimals(s.max, places) + u' '
        + unit;
}

// The pass lines: every goal the bench checks, met or missed, counted for the summary.
class Goals {
public:
    // Prints one figure: what it compares, both sides over the repeats, the ratio of the
    // medians and whether it stays within `limit`.
    bool ratioLine(const QString& label, const Spread& odomira, const Spread& baseline, int places,
        const QString& unit, double limit)
    {
        const double ratio = baseline.median > 0 ? odomira.median / baseline.median : 0;
        const bool met = ratio <= limit;
        record(met);
        print(QStringLiteral("%1  %2  gegen  %3  Faktor %4  Ziel <= %5: %6\n")
                  .arg(label, spreadText(odomira, places, unit), spreadText(baseline, places, unit),
                      decimals(ratio, 2), decimals(limit, 1), verdict(met)));
        return met;
    }
    // A figure with a fixed bound instead of a baseline.
    bool boundLine(const QString& label, double value, const QString& unit, double limit)
    {
        const bool met = value <= limit;
        record(met);
        print(QStringLiteral("%1  %2 %3  Ziel <= %4: %5\n")
                  .arg(label, decimals(value, 1), unit, decimals(limit, 0), verdict(met)));
        return met;
    }
    int met() const { return m_met; }
    int missed() const { return m_missed; }

private:
    static QString verdict(bool met) { return met ? QStringLiteral("erreicht") : QStringLiteral("VERFEHLT"); }
    void record(bool met) { met ? ++m_met : ++m_missed; }
    int m_met = 0;
    int m_missed = 0;
};

} // namespace odomira::bench
