// Where a path from the configuration leads, by the rule both editions share, on a made-up folder tree.
#include <gtest/gtest.h>

#include <map>

#include "platform/UserPath.h"

namespace {

using platform::PathKind;

const std::string kProgram = "/opt/辩论";

// What is where: the program's folder holds a picture, a sounds folder and a pipe; the current folder a
// note and a folder named like a picture.
PathKind KindAt(const std::string& path) {
    static const std::map<std::string, PathKind> tree = {
        {"/opt/辩论/hall.png", PathKind::RegularFile}, {"/opt/辩论/sounds/bell.wav", PathKind::RegularFile},
        {"/opt/辩论/sounds", PathKind::Other},          {"/opt/辩论/cue.fifo", PathKind::Other},
        {"notes.txt", PathKind::RegularFile},           {"hall.png", PathKind::Other},
        {"/srv/bell.wav", PathKind::RegularFile},
    };
    const auto found = tree.find(path);
    return found == tree.end() ? PathKind::Nothing : found->second;
}

struct PathCase { const char* written; const char* resolved; };

class UserPath : public testing::TestWithParam<PathCase> {};

TEST_P(UserPath, ResolvesByTheSharedRule) {
    EXPECT_EQ(platform::ResolveUserPath(GetParam().written, kProgram, KindAt), GetParam().resolved);
}

INSTANTIATE_TEST_SUITE_P(
    Table, UserPath,
    testing::Values(PathCase{"notes.txt", "notes.txt"},  // as written, in the current folder
                    // A folder in the current folder does not hide the picture beside the program.
                    PathCase{"hall.png", "/opt/辩论/hall.png"},
                    PathCase{"sounds\\bell.wav", "/opt/辩论/sounds/bell.wav"},  // written on Windows
                    PathCase{"/srv/bell.wav", "/srv/bell.wav"}, PathCase{"\\srv\\bell.wav", "/srv/bell.wav"},
                    // Something there that is no file is still what the path means: the caller refuses it.
                    PathCase{"cue.fifo", "/opt/辩论/cue.fifo"}, PathCase{"sounds", "/opt/辩论/sounds"},
                    PathCase{"missing.wav", "missing.wav"}, PathCase{"", ""}));

// An absolute path, with either separator or a drive, is never looked for beside the program.
TEST(UserPathRule, AnAbsolutePathIsNeverPutBesideTheProgram) {
    for (const std::string written : {"/srv/x.wav", "\\srv\\x.wav", "C:\\x.wav", "d:/x.wav"}) {
        for (const std::string& candidate : platform::UserPathCandidates(written, kProgram))
            EXPECT_FALSE(candidate.starts_with(kProgram)) << written << " → " << candidate;
    }
    EXPECT_EQ(platform::UserPathBesideProgram("sounds/bell.wav", kProgram + "/"), "/opt/辩论/sounds/bell.wav");
    EXPECT_EQ(platform::FindAnythingAtUserPath("missing.wav", kProgram, KindAt), "");
}

}  // namespace
