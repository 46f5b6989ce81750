// Font faces as the configuration names them. Configurations are written on
// Chinese Windows, where the Hei face is called 黑体 (or SimHei); here the
// same look comes from an installed CJK Hei face.
#pragma once

#include <QString>

#include <string>

namespace platform {

// The family to ask Qt for. 黑体 and SimHei (any letter case) become the
// first installed of WenQuanYi Zen Hei and Noto Sans CJK SC; every other
// name is passed on unchanged, to Qt's own substitution.
QString FontFamilyFor(const std::string& faceName);

}  // namespace platform
