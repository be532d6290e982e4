// Report text the tests expect, written once: the header line, and the
// report of the sample tree (samples/, entries engine, web and docs), the same
// bytes from every build: docs holds no source and gets no row.
#pragma once

#include <string>

inline const std::string kReportHeader =
    "Name;Files;Total Lines;Code Lines;Comments;Empty Lines;Ratio %\r\n";

inline const std::string kSamplesReport = kReportHeader +
                                          "engine;    3;      31;      18;       9;       6; 58\r\n"
                                          "web;    1;       9;       6;       2;       1; 66\r\n";
