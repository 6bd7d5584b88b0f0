#pragma once
// Copy files (.prp): one worksheet as the teacher made it, in one "[[unitX" record with its own caption lines,
// problem lines, placed figures and layout settings. Written whole and safely; read back by the unit reader.
#include "courseware/index_file.h"
#include "platform/prompts.h"
#include "platform/result.h"
#include "question/master_file.h"
#include "question/unit_data.h"
#include "question/unit_reader.h"
#include "question/unit_settings.h"

#include <optional>
#include <string>

namespace tavola {

// The content of a worksheet as a copy file holds it: caption lines, problem lines, figures with their positions
// as placed, the layout blocks from the settings in use (font line 7 the face in use) and the choices.
CopyRecord copyRecordOf(const UnitData& sheet, const UnitSettings& settings);

// Writes the copy file whole; the old file is untouched when that fails, and the message is
// path + "の保存に失敗しました".
Status writeCopyFile(const std::string& path, const CopyRecord& record);

// Opens a copy file through the reader (mode 1) as a worksheet of lesson 1.
Status readCopyFile(UnitReader& reader, const std::string& path);

// The folder copy files of a lesson are saved in and listed from: coursewareDir + stem + "\".
std::string copyFileFolder(const std::string& coursewareDir, const std::string& lessonStem);
// The same for lesson n of the index; a worksheet without a lesson (n < 1) uses lesson 1.
std::string copyFileFolder(const CoursewareIndex& index, int lesson);

// How a name chosen in the save dialog is taken: the extension of its file name (from the last "." of the name
// after the last folder separator, "." and up to three characters, lower-cased).
enum class CopyNameCheck { Accepted, NeedsExtension, BadExtension };
CopyNameCheck checkCopyName(const std::string& chosen);

// The name the save dialog proposes for a worksheet: the file name of its short key with ".prp" added unless it
// ends in it already ("tasu1.que-U1" gives "tasu1.que-U1.prp").
std::string proposedCopyName(const std::string& shortKey);

// Where save as copy starts and the name it offers. A worksheet whose file is a copy file (opened from one, or
// saved as one before) offers that file in its own folder, so that Enter writes it again instead of making a
// second file; any other offers proposedCopyName(shortKey) in the copy-file folder of its lesson.
struct CopySaveOffer {
    std::string startFolder; // system path ending in a separator
    std::string suggestedName;
};
CopySaveOffer copySaveOffer(const std::string& currentPath, const std::string& shortKey,
                            const std::string& lessonCopyFolder);

// Why save as copy wrote nothing (or that it did): a caller that closes a window after the save needs to tell a
// cancelled dialog, which lets the window close, from a failed write, which keeps it open.
enum class SaveCopyOutcome { Saved, Cancelled, Failed };
// Save as copy (名前を付けて保存): the save dialog (filter "*.prp", starting in startFolder, offering
// suggestedName) until a name is accepted: ".prp" in any case is kept as typed, a name without extension gets
// ".prp", another extension shows name + ":拡張子が不正です" and the dialog is offered again. An existing file is
// overwritten only after "ファイル" + name + "を上書きしてもいいですか？" is answered Yes; No offers the dialog again.
// A failed write shows name + "の保存に失敗しました" and leaves the old file as it was. Returns the path written, or
// nullopt.
std::optional<std::string> saveCopyAs(Prompts& prompts, const CopyRecord& record, const std::string& startFolder,
                                      SaveCopyOutcome& outcome, const std::string& suggestedName = {});

} // namespace tavola
