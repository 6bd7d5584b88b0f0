#pragma once
// A courseware folder of one lesson: Main.ind names it with its folder "les", whose master file les1.que holds the
// given lines, and the index is read.
#include "../question/question_test_util.h"
#include "../support/temp_folder.h"
#include "courseware/index_file.h"
#include "platform/line_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace tavola::test {

struct LessonCourseware {
    TempFolder folder;
    CoursewareIndex index;
    Lines master;

    LessonCourseware(const char* lessonName, Lines masterLines) : master(std::move(masterLines))
    {
        writeLineFile(folder.systemPath("Main.ind"),
                      sjLines({"題", "", (std::string(lessonName) + ",les\\\\les").c_str(), ">>"}));
        std::filesystem::create_directory(folder.path() + "/les");
        writeLineFile(masterPath(), master);
        index.setCoursewareDir(folder.systemPath());
        EXPECT_TRUE(index.readMainIndex().ok());
    }
    std::string masterPath() const { return folder.systemPath("les/les1.que"); }
    Lines onDisk() const { return readLineFile(masterPath()).value_or(Lines{}); }
};

} // namespace tavola::test
