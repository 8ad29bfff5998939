#pragma once

#include <QByteArray>

namespace metafile {

// The SVG with nothing it does not hold itself: images only from raster
// pictures carried in it as data: addresses, and no reference that leaves
// the file (no file:, path or web address; no other SVG, which could hold
// such references of its own). What could not be read as XML gives an
// empty result.
QByteArray selfContainedSvg(const QByteArray &svg);

} // namespace metafile
