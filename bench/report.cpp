#include "report.h"

#include <algorithm>
#include <cmath>

namespace {

struct Summary {
    std::size_t n = 0;
    double median = NAN, p90 = NAN, p99 = NAN, max = NAN;
    double lateShare = NAN; // of samples more than 1 ms late
};

// Nearest rank: every reported value is a real sample.
double percentile(const std::vector<double>& sorted, double p)
{
    if (sorted.empty())
        return NAN;
    return sorted[static_cast<std::size_t>(std::ceil(p * static_cast<double>(sorted.size()))) - 1];
}

Summary summarize(const Figure& figure)
{
    std::vector<double> s = figure.samples;
    std::erase_if(s, [](double v) { return std::isnan(v); });
    std::sort(s.begin(), s.end());
    Summary r { s.size(), percentile(s, 0.5), percentile(s, 0.9), percentile(s, 0.99), percentile(s, 1) };
    if (figure.delays && !s.empty())
        r.lateShare = static_cast<double>(std::count_if(s.begin(), s.end(), [](double us) { return us > 1000; }))
            / static_cast<double>(s.size());
    return r;
}

// Empty when the figure has no goal; otherwise "yes" or "NO".
std::string verdict(const Figure& figure, const Summary& s)
{
    if (figure.goals.empty())
        return {};
    const bool met = std::all_of(figure.goals.begin(), figure.goals.end(), [&](const Goal& g) {
        const double v = g.stat == Goal::Median ? s.median : s.p90;
        return g.atMost ? v <= g.limit : v >= g.limit;
    });
    return met ? "yes" : "NO";
}

std::string number(double v)
{
    if (std::isnan(v))
        return "-";
    char text[32];
    std::snprintf(text, sizeof text, std::fabs(v) < 100 ? "%.2f" : std::fabs(v) < 10000 ? "%.1f" : "%.0f", v);
    return text;
}

std::string goalText(const Figure& figure)
{
    std::string text;
    for (const Goal& g : figure.goals) {
        char limit[32];
        std::snprintf(limit, sizeof limit, "%.4g", g.limit);
        text += (text.empty() ? "" : ", ") + std::string(g.stat == Goal::Median ? "median" : "p90")
            + (g.atMost ? " <= " : " >= ") + limit;
    }
    return text;
}

} // namespace

void Report::print(std::FILE* out) const
{
    const auto row = [out](const std::string& name, const char* unit, const std::string& n, const std::string& median,
                         const std::string& p90, const std::string& p99, const std::string& max,
                         const std::string& late, const std::string& goal, const std::string& met) {
        char line[512];
        std::snprintf(line, sizeof line, "%-46s %-7s %5s %9s %9s %9s %9s %7s  %-28s %s", name.c_str(), unit, n.c_str(),
            median.c_str(), p90.c_str(), p99.c_str(), max.c_str(), late.c_str(), goal.c_str(), met.c_str());
        std::string text = line;
        text.erase(text.find_last_not_of(' ') + 1);
        std::fprintf(out, "%s\n", text.c_str());
    };
    row("figure", "unit", "n", "median", "p90", "p99", "max", ">1ms", "goal", "met");
    for (const Figure& f : figures) {
        const Summary s = summarize(f);
        const bool single = s.n == 1;
        row(f.reference ? "   vs " + f.name : f.name, f.unit.c_str(), std::to_string(s.n), number(s.median),
            single ? "" : number(s.p90), single ? "" : number(s.p99), single ? "" : number(s.max),
            std::isnan(s.lateShare) ? "-" : number(100 * s.lateShare) + "%", goalText(f), verdict(f, s));
    }
    for (const std::string& text : notes)
        std::fprintf(out, "%s\n", text.c_str());
}
