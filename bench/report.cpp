#include "report.h"

// The figures go out as lines that bench/report.py turns into the table,
// with the statistics every bench shares.
void Report::print(std::FILE* out) const
{
    for (const Figure& f : figures) {
        std::string goal;
        for (const Goal& g : f.goals) {
            char term[64];
            std::snprintf(term, sizeof term, "%s%s %s %.4g", goal.empty() ? "" : ", ",
                g.stat == Goal::Median ? "median" : "p90", g.atMost ? "<=" : ">=", g.limit);
            goal += term;
        }
        std::fprintf(out, "figure\t%s%s\t%s\t%s\t%s\t", f.reference ? "   vs " : "", f.name.c_str(), f.unit.c_str(),
            goal.c_str(), f.delays ? "delays" : "");
        for (const double v : f.samples)
            std::fprintf(out, " %.9g", v);
        std::fprintf(out, "\n");
    }
    for (const std::string& text : notes)
        std::fprintf(out, "note\t%s\n", text.c_str());
}
