// The audience view's pieces on Windows: the settings' two faces as GDI
// fonts, which measure text for the shared scene (AudienceScene) as they will
// paint it, and the painting of the pieces in the hall's colours.
#pragma once

#include <windows.h>

#include <map>
#include <vector>

#include "platform/AudienceScene.h"
#include "platform/AudienceSettings.h"

namespace platform {

class Win32AudienceFonts final : public AudienceMeasurer {
public:
    explicit Win32AudienceFonts(const AudienceSettings& settings);
    ~Win32AudienceFonts() override;
    Win32AudienceFonts(const Win32AudienceFonts&) = delete;
    Win32AudienceFonts& operator=(const Win32AudienceFonts&) = delete;

    double Advance(const TextStyle& style, std::string_view text) override;
    double Ascent(const TextStyle& style) override;
    double Descent(const TextStyle& style) override;
    Ink InkOf(const TextStyle& style, std::string_view text) override;
    std::string FitWithEllipsis(const TextStyle& style, const std::string& text, double width) override;

    // Paints the pieces that meet the device context's clipping region.
    void Paint(HDC dc, const std::vector<AudiencePiece>& pieces);
    // Fonts no piece of the latest composition uses are let go.
    void KeepFontsOf(const std::vector<AudiencePiece>& pieces);

private:
    HFONT Font(const TextStyle& style);
    SIZE Extent(const TextStyle& style, const std::wstring& text);
    TEXTMETRICW Metrics(const TextStyle& style);

    AudienceSettings settings_;
    HDC measure_ = nullptr;
    std::map<std::pair<AudienceFace, int>, HFONT> fonts_;
};

RECT ToRect(const PixelBox& box);

}  // namespace platform
