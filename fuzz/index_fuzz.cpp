// Index files: the bytes as a main index (Main.ind), and as the sub-index of a lesson, with everything the
// windows ask of the index once it is read.
#include "fuzz_support.h"

#include "courseware/index_file.h"

using namespace tavola;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes = fuzz::bytesOf(data, size);
    const std::string& dir = fuzz::scratchFolder();

    CoursewareIndex main(dir);
    main.readMainIndexLines(splitLines(bytes));
    for (int n = 0; n <= main.lessonCount() + 1; ++n) {
        (void)main.lessonFolder(n);
        (void)main.lessonStem(n);
        (void)main.masterFilePath(n, 1);
        (void)main.unitFileNames({n, 1, 1, 1});
    }

    fuzz::writeOneLessonCourseware();
    fuzz::writeScratch("l/l.ind", bytes);
    CoursewareIndex sub(dir);
    if (sub.readMainIndex() && sub.readLesson(1)) {
        (void)sub.lessonTitle();
        for (int k = 0; k <= sub.sectionCount() + 1; ++k) {
            for (int u = 0; u <= sub.sectionUnitCount(k) + 1; ++u)
                (void)sub.unitFileNames({1, k, u, 0});
        }
        (void)sub.figureFolder(1);
    }
    return 0;
}
