#include "platform/win32/Win32AudiencePainter.h"

#include <algorithm>
#include <cmath>

#include "platform/win32/Wide.h"

namespace platform {
namespace {

constexpr const char* kDefaultFace = "黑体";

COLORREF RoleColour(AudienceRole role) {
    const Rgb colour = AudienceColour(role);
    return RGB(colour.red, colour.green, colour.blue);
}

std::wstring Wide(std::string_view text) { return ToWide(std::string(text)); }

}  // namespace

RECT ToRect(const PixelBox& box) { return {box.left, box.top, box.right, box.bottom}; }

Win32AudienceFonts::Win32AudienceFonts(const AudienceSettings& settings)
    : settings_(settings), measure_(::CreateCompatibleDC(nullptr)) {}

Win32AudienceFonts::~Win32AudienceFonts() {
    for (const auto& [key, font] : fonts_) ::DeleteObject(font);
    if (measure_ != nullptr) ::DeleteDC(measure_);
}

HFONT Win32AudienceFonts::Font(const TextStyle& style) {
    const auto found = fonts_.find({style.face, style.pixels});
    if (found != fonts_.end()) return found->second;
    const FontAttributes& attributes = style.face == AudienceFace::Timer ? settings_.timerFont : settings_.captionFont;
    LOGFONTW logical{};
    logical.lfHeight = -style.pixels;  // the em, as the layout sizes it
    logical.lfWeight = attributes.bold ? FW_BOLD : FW_NORMAL;
    logical.lfItalic = attributes.italic ? TRUE : FALSE;
    logical.lfCharSet = DEFAULT_CHARSET;
    logical.lfQuality = CLEARTYPE_QUALITY;
    const std::wstring name = ToWide(attributes.name.empty() ? kDefaultFace : attributes.name).substr(0, LF_FACESIZE - 1);
    std::copy(name.begin(), name.end(), logical.lfFaceName);
    HFONT font = ::CreateFontIndirectW(&logical);
    if (font == nullptr) font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    fonts_[{style.face, style.pixels}] = font;
    return font;
}

SIZE Win32AudienceFonts::Extent(const TextStyle& style, const std::wstring& text) {
    SIZE size{0, 0};
    const HGDIOBJ previous = ::SelectObject(measure_, Font(style));
    ::GetTextExtentPoint32W(measure_, text.c_str(), static_cast<int>(text.size()), &size);
    ::SelectObject(measure_, previous);
    return size;
}

double Win32AudienceFonts::Advance(const TextStyle& style, std::string_view text) {
    return Extent(style, Wide(text)).cx;
}

TEXTMETRICW Win32AudienceFonts::Metrics(const TextStyle& style) {
    TEXTMETRICW metrics{};
    const HGDIOBJ previous = ::SelectObject(measure_, Font(style));
    ::GetTextMetricsW(measure_, &metrics);
    ::SelectObject(measure_, previous);
    return metrics;
}

double Win32AudienceFonts::Ascent(const TextStyle& style) { return Metrics(style).tmAscent; }

double Win32AudienceFonts::Descent(const TextStyle& style) { return Metrics(style).tmDescent; }

AudienceMeasurer::Ink Win32AudienceFonts::InkOf(const TextStyle& style, std::string_view text) {
    Ink ink;
    constexpr MAT2 kIdentity{{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    const HGDIOBJ previous = ::SelectObject(measure_, Font(style));
    for (const wchar_t glyph : Wide(text)) {
        GLYPHMETRICS metrics{};
        if (::GetGlyphOutlineW(measure_, glyph, GGO_METRICS, &metrics, 0, nullptr, &kIdentity) == GDI_ERROR) continue;
        ink.above = std::max(ink.above, static_cast<double>(metrics.gmptGlyphOrigin.y));
        ink.below = std::max(ink.below, static_cast<double>(metrics.gmBlackBoxY) - metrics.gmptGlyphOrigin.y);
    }
    ::SelectObject(measure_, previous);
    return ink;
}

std::string Win32AudienceFonts::FitWithEllipsis(const TextStyle& style, const std::string& text, double width) {
    const std::wstring wide = ToWide(text);
    if (Extent(style, wide).cx <= width) return text;
    const std::wstring ellipsis = L"…";
    const int room = static_cast<int>(width) - Extent(style, ellipsis).cx;
    if (room <= 0) return {};
    int fit = 0;
    SIZE ignored{};
    const HGDIOBJ previous = ::SelectObject(measure_, Font(style));
    ::GetTextExtentExPointW(measure_, wide.c_str(), static_cast<int>(wide.size()), room, &fit, nullptr, &ignored);
    ::SelectObject(measure_, previous);
    // Never half a character outside the basic plane.
    if (fit > 0 && IS_HIGH_SURROGATE(wide[static_cast<std::size_t>(fit - 1)])) --fit;
    return ToUtf8(wide.substr(0, static_cast<std::size_t>(fit)) + ellipsis);
}

void Win32AudienceFonts::KeepFontsOf(const std::vector<AudiencePiece>& pieces) {
    for (auto entry = fonts_.begin(); entry != fonts_.end();) {
        const bool used = std::any_of(pieces.begin(), pieces.end(), [&](const AudiencePiece& piece) {
            return !piece.text.empty() && piece.style.face == entry->first.first &&
                   piece.style.pixels == entry->first.second;
        });
        if (used) {
            ++entry;
        } else {
            ::DeleteObject(entry->second);
            entry = fonts_.erase(entry);
        }
    }
}

void Win32AudienceFonts::Paint(HDC dc, const std::vector<AudiencePiece>& pieces) {
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextAlign(dc, TA_BASELINE | TA_LEFT | TA_NOUPDATECP);
    const HGDIOBJ previousFont = ::GetCurrentObject(dc, OBJ_FONT);
    for (const AudiencePiece& piece : pieces) {
        const RECT box = ToRect(piece.box);
        if (::IsRectEmpty(&box) || !::RectVisible(dc, &box)) continue;
        if (piece.fill) {
            ::SetDCBrushColor(dc, RoleColour(*piece.fill));
            ::FillRect(dc, &box, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
        }
        if (piece.text.empty()) continue;
        // Nothing is drawn outside the piece's box, or a later change of the
        // piece would leave a trace behind that no rectangle repaints.
        const std::wstring text = ToWide(piece.text);
        ::SelectObject(dc, Font(piece.style));
        ::SetTextColor(dc, RoleColour(piece.colour));
        ::ExtTextOutW(dc, static_cast<int>(std::lround(piece.originX)), static_cast<int>(std::lround(piece.originY)),
                      ETO_CLIPPED, &box, text.c_str(), static_cast<UINT>(text.size()), nullptr);
    }
    ::SelectObject(dc, previousFont);
}

}  // namespace platform
