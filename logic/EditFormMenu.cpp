// The editor's menus: captions, shortcuts and hints, shared by every view.
#include "logic/EditFormView.h"

#include "pattern/patrn.h"

namespace pelmora {
namespace {

using enum EditItem;
using M = EditMenu;

constexpr EditMenuTitle kTitles[] = {
    {M::mnFile, "mnFile", "ファイル(&F)"},
    {M::mnPattern, "mnPattern", "パターン(&P)"},
    {M::mnParts, "mnParts", "部品(&Ｒ)"},
};

constexpr const char* kMovePatternUp =
    "選択したパターンの順序を上に移動する(ドラッグ&ドロップでも可能)";
constexpr const char* kMovePatternDown =
    "選択したパターンの順序を下に移動する(ドラッグ&ドロップでも可能)";
constexpr const char* kMovePartUp = "選択した部品の順序を上に移動する(ドラッグ&ドロップでも可能)";
constexpr const char* kMovePartDown = "選択した部品の順序を下に移動する(ドラッグ&ドロップでも可能)";

constexpr EditMenuLine kLines[] = {
    {M::mnFile, mnImport, "mnImport", "インポート(&I)...", "Ctrl+I",
     "外部ファイルからパターンを入力する"},
    {M::mnFile, mnExport, "mnExport", "エクスポート(&E)...", "Ctrl+E",
     "選択したパターンを外部ファイルに出力する"},
    {M::mnFile, {}, "mnSep1", "", "", ""},
    {M::mnFile, mnExit, "mnExit", "設定して閉じる(&X)", "",
     "編集した結果をメニューに設定して本画面を閉じる(OKボタン)"},
    {M::mnFile, mnCancel, "mnCancel", "キャンセルして閉じる(&C)", "",
     "編集した結果を破棄して本画面を閉じる(キャンセルボタン)"},

    {M::mnPattern, mnNew, "mnNew", "新規作成(&N)", "Ins", "新しくパターンを作成する"},
    {M::mnPattern, mnCopy, "mnCopy", "複製作成(&C)", "Ctrl+C",
     "選択したパターンを複写して新しくパターンを作成する"},
    {M::mnPattern, {}, "mnSep4", "", "", ""},
    {M::mnPattern, mnRename, "mnRename", "名前変更(&R)", "Ctrl+R",
     "選択したパターンの名前を変更する"},
    {M::mnPattern, mnUpper, "mnUpper", "上へ(&U)", "Ctrl+U", kMovePatternUp},
    {M::mnPattern, mnLower, "mnLower", "下へ(&L)", "Ctrl+L", kMovePatternDown},
    {M::mnPattern, mnDelete, "mnDelete", "削除(&D)", "Del", "選択したパターンを削除する"},
    {M::mnPattern, {}, "mnSep2", "", "", ""},
    {M::mnPattern, mnInfo, "mnInfo", "パッド設定情報の取り込み(&P)", "",
     "現在のパッド設定情報を再度取り込む"},
    {M::mnPattern, {}, "mnSep7", "", "", ""},
    {M::mnPattern, mnPad, "mnPad", "パッドに仮適用(&A)", "Ctrl+A",
     "選択したパターンで壁紙を生成しパッドに仮適用する(ダブルクリックでも可能)"},
    {M::mnPattern, mnUndo, "mnUndo", "仮適用の取り消し(&D)", "",
     "仮適用した壁紙を本画面を表示する直前の状態に戻す"},

    {M::mnParts, mnPNew, "mnPNew", "新規作成(&N)", "", "新しく部品を作成する", M::mnPNew},
    {M::mnParts, {}, "", "", "", ""},
    {M::mnParts, mnArea, "mnArea", "描画範囲の微調整(&T)...", "",
     "選択した部品の描画範囲を微調整する"},
    {M::mnParts, mnFill, "mnFill", "描画色の設定(&M)", "", "選択した部品の描画色を設定する",
     M::mnFill},
    {M::mnParts, {}, "", "", "", ""},
    {M::mnParts, mnPUpper, "mnPUpper", "上へ(&U)", "Ctrl+Alt+U", kMovePartUp},
    {M::mnParts, mnPLower, "mnPLower", "下へ(&L)", "Ctrl+Alt+L", kMovePartDown},
    {M::mnParts, mnPDelete, "mnPDelete", "削除(&Ｄ)", "Ctrl+Del", "選択した部品を削除する"},

    {M::mnPNew,
     mnAll,
     "mnAll",
     "ボタン枠(&F)",
     "",
     "ボタン枠部分に1ドット幅の枠を描画する",
     {},
     false,
     paAll},
    {M::mnPNew,
     mnIcon,
     "mnIcon",
     "アイコン領域(&I)",
     "",
     "アイコン領域に描画する",
     {},
     false,
     paIcon},
    {M::mnPNew,
     mnIconF,
     "mnIconF",
     "アイコン領域枠(&C)",
     "",
     "アイコン領域の外側に1ドット幅の枠を描画する",
     {},
     false,
     paIcon},
    {M::mnPNew,
     mnName,
     "mnName",
     "ボタン名領域(&N)",
     "",
     "ボタン名領域に描画する",
     {},
     false,
     paName},
    {M::mnPNew,
     mnNameF,
     "mnNameF",
     "ボタン名領域枠(&M)",
     "",
     "ボタン名領域の外側に1ドット幅の枠を描画する",
     {},
     false,
     paName},

    {M::mnFill, mnNon, "mnNon", "無効(&N)", "", "描画しない", {}, true},
    {M::mnFill, mnMono, "mnMono", "単色(&M)...", "", "単色で描画する", {}, true},
    {M::mnFill,
     mnGrad,
     "mnGrad",
     "グラデーション(&G)...",
     "",
     "グラデーションで描画する",
     {},
     true},
    {M::mnFill,
     mnBtn,
     "mnBtn",
     "ボタン色(&B)",
     "",
     "パッドに設定されたボタン色で描画する",
     {},
     true},
    {M::mnFill,
     mnBtnF,
     "mnBtnF",
     "ボタン枠色(&F)",
     "",
     "パッドに設定されたボタン色による枠色で描画する",
     {},
     true},
};

} // namespace

std::span<const EditMenuTitle> EditMenuTitles() {
    return kTitles;
}

std::span<const EditMenuLine> EditMenuLines() {
    return kLines;
}

} // namespace pelmora
