#pragma once

#include <string>
#include <vector>

// An ICC colour given after a colour: icc-color(profile, c1, c2, ...).
class SvgIccColor {
public:
    SvgIccColor() = default;
    virtual ~SvgIccColor() = default;

    std::string profileName;
    std::vector<double> components; // in the order written
};
