#include "platform/posix/PosixSystemError.h"

#include <cerrno>
#include <cstring>

namespace platform {
namespace {

const char* ChineseReason(int error) {
    switch (error) {
        case EACCES:
        case EPERM: return "没有权限";
        case ENOSPC:
        case EDQUOT: return "磁盘空间不足";
        case EROFS: return "磁盘是只读的";
        case ENOENT: return "文件或文件夹不存在";
        case ENOTDIR: return "路径中有一段不是文件夹";
        case EISDIR: return "这是一个文件夹";
        case EIO: return "磁盘读写出错";
        case EBUSY:
        case ETXTBSY: return "文件正被占用";
        case ENAMETOOLONG: return "路径太长";
        case EMFILE:
        case ENFILE: return "打开的文件太多";
        default: return "系统错误";
    }
}

}  // namespace

std::string DescribeErrno(int error) {
    return std::string(ChineseReason(error)) + "（" + std::strerror(error) + "）";
}

}  // namespace platform
