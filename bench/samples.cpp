#include "samples.h"

#include <algorithm>

std::vector<double> Samples::sorted() const
{
    std::vector<double> values = m_values;
    std::sort(values.begin(), values.end());
    return values;
}

double Samples::median() const
{
    if (m_values.empty())
        return 0;
    const std::vector<double> values = sorted();
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double Samples::max() const
{
    return m_values.empty() ? 0 : *std::max_element(m_values.begin(), m_values.end());
}

double Samples::min() const
{
    return m_values.empty() ? 0 : *std::min_element(m_values.begin(), m_values.end());
}
