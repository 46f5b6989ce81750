// What the audience view paints, as a list of pieces: each a rectangle that
// holds everything it paints (a fill, a text clipped to it, or both). Two
// lists for two frames are compared piece by piece, so only the rectangles
// whose content changed are painted again: in a running countdown, the digit
// that moved, a sliver of its bar and the clock's seconds. The geometry is
// AudienceLayout's; this adds GDI's fonts, colours and text measurement.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/AudienceLayout.h"
#include "platform/AudienceSettings.h"
#include "platform/AudienceView.h"

namespace platform {

enum class AudienceFace { Timer, Caption };

struct AudiencePiece {
    RECT box{};
    bool filled = false;
    COLORREF fill = 0;
    std::wstring text;  // empty: no text
    AudienceFace face = AudienceFace::Timer;
    int pixels = 0;     // the text's size: its em, in pixels
    COLORREF colour = 0;
    POINT origin{};     // the text's baseline, at its left end

    bool operator==(const AudiencePiece& other) const;
};

class AudienceScene final {
public:
    explicit AudienceScene(const AudienceSettings& settings);
    ~AudienceScene();
    AudienceScene(const AudienceScene&) = delete;
    AudienceScene& operator=(const AudienceScene&) = delete;

    // Everything the view paints for `frame` on a view of `size`, in painting order.
    std::vector<AudiencePiece> Compose(const AudienceFrame& frame, SIZE size);
    // Paints the pieces that meet the device context's clipping region.
    void Paint(HDC dc, const std::vector<AudiencePiece>& pieces);
    const DigitFace& Digits() const { return digits_; }

private:
    HFONT Font(AudienceFace face, int pixels);
    SIZE Extent(AudienceFace face, int pixels, const std::wstring& text);
    AudiencePiece FittedLine(const std::wstring& text, AudienceFace face, double pixels, const Box& box,
                             COLORREF colour);
    void AddCells(std::vector<AudiencePiece>& pieces, const Box& line, const std::string& text, double pixels,
                  double baseline, COLORREF colour);
    void AddOvertime(std::vector<AudiencePiece>& pieces, const CountdownBoxes& boxes, int overtime);
    void AddCountdown(std::vector<AudiencePiece>& pieces, const AudienceCountdown& countdown,
                      const CountdownBoxes& boxes, bool waiting);
    void MeasureDigits();
    // Fonts no piece of the latest composition uses are let go.
    void KeepFontsOf(const std::vector<AudiencePiece>& pieces);

    AudienceSettings settings_;
    DigitFace digits_;
    HDC measure_ = nullptr;
    std::map<std::pair<AudienceFace, int>, HFONT> fonts_;
};

// What must be painted again to go from `before` to `after`: the rectangles
// of the pieces that differ, old and new, or the whole view of `size` when the
// lists no longer match piece for piece.
std::vector<RECT> ChangedBoxes(const std::vector<AudiencePiece>& before, const std::vector<AudiencePiece>& after,
                               SIZE size);

}  // namespace platform
