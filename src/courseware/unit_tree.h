#pragma once
// The tree of a lesson's sub-index: the lesson title as root, one node per section (its name) and under each
// section one node per unit line. The all-units window shows it with the marks in front of the unit lines; the
// index editor shows the same tree while it edits a sub-index.
#include "courseware/index_file.h"

#include <functional>
#include <string>
#include <vector>

namespace tavola {

struct IndexTreeNode {
    std::string text; // CP932
    std::vector<IndexTreeNode> children;
};

// The seven lines of a new sub-index: a title, one section with its name, one unit line, and the closing lines.
Lines newSubIndexLines();

// Builds the tree from the lines of a sub-index, read as the index reader reads them: line 1 is the root text,
// every line that starts with "[[" opens a section (its name on the next line, one line skipped, unit lines up to
// a line that is exactly ">>"). Sections past the 80th and units past the 80th of a section are left out, as the
// index tables leave them out. unitPrefix(s, u), when given, is put in front of each unit line (the marks).
IndexTreeNode buildIndexTree(const Lines& subIndex, const std::function<std::string(int, int)>& unitPrefix = {});

// The sub-index file of lesson n: lesson folder + stem + ".ind".
std::string subIndexPath(const CoursewareIndex& index, int lesson);

// The lines of lesson n's sub-index, or those of a new sub-index when the file does not exist.
Lines subIndexLinesOrNew(const CoursewareIndex& index, int lesson);

} // namespace tavola
