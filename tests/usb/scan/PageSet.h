// Page sets for the pattern tests, written as "0-3,6:58:4" (a range, or
// first:last:step).
#pragma once

#include <set>
#include <sstream>
#include <string>

#include "usb/scan/ScanBitmap.h"

namespace Tessor::usb::test {

inline std::set<int> pageSet(const std::string& text)
{
    std::set<int> pages;
    std::stringstream items(text);
    std::string item;
    while (std::getline(items, item, ',')) {
        int first = 0;
        int last = 0;
        int step = 1;
        char separator = 0;
        std::stringstream parts(item);
        parts >> first;
        last = first;
        if (parts >> separator) {
            parts >> last;
            if (separator == ':') {
                parts >> separator >> step;
            }
        }
        for (int page = first; page <= last; page += step) {
            pages.insert(page);
        }
    }
    return pages;
}

inline std::set<int> markedPages(const ScanBitmap& pattern)
{
    std::set<int> pages;
    for (int page = 0; page < pattern.getPagesPerBlock(); ++page) {
        if (pattern.isScan(page)) {
            pages.insert(page);
        }
    }
    return pages;
}

}  // namespace Tessor::usb::test
