#include "platform/win32/AudienceScene.h"

#include <algorithm>
#include <cmath>

#include "platform/AudienceText.h"
#include "platform/win32/Wide.h"

namespace platform {
namespace {

// A projector in a lit hall: light on black, the running side in the main
// window's red, the waiting side dimmed.
constexpr COLORREF kText = RGB(0xF2, 0xF2, 0xF2);
constexpr COLORREF kDimmed = RGB(0x78, 0x78, 0x78);
constexpr COLORREF kHallRed = RGB(0xFF, 0x3B, 0x30);
constexpr COLORREF kRedField = RGB(0xC8, 0x10, 0x10);
constexpr COLORREF kClock = RGB(0xB0, 0xB0, 0xB0);
constexpr COLORREF kBarTrack = RGB(0x3A, 0x3A, 0x3A);
constexpr COLORREF kBarFill = RGB(0xE8, 0xE8, 0xE8);

// Bars turn red from half a minute left, with the digits.
constexpr int kRedSeconds = 30;
// A caption shrinks to this share of its size before it is cut short with "…".
constexpr double kLeastShrink = 0.4;
// Beyond any screen: no size above this is asked of a font.
constexpr double kLargestPixels = 4000;
// The size the countdown face is measured at.
constexpr int kMeasurePixels = 200;
// The red field reaches this far beyond the digits on either side, in their size.
constexpr double kFieldReach = 0.06;
constexpr const char* kDefaultFace = "黑体";

int Pixels(double pixels) { return std::max(1, static_cast<int>(std::lround(std::min(pixels, kLargestPixels)))); }

// The smallest rectangle of whole pixels that holds `box`.
RECT ToRect(const Box& box) {
    return {static_cast<LONG>(std::floor(box.x)), static_cast<LONG>(std::floor(box.y)),
            static_cast<LONG>(std::ceil(box.Right())), static_cast<LONG>(std::ceil(box.Bottom()))};
}

POINT ToPoint(double x, double y) { return {static_cast<LONG>(std::lround(x)), static_cast<LONG>(std::lround(y))}; }

double CellBaseline(const Box& line, double pixels, const DigitFace& digits) {
    return line.y + (line.height + (digits.inkAbove - digits.inkBelow) * pixels) / 2;
}

AudiencePiece Fill(const Box& box, COLORREF colour) {
    AudiencePiece piece;
    piece.box = ToRect(box);
    piece.filled = true;
    piece.fill = colour;
    return piece;
}

}  // namespace

bool AudiencePiece::operator==(const AudiencePiece& other) const {
    return ::EqualRect(&box, &other.box) && filled == other.filled && (!filled || fill == other.fill) &&
           text == other.text && face == other.face && pixels == other.pixels && colour == other.colour &&
           origin.x == other.origin.x && origin.y == other.origin.y;
}

AudienceScene::AudienceScene(const AudienceSettings& settings)
    : settings_(settings), measure_(::CreateCompatibleDC(nullptr)) {
    MeasureDigits();
}

AudienceScene::~AudienceScene() {
    for (const auto& [key, font] : fonts_) ::DeleteObject(font);
    if (measure_ != nullptr) ::DeleteDC(measure_);
}

HFONT AudienceScene::Font(AudienceFace face, int pixels) {
    const auto found = fonts_.find({face, pixels});
    if (found != fonts_.end()) return found->second;
    const FontAttributes& attributes = face == AudienceFace::Timer ? settings_.timerFont : settings_.captionFont;
    LOGFONTW logical{};
    logical.lfHeight = -pixels;  // the em, as the layout sizes it
    logical.lfWeight = attributes.bold ? FW_BOLD : FW_NORMAL;
    logical.lfItalic = attributes.italic ? TRUE : FALSE;
    logical.lfCharSet = DEFAULT_CHARSET;
    logical.lfQuality = CLEARTYPE_QUALITY;
    const std::wstring name = ToWide(attributes.name.empty() ? kDefaultFace : attributes.name).substr(0, LF_FACESIZE - 1);
    std::copy(name.begin(), name.end(), logical.lfFaceName);
    HFONT font = ::CreateFontIndirectW(&logical);
    if (font == nullptr) font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    fonts_[{face, pixels}] = font;
    return font;
}

SIZE AudienceScene::Extent(AudienceFace face, int pixels, const std::wstring& text) {
    SIZE size{0, 0};
    const HGDIOBJ previous = ::SelectObject(measure_, Font(face, pixels));
    ::GetTextExtentPoint32W(measure_, text.c_str(), static_cast<int>(text.size()), &size);
    ::SelectObject(measure_, previous);
    return size;
}

void AudienceScene::MeasureDigits() {
    const HGDIOBJ previous = ::SelectObject(measure_, Font(AudienceFace::Timer, kMeasurePixels));
    double widest = 0;
    double above = 0;
    double below = 0;
    constexpr MAT2 kIdentity{{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    for (const wchar_t glyph : std::wstring(L"0123456789:")) {
        GLYPHMETRICS metrics{};
        if (::GetGlyphOutlineW(measure_, glyph, GGO_METRICS, &metrics, 0, nullptr, &kIdentity) != GDI_ERROR) {
            above = std::max(above, static_cast<double>(metrics.gmptGlyphOrigin.y));
            below = std::max(below, static_cast<double>(metrics.gmBlackBoxY) - metrics.gmptGlyphOrigin.y);
        }
        if (glyph == L':') continue;
        SIZE size{};
        ::GetTextExtentPoint32W(measure_, &glyph, 1, &size);
        widest = std::max(widest, static_cast<double>(size.cx));
    }
    SIZE colon{};
    ::GetTextExtentPoint32W(measure_, L":", 1, &colon);
    ::SelectObject(measure_, previous);
    // A face without digits measures nothing; the design's proportions stand in for it.
    if (widest > 0 && above + below > 0) {
        digits_.digitAdvance = widest / kMeasurePixels;
        digits_.colonAdvance = std::max(static_cast<double>(colon.cx), widest / 4) / kMeasurePixels;
        digits_.inkAbove = std::max(0.0, above) / kMeasurePixels;
        digits_.inkBelow = std::max(0.0, below) / kMeasurePixels;
    }
}

// One line of text, centred in `box`, shrinking from `pixels` until it fits
// and cut short with "…" when even the least size is too wide.
AudiencePiece AudienceScene::FittedLine(const std::wstring& text, AudienceFace face, double pixels, const Box& box,
                                        COLORREF colour) {
    int size = Pixels(pixels);
    const double width = Extent(face, size, text).cx;
    if (width > box.width && width > 0) {
        // Advances grow with the size, near enough in proportion; the loop mends the rounding.
        const int least = Pixels(pixels * kLeastShrink);
        size = std::max(least, Pixels(pixels * box.width / width));
        while (size > least && Extent(face, size, text).cx > box.width) --size;
    }
    std::wstring shown = text;
    if (Extent(face, size, shown).cx > box.width) {
        const std::wstring ellipsis = L"…";
        const int room = static_cast<int>(box.width) - Extent(face, size, ellipsis).cx;
        int fit = 0;
        SIZE ignored{};
        const HGDIOBJ previous = ::SelectObject(measure_, Font(face, size));
        ::GetTextExtentExPointW(measure_, text.c_str(), static_cast<int>(text.size()), std::max(0, room), &fit,
                                nullptr, &ignored);
        ::SelectObject(measure_, previous);
        // Never half a character outside the basic plane.
        if (fit > 0 && IS_HIGH_SURROGATE(text[static_cast<std::size_t>(fit - 1)])) --fit;
        shown = room > 0 ? text.substr(0, static_cast<std::size_t>(fit)) + ellipsis : std::wstring();
    }
    TEXTMETRICW metrics{};
    const HGDIOBJ previous = ::SelectObject(measure_, Font(face, size));
    ::GetTextMetricsW(measure_, &metrics);
    ::SelectObject(measure_, previous);
    const double shownWidth = Extent(face, size, shown).cx;
    const double baseline = box.y + (box.height + metrics.tmAscent - metrics.tmDescent) / 2.0;
    AudiencePiece piece;
    piece.box = ToRect(box);
    piece.text = shown;
    piece.face = face;
    piece.pixels = size;
    piece.colour = colour;
    piece.origin = ToPoint(box.x + (box.width - shownWidth) / 2, baseline);
    return piece;
}

// A text in cells of equal width for every digit, so it never shifts as it counts.
void AudienceScene::AddCells(std::vector<AudiencePiece>& pieces, const Box& line, const std::string& text,
                             double pixels, double baseline, COLORREF colour) {
    const int size = Pixels(pixels);
    const std::vector<Box> cells = TextCells(line, text, pixels, digits_);
    for (std::size_t i = 0; i < cells.size(); ++i) {
        AudiencePiece piece;
        piece.box = ToRect(cells[i]);
        piece.text = std::wstring(1, static_cast<wchar_t>(static_cast<unsigned char>(text[i])));
        piece.face = AudienceFace::Timer;
        piece.pixels = size;
        piece.colour = colour;
        piece.origin = ToPoint(cells[i].x + (cells[i].width - Extent(piece.face, size, piece.text).cx) / 2, baseline);
        pieces.push_back(std::move(piece));
    }
}

// "超时" and the overtime in cells, centred in the countdown's foot.
void AudienceScene::AddOvertime(std::vector<AudiencePiece>& pieces, const CountdownBoxes& boxes, int overtime) {
    const std::string count = MinutesAndSeconds(overtime);
    const std::wstring label = L"超时 ";
    const double labelWidth = Extent(AudienceFace::Timer, Pixels(boxes.footPixels), label).cx;
    const double cellsWidth = CellsWidth(count, digits_) * boxes.footPixels;
    const double left = boxes.foot.x + (boxes.foot.width - labelWidth - cellsWidth) / 2;
    const double baseline = CellBaseline(boxes.foot, boxes.footPixels, digits_);
    AudiencePiece piece;
    piece.box = ToRect({left, boxes.foot.y, labelWidth, boxes.foot.height});
    piece.text = label;
    piece.pixels = Pixels(boxes.footPixels);
    piece.colour = kHallRed;
    piece.origin = ToPoint(left, baseline);
    pieces.push_back(std::move(piece));
    AddCells(pieces, {left + labelWidth, boxes.foot.y, cellsWidth, boxes.foot.height}, count, boxes.footPixels,
             baseline, kHallRed);
}

void AudienceScene::AddCountdown(std::vector<AudiencePiece>& pieces, const AudienceCountdown& countdown,
                                 const CountdownBoxes& boxes, bool waiting) {
    const COLORREF sideColour = countdown.running ? kHallRed : waiting ? kDimmed : kText;
    pieces.push_back(FittedLine(ToWide(countdown.side), AudienceFace::Timer, boxes.sidePixels, boxes.side, sideColour));

    const double reach = kFieldReach * boxes.digitPixels;
    AudiencePiece field = Fill({boxes.digits.x - reach, boxes.digits.y, boxes.digits.width + 2 * reach,
                                boxes.digits.height},
                               kRedField);
    field.filled = countdown.timeUp;
    pieces.push_back(std::move(field));
    const COLORREF digitColour = countdown.timeUp ? kText : countdown.red ? kHallRed : waiting ? kDimmed : kText;
    AddCells(pieces, boxes.digits, countdown.text, boxes.digitPixels, boxes.baseline, digitColour);

    if (countdown.timeUp) {
        AddOvertime(pieces, boxes, countdown.overtimeSeconds);
        return;
    }
    pieces.push_back(Fill(boxes.bar, kBarTrack));
    Box filled = boxes.bar;
    filled.width = std::round(boxes.bar.width * BarShare(countdown.secondsLeft, countdown.allowance));
    const bool red = countdown.red || countdown.secondsLeft <= kRedSeconds;
    pieces.push_back(Fill(filled, red ? kHallRed : kBarFill));
}

std::vector<AudiencePiece> AudienceScene::Compose(const AudienceFrame& frame, SIZE size) {
    std::vector<AudiencePiece> pieces;
    const double width = size.cx;
    const double height = size.cy;
    if (frame.home) {
        const HomeLayout layout = LayOutHome(width, height, digits_);
        pieces.push_back(FittedLine(ToWide(OneLine(frame.title)), AudienceFace::Caption, layout.titlePixels,
                                    layout.title, kText));
        if (!frame.caption.empty()) {
            pieces.push_back(FittedLine(ToWide(OneLine(frame.caption)), AudienceFace::Caption, layout.captionPixels,
                                        layout.caption, kClock));
        }
        AddCells(pieces, layout.clock, frame.clock, layout.clockPixels,
                 CellBaseline(layout.clock, layout.clockPixels, digits_), kClock);
        KeepFontsOf(pieces);
        return pieces;
    }

    const ShownCountdowns countdowns = CountdownsShown(frame);
    const StageLayout layout = LayOutStage(width, height, static_cast<int>(countdowns.shown.size()),
                                           countdowns.widest, digits_);
    pieces.push_back(FittedLine(ToWide(OneLine(frame.caption)), AudienceFace::Caption, layout.captionPixels,
                                layout.caption, kText));
    for (std::size_t i = 0; i < countdowns.shown.size(); ++i) {
        AddCountdown(pieces, *countdowns.shown[i].countdown, layout.countdowns[i], countdowns.shown[i].waiting);
    }
    AddCells(pieces, layout.clock, frame.clock, layout.clockPixels,
             CellBaseline(layout.clock, layout.clockPixels, digits_), kClock);
    KeepFontsOf(pieces);
    return pieces;
}

void AudienceScene::KeepFontsOf(const std::vector<AudiencePiece>& pieces) {
    for (auto entry = fonts_.begin(); entry != fonts_.end();) {
        const bool used = std::any_of(pieces.begin(), pieces.end(), [&](const AudiencePiece& piece) {
            return !piece.text.empty() && piece.face == entry->first.first && piece.pixels == entry->first.second;
        });
        const bool measuring = entry->first == std::pair{AudienceFace::Timer, kMeasurePixels};
        if (used || measuring) {
            ++entry;
        } else {
            ::DeleteObject(entry->second);
            entry = fonts_.erase(entry);
        }
    }
}

void AudienceScene::Paint(HDC dc, const std::vector<AudiencePiece>& pieces) {
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextAlign(dc, TA_BASELINE | TA_LEFT | TA_NOUPDATECP);
    const HGDIOBJ previousFont = ::GetCurrentObject(dc, OBJ_FONT);
    for (const AudiencePiece& piece : pieces) {
        if (::IsRectEmpty(&piece.box) || !::RectVisible(dc, &piece.box)) continue;
        if (piece.filled) {
            ::SetDCBrushColor(dc, piece.fill);
            ::FillRect(dc, &piece.box, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
        }
        if (piece.text.empty()) continue;
        // Nothing is drawn outside the piece's box, or a later change of the
        // piece would leave a trace behind that no rectangle repaints.
        ::SelectObject(dc, Font(piece.face, piece.pixels));
        ::SetTextColor(dc, piece.colour);
        ::ExtTextOutW(dc, piece.origin.x, piece.origin.y, ETO_CLIPPED, &piece.box, piece.text.c_str(),
                      static_cast<UINT>(piece.text.size()), nullptr);
    }
    ::SelectObject(dc, previousFont);
}

std::vector<RECT> ChangedBoxes(const std::vector<AudiencePiece>& before, const std::vector<AudiencePiece>& after,
                               SIZE size) {
    if (before.size() != after.size()) return {RECT{0, 0, size.cx, size.cy}};
    std::vector<RECT> changed;
    for (std::size_t i = 0; i < after.size(); ++i) {
        if (before[i] == after[i]) continue;
        changed.push_back(before[i].box);
        changed.push_back(after[i].box);
    }
    return changed;
}

}  // namespace platform
