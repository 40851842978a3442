#pragma once

#include <cstdio>
#include <string>
#include <vector>

// A goal on one statistic of a figure, e.g. "median <= 10".
struct Goal {
    enum Stat { Median, P90 } stat = Median;
    bool atMost = true;
    double limit = 0;
};

// One row of the results: its samples (one value for a single measurement),
// and what it is held to.
struct Figure {
    std::string name;
    std::string unit;
    std::vector<double> samples;
    // The reference of the figure above it, printed indented beneath it.
    bool reference = false;
    // Delays in microseconds: the share of samples over 1 ms is reported.
    bool delays = false;
    std::vector<Goal> goals {};

    Figure& asDelays()
    {
        delays = true;
        return *this;
    }
    Figure& atMost(Goal::Stat stat, double limit)
    {
        goals.push_back({ stat, true, limit });
        return *this;
    }
    Figure& atLeast(Goal::Stat stat, double limit)
    {
        goals.push_back({ stat, false, limit });
        return *this;
    }
};

class Report {
public:
    Figure& add(std::string name, std::string unit, std::vector<double> samples)
    {
        return figures.emplace_back(Figure { std::move(name), std::move(unit), std::move(samples) });
    }
    Figure& reference(std::string name, std::string unit, std::vector<double> samples)
    {
        Figure& figure = add(std::move(name), std::move(unit), std::move(samples));
        figure.reference = true;
        return figure;
    }
    // Free text printed under the table, e.g. how many clicks were missed.
    void note(std::string text) { notes.push_back(std::move(text)); }

    void print(std::FILE* out) const;

private:
    std::vector<Figure> figures;
    std::vector<std::string> notes;
};
