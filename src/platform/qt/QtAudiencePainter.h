// The audience view's pieces on Qt: the settings' two faces, which measure
// text for the shared scene (AudienceScene) as they will paint it, and the
// painting of the pieces in the hall's colours.
#pragma once

#include <QFont>
#include <QRegion>

#include <vector>

#include "platform/AudienceScene.h"
#include "platform/AudienceSettings.h"

class QPainter;

namespace platform {

class QtAudienceFonts final : public AudienceMeasurer {
public:
    explicit QtAudienceFonts(const AudienceSettings& settings);

    QFont Font(const TextStyle& style) const;

    double Advance(const TextStyle& style, std::string_view text) override;
    double Ascent(const TextStyle& style) override;
    double Descent(const TextStyle& style) override;
    Ink InkOf(const TextStyle& style, std::string_view text) override;
    std::string FitWithEllipsis(const TextStyle& style, const std::string& text, double width) override;

private:
    QFont timer_;
    QFont caption_;
};

QRect ToQRect(const PixelBox& box);
QRegion ToQRegion(const std::vector<PixelBox>& boxes);

// Paints the pieces that meet `dirty`, each clipped to its box.
void PaintAudience(QPainter& painter, const std::vector<AudiencePiece>& pieces, const QRegion& dirty,
                   const QtAudienceFonts& fonts);

}  // namespace platform
