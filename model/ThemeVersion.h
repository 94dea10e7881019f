#pragma once

#include <string>

// Theme versions ("VL_DockVersion") ordered as desktop application updaters
// order theirs. A version is read as runs of digits (numbers), runs of
// letters (ASCII letters and any byte above 127) and separators (anything
// else: "." "-" "_" " " and other marks), which only part the runs.
// Position by position:
// - two numbers compare by value, of any length ("1.10" > "1.9",
//   "01.2" == "1.2", 40 digits compare as well as 2);
// - two letter runs compare without regard to ASCII case ("b" < "rc");
// - a letter run where the other has a number or has ended marks a
//   pre-release, which is older: "1.9" > "1.9b" > "1.8", "1.0" > "1.0b1",
//   "1.0.1" > "1.0b";
// - where one version ends, the other's further zeros count for nothing:
//   "1.0" == "1.0.0", "" == "0" (a theme without a version is at 0).
// Stateless; any thread.
class ThemeVersion {
public:
    // Below 0 when a is older than b, 0 when they are the same, above 0 when a is newer.
    static int compare(const std::string& a, const std::string& b);
};
