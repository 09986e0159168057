#pragma once

#include <vector>

// A set of measurements of one quantity, in whatever unit the caller uses.
class Samples
{
public:
    void add(double value) { m_values.push_back(value); }
    int count() const { return int(m_values.size()); }
    bool isEmpty() const { return m_values.empty(); }

    double median() const;
    double max() const;
    double min() const;
    const std::vector<double> &values() const { return m_values; }

private:
    std::vector<double> sorted() const;

    std::vector<double> m_values;
};
