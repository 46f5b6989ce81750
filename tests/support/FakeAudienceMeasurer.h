// Text measured without a toolkit: every ASCII character half an em wide,
// any other a whole em; ascent 0.8 em, descent 0.2 em; the digits' ink from
// 0.7 em above the baseline to the baseline. `digitless` stands for a face
// that measures nothing (no digits at all).
#pragma once

#include <string>
#include <string_view>

#include "platform/AudienceScene.h"

namespace testsupport {

class FakeAudienceMeasurer final : public platform::AudienceMeasurer {
public:
    static constexpr double kNarrow = 0.5;  // ems
    static constexpr double kWide = 1.0;

    double Advance(const platform::TextStyle& style, std::string_view text) override {
        if (digitless) return 0;
        double ems = 0;
        for (const char byte : text) {
            const auto b = static_cast<unsigned char>(byte);
            if (b < 0x80) ems += kNarrow;
            else if ((b & 0xC0) != 0x80) ems += kWide;  // the lead byte of one character
        }
        return ems * style.pixels;
    }
    double Ascent(const platform::TextStyle& style) override { return 0.8 * style.pixels; }
    double Descent(const platform::TextStyle& style) override { return 0.2 * style.pixels; }
    Ink InkOf(const platform::TextStyle& style, std::string_view /*text*/) override {
        if (digitless) return {};
        return {0.7 * style.pixels, 0};
    }
    std::string FitWithEllipsis(const platform::TextStyle& style, const std::string& text, double width) override {
        if (Advance(style, text) <= width) return text;
        const std::string ellipsis = "…";
        std::string kept = text;
        while (!kept.empty() && Advance(style, kept + ellipsis) > width) {
            // The last character whole: its continuation bytes, then its first.
            while (!kept.empty() && (static_cast<unsigned char>(kept.back()) & 0xC0) == 0x80) kept.pop_back();
            if (!kept.empty()) kept.pop_back();
        }
        return Advance(style, kept + ellipsis) <= width ? kept + ellipsis : std::string();
    }

    bool digitless = false;
};

}  // namespace testsupport
