#pragma once

#include <string>

namespace Tessor::interim {

// Name, progress weight and reported percent of the running operator.
class BaseOperator {
public:
    BaseOperator(const std::string& name, int weight) : m_name(name), m_weight(weight) {}
    virtual ~BaseOperator() = default;

    const char* getName() const { return m_name.c_str(); }
    int getProgressNumber() const { return m_weight; }
    int getCurrentPrecent() const { return m_percent; }
    void setCurrentPrecent(int n) { m_percent += n; }

private:
    std::string m_name;
    int m_weight;
    int m_percent = 0;
};

}  // namespace Tessor::interim
