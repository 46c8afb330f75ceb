#ifndef SEGMENTFONT_H
#define SEGMENTFONT_H

#include <QFont>

// The seven-segment face of the time and track displays, registered once from the resource.
// Where the build found no such face, the displays use the system's default face.
namespace SegmentFont {

QFont font(int pointSize);

} // namespace SegmentFont

#endif // SEGMENTFONT_H
