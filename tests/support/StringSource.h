// A picture file's bytes from a string, a few at a time as a slow disk may
// give them: a reader that takes one Read for the whole is caught.
#pragma once

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/PictureHeader.h"

namespace testsupport {

class StringSource final : public platform::ByteSource {
public:
    explicit StringSource(std::string bytes, std::size_t most = 7) : bytes_(std::move(bytes)), most_(most) {}
    std::size_t Read(unsigned char* into, std::size_t wanted) override {
        const std::size_t taken = std::min({wanted, bytes_.size() - at_, most_});
        if (taken > 0) std::memcpy(into, bytes_.data() + at_, taken);
        at_ += taken;
        return taken;
    }

private:
    std::string bytes_;
    std::size_t most_;
    std::size_t at_ = 0;
};

}  // namespace testsupport
