#include "logic/PatternEditorHistory.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace pelmora {
namespace {

// What the allocator adds to every block, roughly.
constexpr std::size_t kBlockOverhead = 16;

std::size_t TextBytes(const std::string& text) {
    return text.capacity() > 15 ? text.capacity() + 1 + kBlockOverhead : 0;
}

bool Ascending(const std::vector<int>& positions, std::size_t count) {
    for (std::size_t i = 0; i < positions.size(); ++i) {
        if (positions[i] < 0 || static_cast<std::size_t>(positions[i]) >= count ||
            (i > 0 && positions[i] <= positions[i - 1])) {
            return false;
        }
    }
    return true;
}

} // namespace

RowChange RowChange::Insert(std::vector<int> positions, std::vector<EditorRow> rows) {
    RowChange change;
    change.enter_ = std::move(positions);
    change.held_.reserve(rows.size());
    for (EditorRow& row : rows) {
        change.held_.push_back({std::move(row.Name), std::move(row.Pattern)});
    }
    return change;
}

RowChange RowChange::Remove(std::vector<int> positions) {
    RowChange change;
    change.leave_ = std::move(positions);
    return change;
}

RowChange RowChange::Move(int from, int to) {
    RowChange change;
    change.leave_ = {from};
    change.enter_ = {to};
    change.held_.resize(1);
    return change;
}

RowChange RowChange::Rename(int row, std::string name) {
    RowChange change;
    change.leave_ = {row};
    change.enter_ = {row};
    change.held_.push_back({std::move(name), nullptr});
    return change;
}

RowChange RowChange::Replace(int row, std::unique_ptr<TPatrn> pattern) {
    RowChange change;
    change.leave_ = {row};
    change.enter_ = {row};
    change.held_.push_back({std::nullopt, std::move(pattern)});
    return change;
}

// Everything is allocated before the first row moves, so a failure leaves
// the list as it was; moving rows cannot fail.
void RowChange::Apply(std::vector<EditorRow>& rows) {
    const std::size_t count = rows.size();
    if (!Ascending(leave_, count) || held_.size() != enter_.size() ||
        !Ascending(enter_, count - leave_.size() + enter_.size())) {
        throw std::logic_error("an undo step that does not fit the pattern list");
    }
    for (std::size_t k = leave_.size(); k < held_.size(); ++k) {
        if (!held_[k].Name || !held_[k].Pattern) {
            throw std::logic_error("an undo step without the row it brings back");
        }
    }
    if (leave_ == enter_) {
        // A rename or an edit stays in its place: the other rows are left
        // alone, however many there are.
        for (std::size_t k = 0; k < enter_.size(); ++k) {
            EditorRow& row = rows[static_cast<std::size_t>(enter_[k])];
            Held& held = held_[k];
            if (held.Name) {
                std::swap(*held.Name, row.Name);
            }
            if (held.Pattern) {
                std::swap(held.Pattern, row.Pattern);
            }
        }
        return;
    }
    const std::size_t result = count - leave_.size() + enter_.size();
    std::vector<EditorRow> out;
    std::vector<EditorRow> kept;
    std::vector<EditorRow> coming;
    std::vector<Held> nowHeld;
    std::vector<EditorRow> shaped;
    out.reserve(leave_.size());
    kept.reserve(count - leave_.size());
    coming.reserve(enter_.size());
    nowHeld.reserve(leave_.size());
    shaped.reserve(result);

    std::size_t next = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (next < leave_.size() && static_cast<std::size_t>(leave_[next]) == i) {
            out.push_back(std::move(rows[i]));
            ++next;
        } else {
            kept.push_back(std::move(rows[i]));
        }
    }
    for (std::size_t k = 0; k < enter_.size(); ++k) {
        Held& held = held_[k];
        if (k >= out.size()) {
            coming.push_back({std::move(*held.Name), std::move(held.Pattern)});
            continue;
        }
        EditorRow& left = out[k];
        EditorRow row;
        Held back;
        if (held.Name) {
            row.Name = std::move(*held.Name);
            back.Name = std::move(left.Name);
        } else {
            row.Name = std::move(left.Name);
        }
        if (held.Pattern) {
            row.Pattern = std::move(held.Pattern);
            back.Pattern = std::move(left.Pattern);
        } else {
            row.Pattern = std::move(left.Pattern);
        }
        coming.push_back(std::move(row));
        nowHeld.push_back(std::move(back));
    }
    for (std::size_t k = enter_.size(); k < out.size(); ++k) {
        nowHeld.push_back({std::move(out[k].Name), std::move(out[k].Pattern)});
    }
    std::size_t in = 0;
    std::size_t stay = 0;
    for (std::size_t at = 0; at < result; ++at) {
        if (in < enter_.size() && static_cast<std::size_t>(enter_[in]) == at) {
            shaped.push_back(std::move(coming[in++]));
        } else {
            shaped.push_back(std::move(kept[stay++]));
        }
    }
    rows = std::move(shaped);
    held_ = std::move(nowHeld);
    std::swap(leave_, enter_);
}

bool RowChange::ChangesNames() const {
    return leave_ != enter_ || std::any_of(held_.begin(), held_.end(),
                                           [](const Held& h) { return h.Name.has_value(); });
}

std::size_t RowChange::Bytes() const {
    std::size_t bytes = sizeof(RowChange) + (leave_.capacity() + enter_.capacity()) * sizeof(int) +
                        held_.capacity() * sizeof(Held);
    for (const Held& held : held_) {
        if (held.Name) {
            bytes += TextBytes(*held.Name);
        }
        if (held.Pattern) {
            bytes += PatternBytes(*held.Pattern);
        }
    }
    return bytes;
}

std::size_t PatternBytes(const TPatrn& pattern) {
    std::size_t bytes =
        sizeof(TPatrn) + kBlockOverhead + static_cast<std::size_t>(pattern.Count()) * sizeof(void*);
    for (int i = 0; i < pattern.Count(); ++i) {
        bytes += sizeof(TParts) + kBlockOverhead + TextBytes(pattern.Parts(i)->GradText);
    }
    return bytes;
}

std::size_t StepBytes(const EditorStep& step) {
    return step.Rows.Bytes() +
           (step.Before.Rows.capacity() + step.After.Rows.capacity()) * sizeof(int);
}

} // namespace pelmora
