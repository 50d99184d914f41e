// The editor's menus: captions, shortcuts and hints, shared by every view.
#include "logic/PatternEditorView.h"
#include "pattern/Pattern.h"

#include <algorithm>

namespace pelmora {
namespace {

constexpr MenuTitle kMenuBar[] = {
    {"mnFile", "ファイル(&F)"},
    {"mnEdit", "編集(&E)"},
    {"mnPattern", "パターン(&P)"},
    {"mnParts", "部品(&Ｒ)"},
};

constexpr const char* kMovePatternUp =
    "選択したパターンの順序を上に移動する(ドラッグ&ドロップでも可能)";
constexpr const char* kMovePatternDown =
    "選択したパターンの順序を下に移動する(ドラッグ&ドロップでも可能)";
constexpr const char* kMovePartUp = "選択した部品の順序を上に移動する(ドラッグ&ドロップでも可能)";
constexpr const char* kMovePartDown = "選択した部品の順序を下に移動する(ドラッグ&ドロップでも可能)";

constexpr const char* kCopyPatternHint =
    "選択したパターンをテキストとしてクリップボードにコピーする";
constexpr const char* kCopyPartHint = "選択した部品をテキストとしてクリップボードにコピーする";
constexpr const char* kCopyGradHint =
    "選択した部品のグラデーションをテキストとしてクリップボードにコピーする";
constexpr const char* kPasteHint =
    "クリップボードのパターン・部品・グラデーションを貼り付ける(部品は選択した部品の後ろに、"
    "グラデーションは選択した部品に)";

constexpr MenuLine kMenus[] = {
    {.Menu = "mnFile",
     .Name = "mnImport",
     .Caption = "インポート(&I)...",
     .Shortcut = "Ctrl+I",
     .Hint = "外部ファイルからパターンを入力する"},
    {.Menu = "mnFile",
     .Name = "mnExport",
     .Caption = "エクスポート(&E)...",
     .Shortcut = "Ctrl+E",
     .Hint = "選択したパターンを外部ファイルに出力する"},
    {.Menu = "mnFile", .Name = "mnSep1", .Caption = "-"},
    {.Menu = "mnFile",
     .Name = "mnExit",
     .Caption = "設定して閉じる(&X)",
     .Hint = "編集した結果をメニューに設定して本画面を閉じる(OKボタン)"},
    {.Menu = "mnFile",
     .Name = "mnCancel",
     .Caption = "キャンセルして閉じる(&C)",
     .Hint = "編集した結果を破棄して本画面を閉じる(キャンセルボタン)"},
    {.Menu = "mnEdit",
     .Name = "mnEditUndo",
     .Caption = "元に戻す(&U)",
     .Shortcut = "Ctrl+Z",
     .Hint = "直前の編集を取り消して元に戻す"},
    {.Menu = "mnEdit",
     .Name = "mnEditRedo",
     .Caption = "やり直し(&R)",
     .Shortcut = "Ctrl+Y",
     .Hint = "元に戻した編集をもう一度行う"},
    // The clipboard holds the stored forms as text: a pattern as its pattern
    // file section, a part as its line, a gradient as its text. Ctrl+C is
    // the Pattern menu's copy and the parts' own keys carry Alt, so the
    // clipboard copies are Ctrl+Shift+C and Ctrl+Alt+C.
    {.Menu = "mnEdit", .Name = "", .Caption = "-"},
    {.Menu = "mnEdit",
     .Name = "mnCopyPattern",
     .Caption = "パターンのコピー(&C)",
     .Shortcut = "Ctrl+Shift+C",
     .Hint = kCopyPatternHint},
    {.Menu = "mnEdit",
     .Name = "mnCopyPart",
     .Caption = "部品のコピー(&B)",
     .Shortcut = "Ctrl+Alt+C",
     .Hint = kCopyPartHint},
    {.Menu = "mnEdit",
     .Name = "mnCopyGrad",
     .Caption = "グラデーションのコピー(&G)",
     .Hint = kCopyGradHint},
    {.Menu = "mnEdit",
     .Name = "mnPaste",
     .Caption = "貼り付け(&P)",
     .Shortcut = "Ctrl+V",
     .Hint = kPasteHint},
    {.Menu = "mnPattern",
     .Name = "mnNew",
     .Caption = "新規作成(&N)",
     .Shortcut = "Ins",
     .Hint = "新しくパターンを作成する"},
    {.Menu = "mnPattern",
     .Name = "mnCopy",
     .Caption = "複製作成(&C)",
     .Shortcut = "Ctrl+C",
     .Hint = "選択したパターンを複写して新しくパターンを作成する"},
    {.Menu = "mnPattern", .Name = "mnSep4", .Caption = "-"},
    {.Menu = "mnPattern",
     .Name = "mnRename",
     .Caption = "名前変更(&R)",
     .Shortcut = "Ctrl+R",
     .Hint = "選択したパターンの名前を変更する"},
    {.Menu = "mnPattern",
     .Name = "mnUpper",
     .Caption = "上へ(&U)",
     .Shortcut = "Ctrl+U",
     .Hint = kMovePatternUp},
    {.Menu = "mnPattern",
     .Name = "mnLower",
     .Caption = "下へ(&L)",
     .Shortcut = "Ctrl+L",
     .Hint = kMovePatternDown},
    {.Menu = "mnPattern",
     .Name = "mnDelete",
     .Caption = "削除(&D)",
     .Shortcut = "Del",
     .Hint = "選択したパターンを削除する"},
    {.Menu = "mnPattern", .Name = "mnSep2", .Caption = "-"},
    {.Menu = "mnPattern",
     .Name = "mnInfo",
     .Caption = "パッド設定情報の取り込み(&P)",
     .Hint = "現在のパッド設定情報を再度取り込む"},
    // Beyond the original, which shares one wallpaper file among all pads;
    // its letter W is free in this menu.
    {.Menu = "mnPattern",
     .Name = "mnPerPadFile",
     .Caption = "パッドごとに壁紙ファイルを作成(&W)",
     .Hint = "壁紙ファイルをパッドごとに分けて作成する(オフでは全パッド共通)",
     .Check = true},
    {.Menu = "mnPattern", .Name = "mnSep7", .Caption = "-"},
    {.Menu = "mnPattern",
     .Name = "mnPad",
     .Caption = "パッドに仮適用(&A)",
     .Shortcut = "Ctrl+A",
     .Hint = "選択したパターンで壁紙を生成しパッドに仮適用する(ダブルクリックでも可能)"},
    {.Menu = "mnPattern",
     .Name = "mnUndo",
     .Caption = "仮適用の取り消し(&D)",
     .Hint = "仮適用した壁紙を本画面を表示する直前の状態に戻す"},
    {.Menu = "mnParts",
     .Name = "mnPNew",
     .Caption = "新規作成(&N)",
     .Hint = "新しく部品を作成する",
     .Opens = "mnPNew"},
    {.Menu = "mnParts", .Name = "", .Caption = "-"},
    {.Menu = "mnParts",
     .Name = "mnArea",
     .Caption = "描画範囲の微調整(&T)...",
     .Hint = "選択した部品の描画範囲を微調整する"},
    {.Menu = "mnParts",
     .Name = "mnFill",
     .Caption = "描画色の設定(&M)",
     .Hint = "選択した部品の描画色を設定する",
     .Opens = "mnFill"},
    {.Menu = "mnParts", .Name = "", .Caption = "-"},
    {.Menu = "mnParts",
     .Name = "mnPUpper",
     .Caption = "上へ(&U)",
     .Shortcut = "Ctrl+Alt+U",
     .Hint = kMovePartUp},
    {.Menu = "mnParts",
     .Name = "mnPLower",
     .Caption = "下へ(&L)",
     .Shortcut = "Ctrl+Alt+L",
     .Hint = kMovePartDown},
    {.Menu = "mnParts",
     .Name = "mnPDelete",
     .Caption = "削除(&Ｄ)",
     .Shortcut = "Ctrl+Del",
     .Hint = "選択した部品を削除する"},
    {.Menu = "mnPNew",
     .Name = "mnAll",
     .Caption = "ボタン枠(&F)",
     .Hint = "ボタン枠部分に1ドット幅の枠を描画する",
     .Tag = paAll},
    {.Menu = "mnPNew",
     .Name = "mnIcon",
     .Caption = "アイコン領域(&I)",
     .Hint = "アイコン領域に描画する",
     .Tag = paIcon},
    {.Menu = "mnPNew",
     .Name = "mnIconF",
     .Caption = "アイコン領域枠(&C)",
     .Hint = "アイコン領域の外側に1ドット幅の枠を描画する",
     .Tag = paIcon},
    {.Menu = "mnPNew",
     .Name = "mnName",
     .Caption = "ボタン名領域(&N)",
     .Hint = "ボタン名領域に描画する",
     .Tag = paName},
    {.Menu = "mnPNew",
     .Name = "mnNameF",
     .Caption = "ボタン名領域枠(&M)",
     .Hint = "ボタン名領域の外側に1ドット幅の枠を描画する",
     .Tag = paName},
    {.Menu = "mnFill", .Name = "mnNon", .Caption = "無効(&N)", .Hint = "描画しない", .Radio = true},
    {.Menu = "mnFill",
     .Name = "mnMono",
     .Caption = "単色(&M)...",
     .Hint = "単色で描画する",
     .Radio = true},
    {.Menu = "mnFill",
     .Name = "mnGrad",
     .Caption = "グラデーション(&G)...",
     .Hint = "グラデーションで描画する",
     .Radio = true},
    {.Menu = "mnFill",
     .Name = "mnBtn",
     .Caption = "ボタン色(&B)",
     .Hint = "パッドに設定されたボタン色で描画する",
     .Radio = true},
    {.Menu = "mnFill",
     .Name = "mnBtnF",
     .Caption = "ボタン枠色(&F)",
     .Hint = "パッドに設定されたボタン色による枠色で描画する",
     .Radio = true},
    // The parts list's context menu, last; each item's Tag is the EditItem it runs.
    {.Menu = "pmParts",
     .Name = "pmCopyPart",
     .Caption = "部品のコピー(&B)",
     .Hint = kCopyPartHint,
     .Tag = static_cast<int>(EditItem::mnCopyPart)},
    {.Menu = "pmParts",
     .Name = "pmCopyGrad",
     .Caption = "グラデーションのコピー(&G)",
     .Hint = kCopyGradHint,
     .Tag = static_cast<int>(EditItem::mnCopyGrad)},
    {.Menu = "pmParts", .Name = "", .Caption = "-"},
    {.Menu = "pmParts",
     .Name = "pmPaste",
     .Caption = "貼り付け(&P)",
     .Hint = kPasteHint,
     .Tag = static_cast<int>(EditItem::mnPaste)},
};

// Item names in EditItem order.
constexpr const char* kItemNames[] = {
    "mnImport",   "mnExport",   "mnExit",        "mnCancel",   "mnNew",      "mnCopy",
    "mnRename",   "mnUpper",    "mnLower",       "mnDelete",   "mnInfo",     "mnPerPadFile",
    "mnPad",      "mnUndo",     "mnPNew",        "mnAll",      "mnIcon",     "mnIconF",
    "mnName",     "mnNameF",    "mnArea",        "mnFill",     "mnNon",      "mnMono",
    "mnGrad",     "mnBtn",      "mnBtnF",        "mnPUpper",   "mnPLower",   "mnPDelete",
    "mnEditUndo", "mnEditRedo", "mnCopyPattern", "mnCopyPart", "mnCopyGrad", "mnPaste",
};
static_assert(std::size(kItemNames) == static_cast<std::size_t>(EditItem::mnPaste) + 1);

// Keys beside the menus' own: redo and paste also answer the other common key.
constexpr FormShortcut kShortcuts[] = {
    {.Keys = "Ctrl+Shift+Z", .Command = "mnEditRedo"},
    {.Keys = "Shift+Ins", .Command = "mnPaste"},
};

} // namespace

std::span<const MenuTitle> EditMenuBar() {
    return kMenuBar;
}

std::span<const MenuLine> EditMenus() {
    return kMenus;
}

std::span<const FormShortcut> EditShortcuts() {
    return kShortcuts;
}

std::span<const MenuLine> PartsPopUpMenu() {
    const std::span<const MenuLine> all = kMenus;
    return all.subspan(static_cast<std::size_t>(std::find_if(all.begin(), all.end(),
                                                             [](const MenuLine& line) {
                                                                 return std::string_view(
                                                                            line.Menu) == "pmParts";
                                                             }) -
                                                all.begin()));
}

const char* ItemName(EditItem item) {
    return kItemNames[static_cast<std::size_t>(item)];
}

std::optional<EditItem> ItemNamed(std::string_view name) {
    for (std::size_t i = 0; i < std::size(kItemNames); ++i) {
        if (name == kItemNames[i]) {
            return static_cast<EditItem>(i);
        }
    }
    return std::nullopt;
}

} // namespace pelmora
