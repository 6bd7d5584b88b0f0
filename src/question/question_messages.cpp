#include "question/question_messages.h"

#include "platform/sjis.h"

namespace tavola::messages {

std::string tooManyProblemLines()
{
    return "問題の行は６０行以下です"_sj;
}
std::string valueBlockError()
{
    return "<<value block error";
}
std::string fontBlockError()
{
    return "<<font block error";
}
std::string kranBlockError()
{
    return "<<kran block error";
}

std::string unclosedBlock(const std::string& path, const std::string& keyword)
{
    return path + "："_sj + keyword + " ブロックが >> で閉じられていません"_sj;
}

std::string unclosedComment(const std::string& path)
{
    return path + "：<<ques ブロックの { が } で閉じられていません"_sj;
}

std::string notANumber(const std::string& path, std::size_t lineNumber, const std::string& text)
{
    return path + " " + std::to_string(lineNumber) + "行目：数値ではありません："_sj + text;
}

std::string headerTooShort(const std::string& path)
{
    return path + "：<<header ブロックには題名・学校名・氏名の３行が必要です"_sj;
}

std::string cannotAddMore()
{
    return "これ以上追加できません"_sj;
}
std::string badExtension(const std::string& name)
{
    return name + ":拡張子が不正です"_sj;
}
std::string confirmOverwrite(const std::string& name)
{
    return "ファイル"_sj + name + "を上書きしてもいいですか？"_sj;
}
std::string saveFailed(const std::string& name)
{
    return name + "の保存に失敗しました"_sj;
}

} // namespace tavola::messages
