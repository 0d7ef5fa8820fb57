// The texts the installation shows, as the hardening tests expect them.
#pragma once

#include <string>

namespace texts {

inline const std::string kExamining = "プログラムをインストールするフォルダを調べています。";
inline const std::string kCopying = "プログラムファイルをコピーしています。==> ";
inline const std::string kCopyFailed = "プログラムファイルのコピーに失敗しました。";
inline const std::string kCopyFailedMessage = "プログラムファイルのコピーに失敗しました。セットアップを中止します。";
inline const std::string kShortcutQuestion = "デスクトップにショートカットを作成しますか？";
inline const std::string kShortcutMaking = "デスクトップにショートカットを作成しています。";
inline const std::string kShortcutFailed = "ショートカットを作成出来ませんでした。";
inline const std::string kDone = "Corvalen のセットアップは、完了しました。";
inline const std::string kReadmeQuestion = "今、リードミーファイルを読みますか？";
inline const std::string kCreateQuestion = " はありません。\nこのフォルダーを新しく作成しますか？";
inline const std::string kCannotCreate = " を作成出来ません。";
inline const std::string kInUse = " はすでに他で使用されています。\nインストールを中止します。";

}  // namespace texts
