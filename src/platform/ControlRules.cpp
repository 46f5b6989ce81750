#include "platform/ControlRules.h"

#include <algorithm>
#include <cmath>

namespace platform {

void FontedLabel::SetFontName(const std::string& name) {
    if (name.find_first_not_of(' ') == std::string::npos) return;
    font_.name = name;
    ApplyFont();
}

bool FontedLabel::SetFontSize(double points) {
    if (!std::isfinite(points) || points <= 0) return false;
    font_.size = std::min(points, kLargestFontPoints);
    ApplyFont();
    return true;
}

void FontedLabel::SetFontBold(bool on) {
    font_.bold = on;
    ApplyFont();
}

void FontedLabel::SetFontItalic(bool on) {
    font_.italic = on;
    ApplyFont();
}

void FontedLabel::SetFontUnderline(bool on) {
    font_.underline = on;
    ApplyFont();
}

void PlacedButton::SetLeft(double left) {
    geometry_.left = left;
    Place();
}

void PlacedButton::SetTop(double top) {
    geometry_.top = top;
    Place();
}

void PlacedButton::SetWidth(double width) {
    geometry_.width = width;
    Place();
}

void PlacedButton::SetHeight(double height) {
    geometry_.height = height;
    Place();
}

void PlacedButton::Move(double left, double top) {
    geometry_.left = left;
    geometry_.top = top;
    Place();
}

std::string LoadRefusedMessage(int index) {
    return "按钮数组的第 " + std::to_string(index) + " 号成员已存在或不能创建";
}

std::string UnloadFirstMessage() { return "按钮数组的第 0 号成员不能删除"; }

std::string NoMemberMessage(int index) { return "按钮数组没有第 " + std::to_string(index) + " 号成员"; }

}  // namespace platform
