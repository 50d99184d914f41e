#include "pattern/Pattern.h"

#include "platform/commatext.h"
#include "platform/inttext.h"

#include <algorithm>
#include <optional>
#include <stdexcept>

namespace pelmora {

const char* const kPartsKindNames[kPartsKindCount] = {
    "ボタン背景", "ボタン枠", "アイコン領域", "アイコン領域枠", "ボタン名領域", "ボタン名領域枠",
};

const char* const kFillKindNames[kFillKindCount] = {
    "無効", "単色", "グラデーション", "ボタン色", "ボタン枠色",
};

std::string TrimText(std::int32_t value) {
    if (value > 0) {
        return "外(" + IntToStr(value) + ")";
    }
    if (value < 0) {
        return "内(" + IntToStr(-static_cast<std::int64_t>(value)) + ")";
    }
    return "-";
}

namespace {

std::int32_t ItemAsInt(const std::string& item) {
    return StrToIntDef(item, 0);
}

std::string TrimToText(const TTrim& t) {
    return WriteCommaText(
        {IntToStr(t.Left), IntToStr(t.Top), IntToStr(t.Right), IntToStr(t.Bottom)});
}

// The sides a side list holds, in the order left, top, right, bottom; the
// writer always writes four, and sides a short list lacks keep their values.
void ReadTrim(const std::string& text, TTrim& t) {
    std::int32_t* const sides[] = {&t.Left, &t.Top, &t.Right, &t.Bottom};
    const std::vector<std::string> items = ReadCommaText(text);
    const std::size_t n = std::min<std::size_t>(items.size(), 4);
    for (std::size_t i = 0; i < n; ++i) {
        *sides[i] = ItemAsInt(items[i]);
    }
}

// The part number a key stands for: "0", "1", ... exactly as they are
// written, below `count`; nothing for any other key.
std::optional<std::size_t> PartNumber(std::string_view key, std::size_t count) {
    if (key.empty() || key.size() > 10 || (key.size() > 1 && key.front() == '0')) {
        return std::nullopt;
    }
    std::uint64_t number = 0;
    for (const char c : key) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        number = number * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (number >= count) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(number);
}

void CheckIndex(int index, int count, const char* what) {
    if (index < 0 || index >= count) {
        throw std::out_of_range(std::string(what) + ": 部品番号 " + std::to_string(index) +
                                " は 0.." + std::to_string(count - 1) + " の範囲にありません。");
    }
}

} // namespace

// ---- TParts ----------------------------------------------------------------

TParts::TParts(TPatrn* owner) : Owner(owner) {}

int TParts::KindIndex() const {
    const int area = std::min<int>(Area, paName);
    return area * 2 + (IsFrame ? 1 : 0);
}

void TParts::Assign(const TParts& source) {
    if (&source == this) {
        return;
    }
    Area = source.Area;
    Outer = source.Outer;
    IsFrame = source.IsFrame;
    Thick = source.Thick;
    Fill = source.Fill;
    if (source.Fill == fkMono) {
        Color = source.Color;
    } else if (source.Fill == fkGrad) {
        GradText = source.GradText;
    }
}

std::string TParts::GetName() const {
    return kPartsKindNames[KindIndex()];
}

std::string TParts::GetDescription() const {
    std::string text = GetName();
    if (Outer == TTrim{0, 0, 0, 0}) {
        return text;
    }
    text += " [左:" + TrimText(Outer.Left) + ", ";
    text += "上:" + TrimText(Outer.Top) + ", ";
    text += "右:" + TrimText(Outer.Right) + ", ";
    text += "下:" + TrimText(Outer.Bottom) + "]";
    return text;
}

std::string TParts::GetFillName() const {
    return kFillKindNames[std::min<int>(Fill, kFillKindCount - 1)];
}

std::string TParts::SaveToText() const {
    const int fill = std::min<int>(Fill, kFillKindCount - 1);
    std::vector<std::string> items = {IntToStr(KindIndex()), TrimToText(Outer), TrimToText(Thick),
                                      IntToStr(fill)};
    if (fill == fkMono) {
        items.push_back(IntToStr(static_cast<std::int32_t>(Color)));
    } else if (fill == fkGrad) {
        items.push_back(GradText);
    }
    return WriteCommaText(items);
}

void TParts::LoadFromText(std::string_view line) {
    const std::vector<std::string> items = ReadCommaText(line);
    if (!items.empty()) {
        const int kind = std::clamp(ItemAsInt(items[0]), 0, kPartsKindCount - 1);
        Area = static_cast<std::uint8_t>(kind / 2);
        IsFrame = kind % 2 == 1;
    }
    if (items.size() >= 2) {
        ReadTrim(items[1], Outer);
    }
    if (items.size() >= 3) {
        ReadTrim(items[2], Thick);
    }
    if (items.size() >= 4) {
        Fill = static_cast<std::uint8_t>(std::clamp(ItemAsInt(items[3]), 0, kFillKindCount - 1));
    }
    if (items.size() >= 5) {
        if (Fill == fkMono) {
            Color = static_cast<TColor>(ItemAsInt(items[4]));
        } else if (Fill == fkGrad) {
            GradText = items[4];
        }
    }
}

// ---- TPatrn ----------------------------------------------------------------

TPatrn::TPatrn() {
    EnsureBase();
}

TParts* TPatrn::Parts(int index) {
    if (index < 0 || index >= Count()) {
        return nullptr;
    }
    return parts_[static_cast<std::size_t>(index)].get();
}

const TParts* TPatrn::Parts(int index) const {
    if (index < 0 || index >= Count()) {
        return nullptr;
    }
    return parts_[static_cast<std::size_t>(index)].get();
}

int TPatrn::Add(std::unique_ptr<TParts> part) {
    if (!part) {
        throw std::invalid_argument("追加する部品がありません。");
    }
    part->Owner = this;
    parts_.push_back(std::move(part));
    return Count() - 1;
}

TParts& TPatrn::AddNew() {
    Add(std::make_unique<TParts>(this));
    return *parts_.back();
}

void TPatrn::Move(int curIndex, int newIndex) {
    CheckIndex(curIndex, Count(), "TPatrn::Move");
    CheckIndex(newIndex, Count(), "TPatrn::Move");
    if (curIndex == newIndex) {
        return;
    }
    std::unique_ptr<TParts> part = std::move(parts_[static_cast<std::size_t>(curIndex)]);
    parts_.erase(parts_.begin() + curIndex);
    parts_.insert(parts_.begin() + newIndex, std::move(part));
}

void TPatrn::Delete(int index) {
    CheckIndex(index, Count(), "TPatrn::Delete");
    parts_.erase(parts_.begin() + index);
}

void TPatrn::Assign(const TPatrn& source) {
    if (&source == this) {
        return;
    }
    Lumi = source.Lumi;
    Hue = source.Hue;
    BtnColTrim = source.BtnColTrim;
    parts_.clear();
    for (const auto& part : source.parts_) {
        AddNew().Assign(*part);
    }
    EnsureBase();
}

std::unique_ptr<TPatrn> TPatrn::Clone() const {
    auto copy = std::make_unique<TPatrn>();
    copy->Assign(*this);
    return copy;
}

std::unique_ptr<TPatrn> TPatrn::Duplicate() const {
    auto copy = std::make_unique<TPatrn>();
    copy->Lumi = Lumi;
    copy->Hue = Hue;
    copy->BtnColTrim = BtnColTrim;
    copy->parts_.clear();
    copy->parts_.reserve(parts_.size());
    for (const auto& part : parts_) {
        auto same = std::make_unique<TParts>(*part);
        same->Owner = copy.get();
        copy->parts_.push_back(std::move(same));
    }
    return copy;
}

void TPatrn::EnsureBase() {
    if (parts_.empty()) {
        AddNew().Fill = fkBtn;
    }
    parts_.front()->Area = paAll;
}

void TPatrn::LoadFromIni(const IniFile& ini, std::string_view section) {
    for (const IniFile::Section& s : ini.Sections()) {
        if (SameIniName(s.Name, section)) {
            LoadFromIni(s);
            return;
        }
    }
    LoadFromIni(IniFile::Section{});
}

// One pass over the keys, without copying a value: a pattern file may hold
// a pattern of a million parts. As with a lookup, the first key of each name
// counts; part i needs keys "0" to "i", so no part number reaches the key count.
void TPatrn::LoadFromIni(const IniFile::Section& section) {
    std::optional<std::string_view> lumi;
    std::optional<std::string_view> hue;
    std::optional<std::string_view> btnColTrim;
    std::vector<const std::string_view*> lines(section.Values.size(), nullptr);
    for (const auto& [key, value] : section.Values) {
        if (SameIniName(key, "Lumi")) {
            lumi = lumi.value_or(value);
        } else if (SameIniName(key, "Hue")) {
            hue = hue.value_or(value);
        } else if (SameIniName(key, "BtnColTrim")) {
            btnColTrim = btnColTrim.value_or(value);
        } else if (const auto number = PartNumber(key, lines.size());
                   number && lines[*number] == nullptr) {
            lines[*number] = &value;
        }
    }
    Lumi = StrToIntDef(lumi.value_or(""), 0);
    Hue = StrToIntDef(hue.value_or(""), 0);
    BtnColTrim = StrToIntDef(btnColTrim.value_or(""), 0) != 0;
    for (std::size_t i = 0; i < lines.size() && lines[i] != nullptr && !lines[i]->empty(); ++i) {
        if (static_cast<int>(i) >= Count()) {
            AddNew();
        }
        parts_[i]->LoadFromText(*lines[i]);
    }
}

void TPatrn::SaveToIni(IniFile& ini, int number, std::string_view name) const {
    const std::string section = IntToStr(number);
    ini.WriteString(section, "Name", name);
    ForEachStoredValue([&](std::string_view key, std::string_view value) {
        ini.WriteString(section, key, value);
    });
}

void TPatrn::ForEachStoredValue(
    const std::function<void(std::string_view key, std::string_view value)>& take) const {
    take("Lumi", IntToStr(Lumi));
    take("Hue", IntToStr(Hue));
    take("BtnColTrim", BtnColTrim ? "1" : "0");
    for (int i = 0; i < Count(); ++i) {
        take(IntToStr(i), parts_[static_cast<std::size_t>(i)]->SaveToText());
    }
}

void TPatrn::Draw(Bitmap24& canvas, const TPadInfo& pad) const {
    for (const auto& part : parts_) {
        part->Draw(canvas, pad);
    }
}

} // namespace pelmora
