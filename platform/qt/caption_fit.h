#pragma once

#include <QList>
#include <QRect>
#include <QString>

class QWidget;

namespace kiv {

// How many pixels wider a label, check box, command button or list would
// have to be to show its text whole (for a list, its widest entry), in its
// font and style; 0 or less when the text fits.
int missingWidth(const QWidget& widget);

// The text a caption shows: "&Browse" shows as "Browse", "&&" as "&".
QString shownCaption(const QString& caption);

// `box` widened by `missing` pixels within the free space of its row: first
// to the right, then to the left, keeping `gap` pixels from every box in
// `others` whose rows it shares and from the edges of `inside`. It never
// grows more than it must, and it stays short when the room runs out.
QRect widenedWithinRow(const QRect& box, int missing, const QList<QRect>& others,
                       const QRect& inside, int gap);

}  // namespace kiv
