// What the audience view paints, as a list of pieces: each a rectangle that
// holds everything it paints (a fill, a text clipped to it, or both). Two
// lists for two frames are compared piece by piece, so only the rectangles
// whose content changed are painted again: in a running countdown, the digit
// that moved, a sliver of its bar and the clock's seconds.
#pragma once

#include <QColor>
#include <QFont>
#include <QPointF>
#include <QRect>
#include <QRegion>
#include <QString>

#include <vector>

#include "platform/AudienceLayout.h"
#include "platform/AudienceSettings.h"
#include "platform/AudienceView.h"

class QPainter;

namespace platform {

struct AudiencePiece {
    QRect box;
    QColor fill;     // invalid: nothing filled
    QString text;    // empty: no text
    QFont font;
    QColor colour;
    QPointF origin;  // the text's baseline, at its left end

    bool operator==(const AudiencePiece&) const = default;
};

// The two faces of the view, from the settings, and the countdown face's proportions.
struct AudienceFaces {
    QFont timer;
    QFont caption;
    DigitFace digits;
};

AudienceFaces MakeAudienceFaces(const AudienceSettings& settings);

// Everything the view paints for `frame` on a view of `size`, in painting order.
std::vector<AudiencePiece> ComposeAudience(const AudienceFrame& frame, QSize size, const AudienceFaces& faces);

// What must be painted again to go from `before` to `after`: the rectangles
// of the pieces that differ, old and new, or everything when the lists no
// longer match piece for piece.
QRegion ChangedRegion(const std::vector<AudiencePiece>& before, const std::vector<AudiencePiece>& after,
                      QSize size);

void PaintPieces(QPainter& painter, const std::vector<AudiencePiece>& pieces, const QRegion& dirty);

// The view's texts for assistive technology: the caption (or the title on
// the home page), and each countdown with its side and any overtime.
QString AudienceName(const AudienceFrame& frame);
QString AudienceDescription(const AudienceFrame& frame);

}  // namespace platform
