#pragma once

class QLabel;

namespace platform {

// With IMAGROVE_TRACE set, writes one line to standard error once the first
// picture of the label has reached the screen: the milliseconds since the
// process started. Measuring launches needs no other instrument.
void traceFirstPicture(QLabel *picture);

} // namespace platform
