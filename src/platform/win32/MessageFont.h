// The font of the small texts (messages, the hint, the summary, the bar's
// buttons): the system's own message font, as Windows reports it for the
// user's language and the window's DPI (Microsoft YaHei UI on a Chinese
// Windows), never a stock object, whose face may hold no Chinese at all.
#pragma once

#include <windows.h>

#include <string>

namespace platform {

// Characters every small text of the program is made of, among them those a
// font's small bitmaps most often lack: the hyphen of a date or a negative
// value, "一" of 正方一辩, and 辩 itself.
inline constexpr wchar_t kMessageFontSample[] = L"-一辩论计时器确定保存复制关闭正反方环节超时暂停再按重置返回主页：（）“”0123456789";

// The system's message font at `dpi`. A face whose small sizes come from
// bitmaps that draw wrong or no glyphs (WenQuanYi Zen Hei's up to 16 pixels,
// which Wine's Chinese set-up puts in the system font's place: 用 as 川, 由
// as 山, no hyphen) is taken a pixel larger at a time, up to half again,
// until it draws from its outlines and every character of the sample draws.
// Null when the system reports no font.
HFONT CreateMessageFont(UINT dpi);

// True when `font`, asked for smoothing, draws Chinese in shades of grey:
// from its outlines, not from bitmaps made for its size.
bool DrawnFromOutlines(HFONT font);

// True when every character of `text` but blanks leaves ink when drawn
// alone in `font`.
bool DrawsEveryCharacter(HFONT font, const std::wstring& text);

}  // namespace platform
