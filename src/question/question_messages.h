#pragma once
// The messages of reading and saving units, in one place. Texts are CP932 bytes; paths are system paths.
#include <string>

namespace tavola::messages {

// More than 60 problem lines in one worksheet (counted over all added units).
std::string tooManyProblemLines();
// A layout block with the wrong number of lines.
std::string valueBlockError();
std::string fontBlockError();
std::string kranBlockError();
// path + "：" + keyword + " ブロックが >> で閉じられていません": the block runs to the end of the file.
std::string unclosedBlock(const std::string& path, const std::string& keyword);
// path + "：<<ques ブロックの { が } で閉じられていません".
std::string unclosedComment(const std::string& path);
// path + " " + n + "行目：数値ではありません：" + text; n counts the file's lines from 1.
std::string notANumber(const std::string& path, std::size_t lineNumber, const std::string& text);
// A copy file whose "<<header" block has fewer than the three caption lines.
std::string headerTooShort(const std::string& path);
// Adding to a worksheet that already has 15 problem figures.
std::string cannotAddMore();
// Saving a copy file.
std::string badExtension(const std::string& name);
std::string confirmOverwrite(const std::string& name);
std::string saveFailed(const std::string& name);

} // namespace tavola::messages
