#pragma once

#include "Desktop.h"
#include "Error.h"

namespace platform {

// The caption formats that handlers use for errors; %1 is the error number.
namespace captions {
inline constexpr const char *ErroNumber = "Erro Number: %1 occurred.";
inline constexpr const char *NumberOnly = "%1";
inline constexpr const char *CriticalError = "A Critical Error Occured: Number: %1";
inline constexpr const char *ErrorNumber = "Error Number: %1";
} // namespace captions

// Shows an error the way a handler names: the description as the text, the
// caption from its format, the icon and buttons. The busy pointer is lifted
// while the box is up and put back after it.
Answer reportError(Desktop &desktop, const Error &error, const char *captionFormat,
                   Icon icon = Icon::Critical, Buttons buttons = Buttons::Ok);

// "Sorry, the image you are trying to view is too large!", captioned
// "Imagrove Error": a picture too large to be shown.
void reportTooLarge(Desktop &desktop, Icon icon);
// "Drive unavailable", captioned "Problem": a drive that is not ready.
void reportDriveUnavailable(Desktop &desktop);

} // namespace platform
