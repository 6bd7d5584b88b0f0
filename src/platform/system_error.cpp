#include "platform/system_error.h"

#include "platform/sjis.h"

#include <cerrno>

namespace tavola {

std::string systemErrorText(int error)
{
    switch (error) {
    case EACCES:
    case EPERM:
        return "書き込みが許可されていません"_sj;
    case ENOSPC:
        return "ディスクに空きがありません"_sj;
#ifdef EDQUOT
    case EDQUOT:
        return "使える容量の上限を超えました"_sj;
#endif
    case EROFS:
        return "読み取り専用の場所です"_sj;
    case ENOTDIR:
        return "途中の名前がフォルダーではありません"_sj;
    case EISDIR:
        return "同じ名前のフォルダーがあります"_sj;
    case ENOENT:
        return "フォルダーが見つかりません"_sj;
    case ENAMETOOLONG:
        return "名前が長すぎます"_sj;
    case EFBIG:
        return "ファイルが大きすぎます"_sj;
    case ELOOP:
        return "シンボリックリンクです"_sj;
    case EIO:
        return "ディスクの読み書きに失敗しました"_sj;
    case EBUSY:
    case ETXTBSY:
        return "ほかのプログラムが使用中です"_sj;
    case EMFILE:
    case ENFILE:
        return "開いているファイルが多すぎます"_sj;
    case ESTALE:
        return "共有フォルダーとの接続が切れました"_sj;
    case ENOLCK:
        return "ロックが使えません"_sj;
    case EEXIST:
        return "同じ名前のファイルがあります"_sj;
    case ENXIO:
    case ENODEV:
        return "ふつうのファイルではありません"_sj;
    default:
        return "エラー番号 "_sj + std::to_string(error);
    }
}

} // namespace tavola
