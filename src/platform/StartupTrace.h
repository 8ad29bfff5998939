#pragma once

#include <functional>

class QLabel;

namespace platform {

// With IMAGROVE_TRACE set, writes one line to standard error once the first
// picture of the label has reached the screen: "IMAGROVE_TRACE <what>
// painted", then the milliseconds since the process started. Measuring
// launches needs no other instrument. shown: whether a paint now shows the
// picture (by default, whether the label holds one).
void traceFirstPicture(QLabel *picture, const char *what = "first picture",
                       std::function<bool()> shown = {});

} // namespace platform
