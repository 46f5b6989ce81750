#include "support/FakeControls.h"

#include <stdexcept>

namespace testsupport {
namespace {
long gFrontCount = 0;
constexpr double kPixel = 15;
}  // namespace

int TextUnits(const std::string& utf8) {
    int units = 0;
    for (const char byte : utf8) {
        const auto b = static_cast<unsigned char>(byte);
        if (b < 0x80) units += 1;          // half-width
        else if (b >= 0xC0) units += 2;    // lead byte of a wider character
    }
    return units;
}

FakeLabel::FakeLabel(std::string caption, platform::FontAttributes font, double left, double top, double width,
                     double height)
    : caption_(std::move(caption)), font_(std::move(font)), left_(left), top_(top), width_(width), height_(height) {}

void FakeLabel::SetCaption(const std::string& caption) {
    caption_ = caption;
    AutoSize();
}

void FakeLabel::Move(double left, double top) {
    left_ = left;
    top_ = top;
}

void FakeLabel::SetFontName(const std::string& name) {
    ++fontNameCalls;
    font_.name = name;
    AutoSize();
}

bool FakeLabel::SetFontSize(double points) {
    if (!(points > 0)) return false;
    font_.size = points;
    AutoSize();
    return true;
}

void FakeLabel::SetSize(double width, double height) {
    width_ = width;
    height_ = height;
}

void FakeLabel::AutoSize() {
    width_ = TextUnits(caption_) * font_.size * 10 + kPixel;
    height_ = font_.size * 20 + kPixel;
}

FakeButton::FakeButton(std::string caption, double left, double top, double width, double height)
    : caption_(std::move(caption)), left_(left), top_(top), width_(width), height_(height) {}

void FakeButton::SetLeft(double left) {
    left_ = left;
    ++geometryWrites;
}
void FakeButton::SetTop(double top) {
    top_ = top;
    ++geometryWrites;
}
void FakeButton::SetWidth(double width) {
    width_ = width;
    ++geometryWrites;
}
void FakeButton::SetHeight(double height) {
    height_ = height;
    ++geometryWrites;
}
void FakeButton::Move(double left, double top) {
    left_ = left;
    top_ = top;
    ++geometryWrites;
}
void FakeButton::BringToFront() { frontStamp = ++gFrontCount; }

FakeButtonArray::FakeButtonArray() { buttons_[0] = std::make_unique<FakeButton>("Command1", 0, 4560, 1095, 375); }

int FakeButtonArray::LBound() const { return buttons_.begin()->first; }
int FakeButtonArray::UBound() const { return buttons_.rbegin()->first; }

platform::Button& FakeButtonArray::operator[](int index) { return At(index); }

FakeButton& FakeButtonArray::At(int index) {
    const auto found = buttons_.find(index);
    if (found == buttons_.end()) throw std::logic_error("no member " + std::to_string(index) + " in the bar");
    return *found->second;
}

void FakeButtonArray::Load(int index) {
    if (index != UBound() + 1) throw std::logic_error("Load out of order: " + std::to_string(index));
    const FakeButton& model = *buttons_.at(0);
    auto button = std::make_unique<FakeButton>(model.Caption(), model.Left(), model.Top(), model.Width(),
                                               model.Height());
    button->SetVisible(false);
    buttons_[index] = std::move(button);
    loaded.push_back(index);
}

void FakeButtonArray::Unload(int index) {
    if (index == 0 || buttons_.count(index) == 0) throw std::logic_error("Unload of " + std::to_string(index));
    buttons_.erase(index);
    unloaded.push_back(index);
}

std::string FakeButtonArray::Captions() const {
    std::string list;
    for (const auto& [index, button] : buttons_) list += (index == 0 ? "" : "|") + button->Caption();
    return list;
}

void FakeButtonArray::Click(int index) {
    At(index);  // the member must exist to be clicked
    if (onClick) onClick(index);
}

double FakeWindow::TextWidth(const std::string& text) const {
    const auto given = textWidths.find(text);
    if (given != textWidths.end()) return given->second;
    return TextUnits(text) * 75.0;
}

double FakeWindow::TextHeight(const std::string&) const { return 240; }

bool FakeWindow::LoadPicture(const std::string& path) {
    for (const std::string& accepted : pictures) {
        if (accepted == path) {
            picture = path;
            return true;
        }
    }
    return false;
}

void FakeWindow::Resize(double newWidth, double newHeight) {
    width = newWidth;
    height = newHeight;
    if (onResize) onResize();
}

void FakeWindow::Press(platform::Key key) {
    if (onKey) onKey(key);
}

bool FakeTimer::Tick() {
    if (!enabled) return false;
    Fire();
    return true;
}

void FakeTimer::Fire() {
    if (onTick) onTick();
}

void FakeSound::PlaySync(const std::string& name) {
    Played call{name, {}};
    for (const platform::Label* label : watched) call.captions.push_back(label->Caption());
    played.push_back(std::move(call));
}

}  // namespace testsupport
