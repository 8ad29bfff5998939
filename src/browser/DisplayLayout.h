#pragma once

#include <QDateTime>
#include <QSize>
#include <QString>

// Arithmetic of the display pane and the information strip, in twips.
namespace browser {

inline constexpr double PaneWidth = 6675;
inline constexpr double PaneHeight = 4965;
// A stretched picture fills the pane, edge to edge.
inline constexpr double StretchWidth = PaneWidth;
inline constexpr double StretchHeight = PaneHeight;

// A picture of natural size stretched into the box with its proportions
// kept: as large as fits, never beyond its natural size, at least a pixel.
QSize keptProportions(QSize natural, QSize box);

// Where a picture of W x H twips sits at actual size in the pane, and what
// the scroll bars can reach.
struct ActualSizeLayout
{
    double hMax = 0;
    double vMax = 0;
    bool hEnabled = false;
    bool vEnabled = false;
    double left = 0; // only where the picture is smaller than the pane
    double top = 0;
    bool centredX = false;
    bool centredY = false;
};
ActualSizeLayout actualSizeLayout(double width, double height, double paneWidth = PaneWidth,
                                  double paneHeight = PaneHeight);

// The full path of a list entry: the folder, a separator unless the folder
// ends with one (a volume root), and the name.
QString imagePath(const QString &folder, const QString &name);

// "1023 Bytes" below 1024 bytes, else whole kilobytes: "1 Kb".
QString sizeText(qint64 bytes);

// The lower-case last three characters of a file name.
QString ending(const QString &fileName);

// The date and time as the desktop's short format writes them.
QString dateText(const QDateTime &time);
// The date alone, for a label too narrow for the date and time.
QString shortDateText(const QDateTime &time);

} // namespace browser
