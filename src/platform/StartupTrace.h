#pragma once

class QLabel;

namespace platform {

// With IMAGROVE_TRACE set, writes one line to standard error once the first
// picture of the label has reached the screen: "IMAGROVE_TRACE <what>
// painted", then the milliseconds since the process started. Measuring
// launches needs no other instrument.
void traceFirstPicture(QLabel *picture, const char *what = "first picture");

} // namespace platform
