#pragma once

#include <ostream>
#include <string>

#include "model/RichText.h"

// Readable failure messages: one line a paragraph, one bracket a run with
// only the attributes that differ from the defaults, e.g.
//   centre: [Graphite Glass|Helvetica 18 b rgb(0,64,128)] END
// GoogleTest finds PrintTo by argument lookup.
std::string describe(const RichText& text);
void PrintTo(const RichText& text, std::ostream* os);
